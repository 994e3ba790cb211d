#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace skelvane::conversion {

/// What the line scan needs to know of each byte for one mapping: nothing, a line end, or the
/// first byte of some text the mapping looks for.
class ScanTable {
public:
    enum ByteClass : unsigned char { kPlain = 0, kLineEnd = 1, kSearchStart = 2 };

    /// Most search-start bytes among 0x20..0x5F that the vector scans compare one by one.
    static constexpr std::size_t kMostComparedBytes = 8;

    /// A table where CR and LF end lines and nothing starts a search.
    ScanTable();

    /// Marks a byte as the first byte of some search text.
    void addSearchStart(unsigned char byte);

    ByteClass classOf(unsigned char byte) const { return static_cast<ByteClass>(classes_[byte]); }
    const std::array<unsigned char, 256>& classes() const { return classes_; }

    /// The search-start bytes inside 0x20..0x5F, where motion data lives (digits, blanks, signs,
    /// dots, capitals): the range the vector scans pass over wholesale, so these are compared
    /// one by one. Empty for the built-in table, whose texts all start with small letters.
    const std::vector<unsigned char>& comparedBytes() const { return compared_; }

private:
    std::array<unsigned char, 256> classes_{};
    std::vector<unsigned char> compared_;
};

/// Finds the end of the line that starts at `pos` in `data[0, size)`: the index of its CR or
/// LF, or `size` when the data ends first. Sets `mayMatch` when the line holds a byte that
/// begins some search text (so the line has to go through the renamer); leaves it otherwise.
using LineEndFinder = std::size_t (*)(const ScanTable& table, const char* data, std::size_t pos,
                                      std::size_t size, bool& mayMatch);

/// The fastest finder this processor runs for the table.
LineEndFinder lineEndFinder(const ScanTable& table);

/// Every finder this processor runs for the table, by name, the fastest first; all give the
/// same answers.
std::vector<std::pair<std::string_view, LineEndFinder>> availableLineEndFinders(
    const ScanTable& table);

}  // namespace skelvane::conversion
