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

    /// A table where CR and LF end lines and nothing starts a search.
    ScanTable();

    /// Marks a byte as the first byte of some search text.
    void addSearchStart(unsigned char byte);

    ByteClass classOf(unsigned char byte) const { return static_cast<ByteClass>(classes_[byte]); }
    const std::array<unsigned char, 256>& classes() const { return classes_; }

    /// The search-start bytes inside 0x20..0x5F, where motion data lives (digits, blanks, signs,
    /// dots, capitals): the range the vector scans pass over wholesale, so these are looked up
    /// on their own. Empty for the built-in table, whose texts all start with small letters.
    const std::vector<unsigned char>& comparedBytes() const { return compared_; }

    /// Those bytes as two tables of 16 for a vector lookup by nibble, each repeated for every
    /// 16-byte lane of a 64-byte vector: a byte is one of them when the entry of its low nibble
    /// and the entry of its high nibble share a bit (each of the four high nibbles of 0x20..0x5F
    /// has a bit of its own, so any set is exact).
    const std::array<unsigned char, 64>& lowNibbleBits() const { return lowNibbleBits_; }
    const std::array<unsigned char, 64>& highNibbleBits() const { return highNibbleBits_; }

private:
    std::array<unsigned char, 256> classes_{};
    std::vector<unsigned char> compared_;
    std::array<unsigned char, 64> lowNibbleBits_{};
    std::array<unsigned char, 64> highNibbleBits_{};
};

/// Finds the end of the line that starts at `pos` in `data[0, size)`: the index of its CR or
/// LF, or `size` when the data ends first. Sets `mayMatch` when the line holds a byte that
/// begins some search text (so the line has to go through the renamer); leaves it otherwise.
using LineEndFinder = std::size_t (*)(const ScanTable& table, const char* data, std::size_t pos,
                                      std::size_t size, bool& mayMatch);

/// The fastest finder this processor runs for the table, or the one the environment variable
/// SKELVANE_LINE_SCAN names ("avx2", "portable", "by table") where it runs.
LineEndFinder lineEndFinder(const ScanTable& table);

/// Every finder this processor runs for the table, by name, the fastest first; all give the
/// same answers.
std::vector<std::pair<std::string_view, LineEndFinder>> availableLineEndFinders(
    const ScanTable& table);

}  // namespace skelvane::conversion
