#include "ui/row_menu.h"

#include <utility>

#include <QMenu>

namespace skelvane::ui {

namespace {

void addEntry(QMenu& menu, const QString& text, std::function<void()> action) {
    QAction* entry = menu.addAction(text);
    entry->setEnabled(static_cast<bool>(action));
    if (action) QObject::connect(entry, &QAction::triggered, &menu, std::move(action));
}

}  // namespace

// Not exec(): a nested event loop under the list's mouse handler would run the chosen action,
// which may remove that very list's rows, before the handler has returned.
QMenu& popUpRowMenu(QWidget& window, const QPoint& globalPos, RowMenuActions actions) {
    auto* menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("rowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    addEntry(*menu, QStringLiteral("Show joints..."), std::move(actions.showJoints));
    menu->addSeparator();
    addEntry(*menu, QStringLiteral("Remove row"), std::move(actions.removeRow));
    addEntry(*menu, QStringLiteral("Clear list"), std::move(actions.clearList));
    menu->popup(globalPos);
    return *menu;
}

}  // namespace skelvane::ui
