#include "joblist/job_list.h"

namespace skelvane::joblist {

int JobList::appendRow(std::string title, std::string outputName, std::string skipMark,
                       std::string sourcePath) {
    if (isFull()) return -1;
    rows_.push_back({std::move(title), std::move(outputName), std::move(skipMark),
                     std::move(sourcePath), PartFlags{}});
    return rowCount() - 1;
}

void JobList::removeRow(int row) {
    at(row);  // out of range throws, as every other access does
    rows_.erase(rows_.begin() + row);
}

}  // namespace skelvane::joblist
