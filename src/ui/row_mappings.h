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

/// A choice as the window names it: "best fit", a preset's name or a mapping file's path, and
/// for the default the default preset's name.
QString choiceName(const joblist::MappingChoice& choice);

/// A mapping as menus and reports show it: "name — title", or the name alone when the title
/// only repeats the file name.
QString mappingLabel(const QString& name, const conversion::Mapping& mapping);

/// The mapping choices of the window: each row's, changed from the row's menu, and the one
/// that rows take when they are added, which is the one chosen last. Mapping files are loaded
/// into the window's catalog and stay there, offered in the menu, until the window closes.
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
    /// fit", the presets, then the mapping files loaded so far, the row's choice checked.
    /// Choosing one gives it to the row and to the rows added later.
    std::vector<MappingEntry> entries(int row);

    /// Asks for a mapping file and, once it is loaded, chooses it as an entry does; a file that
    /// cannot be used, a named pipe that no program writes to among them (it is not waited for),
    /// is told in one message, naming its line and the reason, and changes nothing.
    void loadFile(int row);

private:
    void choose(int row, joblist::MappingChoice choice);
    void remember(const std::string& file);

    const joblist::JobList& jobs_;
    conversion::MappingCatalog& catalog_;
    JobListView& view_;
    Dialogs& dialogs_;
    QWidget& window_;
    joblist::MappingChoice forNewRows_;
    /// The mapping files loaded while the window is open, by path, in the order first loaded.
    std::vector<std::string> files_;
    /// The folder of the mapping file loaded last, where the dialog opens next time.
    QString lastFolder_;
};

}  // namespace skelvane::ui
