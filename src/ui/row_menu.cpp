#include "ui/row_menu.h"

#include <utility>

#include <QActionGroup>
#include <QMenu>

#include "common/body_parts.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

QAction* addEntry(QMenu& menu, const QString& text, std::function<void()> action) {
    QAction* entry = menu.addAction(text);
    entry->setEnabled(static_cast<bool>(action));
    if (action) QObject::connect(entry, &QAction::triggered, &menu, std::move(action));
    return entry;
}

void addParts(QMenu& menu, std::vector<PartEntry> parts) {
    QMenu* submenu = menu.addMenu(QStringLiteral("Parts"));
    submenu->setObjectName(QStringLiteral("partsMenu"));
    submenu->setEnabled(!parts.empty());
    for (PartEntry& part : parts) {
        QAction* entry = addEntry(*submenu, part.text, std::move(part.toggle));
        entry->setCheckable(true);
        entry->setChecked(part.converted);
    }
}

// One exclusive group: the entries show as choices of one setting, the row's mapping or target.
QMenu& addChoices(QMenu& menu, const QString& title, const char* name,
                  std::vector<MappingEntry> mappings) {
    QMenu* submenu = menu.addMenu(title);
    submenu->setObjectName(QLatin1String(name));
    submenu->setEnabled(!mappings.empty());
    submenu->setToolTipsVisible(true);
    auto* choices = new QActionGroup(submenu);
    for (MappingEntry& mapping : mappings) {
        if (mapping.startsGroup) submenu->addSeparator();
        // Titles and file names may hold '&', which a menu would take for an access key.
        mapping.text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = addEntry(*submenu, mapping.text, std::move(mapping.choose));
        entry->setToolTip(mapping.toolTip);
        entry->setCheckable(true);
        entry->setChecked(mapping.checked);
        choices->addAction(entry);
    }
    return *submenu;
}

void addMappings(QMenu& menu, std::vector<MappingEntry> mappings, std::function<void()> load) {
    QMenu& submenu =
        addChoices(menu, QStringLiteral("Mapping"), "mappingMenu", std::move(mappings));
    submenu.addSeparator();
    addEntry(submenu, QStringLiteral("Load Mapping File..."), std::move(load));
}

}  // namespace

std::vector<PartEntry> partEntries(const joblist::JobList& jobs, int row,
                                   const std::function<void(int part)>& toggle) {
    std::vector<PartEntry> entries;
    for (const auto& part : common::kBodyParts) {
        PartEntry entry{fromBytes(part.toolTip), false, {}};
        if (!common::isFixedPart(part.number)) {
            // The diagram's rule: red only for a flag of exactly 1.
            entry.converted = jobs.partFlag(row, part.number) != 1.0F;
            entry.toggle = [toggle, number = part.number] { toggle(number); };
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Not exec(): a nested event loop under the list's mouse handler would run the chosen action,
// which may remove that very list's rows, before the handler has returned.
QMenu& popUpRowMenu(QWidget& window, const QPoint& globalPos, RowMenuActions actions) {
    auto* menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("rowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    addEntry(*menu, QStringLiteral("Show joints..."), std::move(actions.showJoints));
    addParts(*menu, std::move(actions.parts));
    addMappings(*menu, std::move(actions.mappings), std::move(actions.loadMapping));
    QMenu& targets =
        addChoices(*menu, QStringLiteral("Target"), "targetMenu", std::move(actions.targets));
    targets.setEnabled(targets.isEnabled() && actions.targetApplies);
    menu->addSeparator();
    addEntry(*menu, QStringLiteral("Remove row"), std::move(actions.removeRow));
    addEntry(*menu, QStringLiteral("Clear list"), std::move(actions.clearList));
    menu->addSeparator();
    QAction* undo = addEntry(*menu, QStringLiteral("Undo"), std::move(actions.undo));
    // Shown beside the entry; bound to the menu alone, so the window's own Ctrl+Z stays the one
    // that acts while the menu is closed.
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WidgetShortcut);
    menu->popup(globalPos);
    return *menu;
}

}  // namespace skelvane::ui
