#pragma once

#include <QString>

#include "joblist/job_list.h"

class QLineEdit;

namespace skelvane::ui {

class ListBox;
class TwipsScale;

/// The three lists of the job list and the in-place editor of List2, kept in step with the
/// job list model: every write goes to the model and to the list that shows it, and a row's
/// texts are read back from the lists the user sees.
class JobListView {
public:
    /// Works on the window's model, its lists of titles (List1), output names (List2) and skip
    /// marks (List3) and its editor (Text1).
    JobListView(joblist::JobList& jobs, ListBox& List1, ListBox& List2, ListBox& List3,
                QLineEdit& Text1);

    /// Appends a row for a source chosen as `sourcePath`, whose file name is `fileTitle`:
    /// its title to List1, the row to the model, " " to List3 and the title followed by "_max"
    /// to List2, in this order; selects nothing. Returns false, adding nothing, when full.
    bool appendRow(const QString& fileTitle, const QString& sourcePath);

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
    joblist::JobList& jobs_;
    ListBox& List1_;
    ListBox& List2_;
    ListBox& List3_;
    QLineEdit& Text1_;
    /// The row the editor covers, or -1 while it has not been opened since the last commit.
    int editorRow_ = -1;
};

}  // namespace skelvane::ui
