#pragma once

#include <string>
#include <vector>

#include <QString>

#include "conversion/mapping/mapping_catalog.h"
#include "joblist/job_list.h"
#include "ui/row_menu.h"

class QWidget;

namespace skelvane::ui {

class Dialogs;
class JobListView;

/// A choice as the window names it: "best fit", "rig " and a rig profile's name, a preset's name
/// or a mapping file's path, and for the default the default preset's name.
QString choiceName(const joblist::MappingChoice& choice);

/// The rig whose names a choice writes: the target of a conversion through roles, Max for a best
/// fit among the presets; null for a table (a preset or a mapping file), which writes its own.
const conversion::RigProfile* targetOf(const joblist::MappingChoice& choice);

/// The choice that finds roles as `choice` does and writes `target`'s names: a best fit into Max
/// is the best fit among the presets, which writes the bytes it always has; into another
/// target, each joint's role found by its name and the skeleton. A table stays as it is.
joblist::MappingChoice withTarget(const joblist::MappingChoice& choice,
                                  const conversion::RigProfile& target);

/// A mapping as menus and reports show it: "name — title", or the name alone when the title
/// only repeats the file name.
QString mappingLabel(const QString& name, const conversion::Mapping& mapping);

/// The mapping choices of the window: each row's, changed from the row's menu, and the one
/// that rows take when they are added, which is the one chosen last. A choice is how the roles
/// are found (best fit, a rig profile) and the target whose names are written, or a table.
/// Mapping files are loaded into the window's catalog and stay there, offered in the menu,
/// until the window closes.
class RowMappings {
public:
    /// Works on the window's model and catalog, writes choices through the view (which shows
    /// them in the titles' tooltips) and asks for files and shows messages over `window`.
    RowMappings(const joblist::JobList& jobs, conversion::MappingCatalog& catalog,
                JobListView& view, Dialogs& dialogs, QWidget& window);

    /// The choice of the rows added from now on.
    const joblist::MappingChoice& forNewRows() const { return forNewRows_; }

    /// Makes a choice, one whose file the catalog holds, the one of rows added from now on.
    void setForNewRows(joblist::MappingChoice choice);

    /// The Mapping submenu's entries of a row, or for -1 of the rows added later only: "Best
    /// fit", the presets, the mapping files loaded so far, then the built-in rig profiles, the
    /// row's choice checked. Choosing one gives it to the row and to the rows added later; best
    /// fit and a rig profile keep the row's target.
    std::vector<MappingEntry> entries(int row);

    /// The Target submenu's entries of a row, or for -1 of the rows added later only: the
    /// built-in rig profiles, the row's target checked (for a table, the target chosen last).
    /// Choosing one makes it the target of the row and of the rows added later; no output name
    /// changes.
    std::vector<MappingEntry> targetEntries(int row);
    /// False for a row (-1: the rows added later) whose choice is a table, which writes its own
    /// names whatever the target.
    bool targetApplies(int row) const;

    /// Asks for a mapping file and, once it is loaded, chooses it as an entry does; a file that
    /// cannot be used, a named pipe that no program writes to among them (it is not waited for),
    /// is told in one message, naming its line and the reason, and changes nothing.
    void loadFile(int row);

private:
    void choose(int row, joblist::MappingChoice choice);
    void chooseTarget(int row, const conversion::RigProfile& target);
    void remember(const std::string& file);
    /// The target a choice made for a row goes on writing: the row's own, or the one of rows
    /// added later for a row with a table.
    const conversion::RigProfile& targetFor(const joblist::MappingChoice& current) const;

    const joblist::JobList& jobs_;
    conversion::MappingCatalog& catalog_;
    JobListView& view_;
    Dialogs& dialogs_;
    QWidget& window_;
    joblist::MappingChoice forNewRows_;
    /// The target chosen last, which rows whose choice is a table take when it changes.
    const conversion::RigProfile* target_;
    /// The mapping files loaded while the window is open, by path, in the order first loaded.
    std::vector<std::string> files_;
    /// The folder of the mapping file loaded last, where the dialog opens next time.
    QString lastFolder_;
};

}  // namespace skelvane::ui
