#include "ui/row_undo.h"

#include <utility>

namespace skelvane::ui {

namespace {

// Like an editor's, the history is bounded; far more steps than a list of 22 rows needs.
constexpr std::size_t kMostRemovals = 100;

}  // namespace

void RowUndo::recordRemoval(const joblist::JobList& jobs, const std::vector<int>& rows,
                            int selected) {
    Removal removal;
    for (int row : rows) {
        removal.rows.push_back({row, jobs.row(row)});
        if (row == selected) removal.selected = row;
    }
    if (history_.size() == kMostRemovals) history_.erase(history_.begin());
    history_.push_back(std::move(removal));
}

bool RowUndo::canUndo(int rowCount) const {
    return !history_.empty() &&
           rowCount + static_cast<int>(history_.back().rows.size()) <= joblist::kMaxRows;
}

RowUndo::Removal RowUndo::takeLast() {
    Removal last = std::move(history_.back());
    history_.pop_back();
    return last;
}

}  // namespace skelvane::ui
