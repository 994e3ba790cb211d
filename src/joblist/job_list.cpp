#include "joblist/job_list.h"

#include <stdexcept>

namespace skelvane::joblist {

int JobList::appendRow(std::string title, std::string outputName, std::string skipMark,
                       std::string sourcePath, MappingChoice mapping) {
    if (isFull()) return -1;
    rows_.push_back({std::move(title), std::move(outputName), std::move(skipMark),
                     std::move(sourcePath), PartFlags{}, std::move(mapping)});
    return rowCount() - 1;
}

int JobList::insertRow(int row, JobRow record) {
    if (row < 0 || row > rowCount()) throw std::out_of_range("JobList::insertRow");
    if (isFull()) return -1;
    rows_.insert(rows_.begin() + row, std::move(record));
    return row;
}

void JobList::removeRow(int row) {
    at(row);  // out of range throws, as every other access does
    rows_.erase(rows_.begin() + row);
}

conversion::DroppedParts JobList::droppedParts(int row) const {
    conversion::DroppedParts dropped;
    for (const common::BodyPart& part : common::kBodyParts) {
        if (isDropped(row, part.number)) dropped.set(static_cast<std::size_t>(part.number));
    }
    return dropped;
}

}  // namespace skelvane::joblist
