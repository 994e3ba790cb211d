#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace skelvane::joblist {

/// Most rows the window's job list accepts.
inline constexpr int kMaxRows = 22;
/// Slots of the source-path table; the n-th added file lives in slot n.
inline constexpr int kSourcePathSlots = 24;
/// Dimensions of the part-flag table: part numbers 0..23 by row indexes 0..100.
inline constexpr int kPartOffParts = 24;
inline constexpr int kPartOffRows = 101;

/// The skip mark of a row to convert, and the one of a row to pass over.
inline constexpr std::string_view kConvertMark = " ";
inline constexpr std::string_view kSkipMark = "x";

/// The job list: one row per added source (title, output name, skip mark), the source-path
/// table and the per-row part flags. Rows are only appended, so a row index never goes stale.
class JobList {
public:
    /// Number of rows.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    /// True when no further row may be added (the row count has reached kMaxRows).
    bool isFull() const { return rowCount() >= kMaxRows; }

    /// Appends a row and stores its source path in slot rowCount(); returns the new row's
    /// index, or -1 (changing nothing) when the list is full.
    int appendRow(std::string title, std::string outputName, std::string skipMark,
                  std::string sourcePath);

    /// Title of a row (source file title without its last 4 characters).
    const std::string& title(int row) const { return rows_.at(row).title; }
    /// Output base name of a row; the conversion appends ".bvh".
    const std::string& outputName(int row) const { return rows_.at(row).outputName; }
    void setOutputName(int row, std::string name) { rows_.at(row).outputName = std::move(name); }
    /// Skip mark of a row: exactly "x" skips it, any other text converts it.
    const std::string& skipMark(int row) const { return rows_.at(row).skipMark; }
    void setSkipMark(int row, std::string mark) { rows_.at(row).skipMark = std::move(mark); }
    bool isSkipped(int row) const { return skipMark(row) == kSkipMark; }

    /// Slot of the source-path table (0..23); slot 0 and slots past the row count are empty.
    const std::string& SourcePath(int slot) const { return sourcePath_.at(slot); }
    /// Source path of a row, which lives in slot row + 1.
    const std::string& sourcePathOfRow(int row) const { return SourcePath(row + 1); }

    /// Part flag cell (part 0..23, row 0..100): 0 converts the part, anything else does not.
    float PartOff(int part, int row) const { return partOff_.at(part).at(row); }
    void setPartOff(int part, int row, float value) { partOff_.at(part).at(row) = value; }

private:
    struct Row {
        std::string title;
        std::string outputName;
        std::string skipMark;
    };

    std::vector<Row> rows_;
    std::array<std::string, kSourcePathSlots> sourcePath_{};
    std::array<std::array<float, kPartOffRows>, kPartOffParts> partOff_{};
};

}  // namespace skelvane::joblist
