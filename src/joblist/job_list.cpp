#include "joblist/job_list.h"

namespace skelvane::joblist {

int JobList::appendRow(std::string title, std::string outputName, std::string skipMark,
                       std::string sourcePath) {
    if (isFull()) return -1;
    rows_.push_back({std::move(title), std::move(outputName), std::move(skipMark)});
    // The n-th file goes to slot n, which is the row count right after the append.
    sourcePath_.at(rows_.size()) = std::move(sourcePath);
    return rowCount() - 1;
}

}  // namespace skelvane::joblist
