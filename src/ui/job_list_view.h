#pragma once

#include <string>
#include <vector>

#include "joblist/job_list.h"
#include "ui/job_list_model.h"

class QLineEdit;

namespace skelvane::ui {

class ListBox;
class TwipsScale;

/// A whole row of the job list with its place in the list.
struct PlacedRow {
    int row;
    joblist::JobRow record;
};

/// The job list's model with its three lists as views (List1 its titles, List2 its output
/// names, List3 its skip marks) and the in-place editor of List2. The lists only show the
/// model; what this class keeps in step is their selection and the editor.
class JobListView {
public:
    /// Shows the window's job list in its lists and edits output names with its editor (Text1).
    JobListView(joblist::JobList& jobs, ListBox& List1, ListBox& List2, ListBox& List3,
                QLineEdit& Text1);

    /// Appends a row for a source chosen as `sourcePath`, whose file name is `fileName` (both as
    /// the file system's bytes, kept as they are for opening the file), renamed by `mapping`
    /// (see JobListModel::appendSource); selects nothing. Returns false, adding nothing, when
    /// full.
    bool appendRow(const std::string& fileName, const std::string& sourcePath,
                   const joblist::MappingChoice& mapping = {});

    /// Gives a row another mapping.
    void setMapping(int row, const joblist::MappingChoice& mapping);

    /// Removes a row, raising no list's selection handler. An editor opened on that row closes
    /// without writing; one opened on a later row moves up with its row, keeping its text. When
    /// the selected row is removed, the row that takes its place is selected (the new last row
    /// when it was the last), none when the list is empty; any other selected row stays
    /// selected.
    void removeRow(int row, const TwipsScale& scale);

    /// Removes every row, closing the editor without writing; nothing is selected after.
    void clear();

    /// Puts whole rows back, in ascending order of their places, as long as there is room; an
    /// open editor moves down with its row. Then selects the row `selected` in all three lists,
    /// raising no list's selection handler, or for -1 keeps the selected row selected.
    void insertRows(const std::vector<PlacedRow>& rows, int selected, const TwipsScale& scale);

    /// Selects the row selected in source in the first list, then in the second.
    void followSelection(const ListBox& source, ListBox& first, ListBox& second);

    /// Toggles the skip mark of the row selected in List3: " " becomes "x", anything else " ".
    void toggleSkipMark();

    /// Opens the editor over the row selected in List2, holding that row's text, without
    /// giving it the focus. Its top is computed in twips as if List2 held 23 rows of equal
    /// height, whatever the real row height or scroll position.
    void openEditor(const TwipsScale& scale);

    /// Closes the editor, first writing its text into the row it was opened on, wherever the
    /// selection has moved since, unless the text is exactly " ".
    void commitEditor();

private:
    void placeEditor(int row, const TwipsScale& scale);
    void closeEditor();
    /// Makes the row the selected one of all three lists (none for -1) without raising their
    /// selection handlers.
    void selectQuietly(int row);

    JobListModel model_;
    ListBox& List1_;
    ListBox& List2_;
    ListBox& List3_;
    QLineEdit& Text1_;
    /// The row the editor covers, or -1 while it has not been opened since the last commit.
    int editorRow_ = -1;
};

}  // namespace skelvane::ui
