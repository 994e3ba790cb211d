#pragma once

#include <vector>

#include "joblist/job_list.h"
#include "ui/job_list_view.h"

namespace skelvane::ui {

/// The history of rows removed from the job list, kept as whole records with their places so
/// that removals can be undone, the last first, whatever a record holds.
class RowUndo {
public:
    /// One removal: its rows in ascending order of their places, and the place of the row that
    /// was selected among them (-1 when none of them was).
    struct Removal {
        std::vector<PlacedRow> rows;
        int selected = -1;
    };

    /// Records the removal of the rows at the given places (ascending) of the job list, before
    /// they go; `selected` is the selected row of the list.
    void recordRemoval(const joblist::JobList& jobs, const std::vector<int>& rows, int selected);

    /// True when there is a removal to undo and its rows fit beside the job list's `rowCount`
    /// rows without passing the row limit.
    bool canUndo(int rowCount) const;

    /// Takes the last removal off the history; the history must not be empty.
    Removal takeLast();

private:
    std::vector<Removal> history_;
};

}  // namespace skelvane::ui
