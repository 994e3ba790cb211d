#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/body_parts.h"
#include "conversion/mapping/dropped_parts.h"
#include "conversion/mapping/mapping_choice.h"

namespace skelvane::joblist {

/// Most rows the window's job list accepts.
inline constexpr int kMaxRows = 22;

/// The skip mark of a row to convert, and the one of a row to pass over.
inline constexpr std::string_view kConvertMark = " ";
inline constexpr std::string_view kSkipMark = "x";

/// A row's flag per part number 0..kPartCount (0 is never read): 0 converts the part, any
/// other value does not. The diagram shows red only for exactly 1.
using PartFlags = std::array<float, common::kPartCount + 1>;

/// Which mapping renames a row.
using MappingChoice = conversion::MappingChoice;

/// One row of the job list: one added source and what to make of it.
struct JobRow {
    /// The source's file name less its last 4 characters; never changes.
    std::string title;
    /// Base name of the output; the conversion appends ".bvh".
    std::string outputName;
    /// Exactly "x" skips the row; any other text converts it.
    std::string skipMark;
    /// The source file with its folder.
    std::string sourcePath;
    PartFlags partFlags{};
    MappingChoice mapping;
};

/// The job list: one record per added source, in the order they were added.
class JobList {
public:
    /// Number of rows.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    /// True when no further row may be added (the row count has reached kMaxRows).
    bool isFull() const { return rowCount() >= kMaxRows; }

    /// Appends a row with all parts converted; returns its index, or -1 (changing nothing)
    /// when the list is full.
    int appendRow(std::string title, std::string outputName, std::string skipMark,
                  std::string sourcePath, MappingChoice mapping = {});
    /// Puts a whole record back in at a place (0..rowCount), the rows from there on moving
    /// down by one; returns its index, or -1 (changing nothing) when the list is full.
    int insertRow(int row, JobRow record);
    /// Removes a row with everything it holds; the rows after it move up by one.
    void removeRow(int row);
    /// Removes every row.
    void clear() { rows_.clear(); }

    /// The whole record of a row.
    const JobRow& row(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    const std::string& title(int row) const { return this->row(row).title; }
    const std::string& outputName(int row) const { return this->row(row).outputName; }
    void setOutputName(int row, std::string name) { at(row).outputName = std::move(name); }
    const std::string& skipMark(int row) const { return this->row(row).skipMark; }
    void setSkipMark(int row, std::string mark) { at(row).skipMark = std::move(mark); }
    bool isSkipped(int row) const { return skipMark(row) == kSkipMark; }
    const std::string& sourcePath(int row) const { return this->row(row).sourcePath; }

    /// The flag of a part (0..kPartCount) for a row.
    float partFlag(int row, int part) const { return this->row(row).partFlags.at(part); }
    void setPartFlag(int row, int part, float value) { at(row).partFlags.at(part) = value; }
    /// The mapping that renames a row.
    const MappingChoice& mapping(int row) const { return this->row(row).mapping; }
    void setMapping(int row, MappingChoice choice) { at(row).mapping = std::move(choice); }

    /// True when the row does not convert the part: its flag is anything but 0.
    bool isDropped(int row, int part) const { return partFlag(row, part) != 0.0f; }
    /// The parts the row does not convert.
    conversion::DroppedParts droppedParts(int row) const;

private:
    JobRow& at(int row) { return rows_.at(static_cast<std::size_t>(row)); }

    std::vector<JobRow> rows_;
};

}  // namespace skelvane::joblist
