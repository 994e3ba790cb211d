#include "ui/row_mappings.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <variant>

#include <QDir>

#include "conversion/files/platform.h"
#include "conversion/mapping/presets.h"
#include "conversion/mapping/rig_profile_catalog.h"
#include "ui/dialogs.h"
#include "ui/job_list_view.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

using joblist::MappingChoice;

std::string fileNameOf(const std::string& path) {
    return conversion::platform::bytesOfPath(conversion::platform::pathFromBytes(path).filename());
}

OpenFileRequest mappingFileRequest(const QString& lastFolder) {
    const QString start = lastFolder.isEmpty() ? QDir::homePath() : lastFolder;
    QStringList sidebar(start);
    if (!sidebar.contains(QDir::homePath())) sidebar << QDir::homePath();
    return {start,
            QString(),
            QStringLiteral("Load Mapping File"),
            {QStringLiteral("Skelvane mapping (*.csv)"), QStringLiteral("All files (*.*)")},
            sidebar,
            false};
}

const conversion::RigProfile& maxRig() {
    return *conversion::findRigProfile("max");
}

}  // namespace

QString choiceName(const MappingChoice& choice) {
    if (choice.roles() && choice.source != nullptr) {
        return QStringLiteral("rig ") + fromBytes(choice.source->name);
    }
    return choice.bestFit || choice.roles() ? QStringLiteral("best fit")
                                            : fromBytes(choice.mapping->name);
}

const conversion::RigProfile* targetOf(const MappingChoice& choice) {
    if (choice.roles()) return choice.target;
    return choice.bestFit ? &maxRig() : nullptr;
}

MappingChoice withTarget(const MappingChoice& choice, const conversion::RigProfile& target) {
    if (choice.roles() && choice.source != nullptr) {
        return MappingChoice::throughRoles(conversion::builtInRoleFinderOf(*choice.source), target,
                                           choice.source);
    }
    if (!choice.bestFit && !choice.roles()) return choice;
    if (&target == &maxRig()) return MappingChoice::bestFitOfEach();
    return MappingChoice::throughRoles(conversion::builtInRoleFinder(), target, nullptr,
                                       conversion::RoleEvidence::NamesAndSkeleton);
}

QString mappingLabel(const QString& name, const conversion::Mapping& mapping) {
    if (mapping.title == fileNameOf(mapping.name)) return name;
    return name + QStringLiteral(" \u2014 ") + fromBytes(mapping.title);
}

RowMappings::RowMappings(const joblist::JobList& jobs, conversion::MappingCatalog& catalog,
                         JobListView& view, Dialogs& dialogs, QWidget& window)
    : jobs_(jobs),
      catalog_(catalog),
      view_(view),
      dialogs_(dialogs),
      window_(window),
      target_(&maxRig()) {}

void RowMappings::setForNewRows(MappingChoice choice) {
    if (!choice.bestFit && !choice.mapping->file.empty()) {
        remember(conversion::platform::bytesOfPath(choice.mapping->file));
    }
    forNewRows_ = std::move(choice);
}

std::vector<MappingEntry> RowMappings::entries(int row) {
    const MappingChoice current = row >= 0 ? jobs_.mapping(row) : forNewRows_;
    std::vector<MappingEntry> entries;
    const auto add = [&](QString text, QString toolTip, MappingChoice choice, bool startsGroup) {
        const bool checked = choice == current;
        entries.push_back({std::move(text), std::move(toolTip), checked, startsGroup,
                           [this, row, choice = std::move(choice)] { choose(row, choice); }});
    };
    const conversion::RigProfile& target = targetFor(current);
    add(QStringLiteral("Best fit"),
        QStringLiteral("Into Max, each file is renamed by the preset that fits its joints best;\n"
                       "a file that no preset fits keeps its names. Into another target, each\n"
                       "joint's role is found by its name and its place in the skeleton."),
        withTarget(MappingChoice::bestFitOfEach(), target), false);
    bool first = true;
    for (const conversion::Mapping& preset : conversion::presets()) {
        add(mappingLabel(fromBytes(preset.name), preset), QString(), MappingChoice::of(preset),
            std::exchange(first, false));
    }
    first = true;
    for (const std::string& file : files_) {
        if (const conversion::Mapping* mapping = catalog_.find(file)) {
            add(mappingLabel(fromBytes(fileNameOf(file)), *mapping), fromBytes(file),
                MappingChoice::of(*mapping), std::exchange(first, false));
        }
    }
    first = true;
    for (const conversion::RigProfile& rig : conversion::rigProfiles()) {
        const QString name = fromBytes(rig.name);
        add(QStringLiteral("rig ") + name + QStringLiteral(" \u2014 ") + fromBytes(rig.title),
            QStringLiteral("Each joint's role is found by its name as %1 names it,\n"
                           "and written with the target's name for it.")
                .arg(name),
            MappingChoice::throughRoles(conversion::builtInRoleFinderOf(rig), target, &rig),
            std::exchange(first, false));
    }
    return entries;
}

std::vector<MappingEntry> RowMappings::targetEntries(int row) {
    const conversion::RigProfile& target = targetFor(row >= 0 ? jobs_.mapping(row) : forNewRows_);
    std::vector<MappingEntry> entries;
    for (const conversion::RigProfile& rig : conversion::rigProfiles()) {
        entries.push_back({fromBytes(rig.name) + QStringLiteral(" \u2014 ") + fromBytes(rig.title),
                           QString(), &rig == &target, false,
                           [this, row, &rig] { chooseTarget(row, rig); }});
    }
    return entries;
}

const conversion::RigProfile& RowMappings::targetFor(const MappingChoice& current) const {
    const conversion::RigProfile* target = targetOf(current);
    return target != nullptr ? *target : *target_;
}

void RowMappings::loadFile(int row) {
    const QStringList chosen = dialogs_.openFiles(&window_, mappingFileRequest(lastFolder_));
    if (chosen.isEmpty()) return;
    const std::string file = toBytes(chosen.front());
    const auto loaded = catalog_.load(conversion::platform::pathFromBytes(file),
                                      conversion::NamedPipe::RefuseWithoutWriter);
    if (!loaded) {
        dialogs_.showMessage(&window_,
                             QStringLiteral("This mapping file cannot be used; nothing was "
                                            "changed.\n\n") +
                                 fromBytes(loaded.error().message()),
                             QString::fromLatin1(kInfoTitle));
        return;
    }
    lastFolder_ = fromBytes(
        conversion::platform::bytesOfPath(conversion::platform::pathFromBytes(file).parent_path()));
    remember(file);
    choose(row, MappingChoice::of(**loaded));
}

void RowMappings::choose(int row, MappingChoice choice) {
    if (row >= 0 && row < jobs_.rowCount()) view_.setMapping(row, choice);
    forNewRows_ = std::move(choice);
}

bool RowMappings::targetApplies(int row) const {
    return targetOf(row >= 0 ? jobs_.mapping(row) : forNewRows_) != nullptr;
}

void RowMappings::chooseTarget(int row, const conversion::RigProfile& target) {
    if (row >= 0 && row < jobs_.rowCount()) {
        view_.setMapping(row, withTarget(jobs_.mapping(row), target));
    }
    forNewRows_ = withTarget(forNewRows_, target);
    target_ = &target;
}

void RowMappings::remember(const std::string& file) {
    if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

}  // namespace skelvane::ui
