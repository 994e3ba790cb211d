#pragma once

// A mapping file, in the text shape of table_file.h: at most kMaxMappingRows rows and
// kMaxMappingBytes bytes.
//
//     # skelvane-map 1
//     # title: Biped to Max
//     # match: exact
//     # Any other line that starts with '#' is a comment.
//     from,to,part
//     Bip01 Pelvis,Hips,Hip
//     "#odd, name",Head,
//
// Before the header row a line `# word: value` is a directive, so a misspelt one is refused
// rather than passed over; after it, lines starting with '#' are comments and a `from` that
// begins with '#' is quoted. Fields follow RFC 4180 quoting without line ends inside a field;
// blanks inside a field are kept, blanks around the part are not. Without `# match:` a file
// matches whole names, as rename tables of other programs do. A file with any fault is
// refused whole, with the line of the first one.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/mapping/dropped_parts.h"
#include "conversion/mapping/table_file.h"

namespace skelvane::conversion {

/// How a mapping finds what it renames.
enum class MatchMode {
    /// Every occurrence of a row's `from` in every line, rows applied one after another, as the
    /// built-in table does.
    Contains,
    /// The names of `ROOT` and `JOINT` lines, compared whole with the rows' original `from`s.
    Exact,
};

/// One row of a mapping: `from` becomes `to`, or "nothing" when `part` is not converted.
struct MappingRow {
    std::string from;
    std::string to;
    /// The governing body part, 1..23; 0 for none, so the row always writes `to`.
    int part = 0;

    friend bool operator==(const MappingRow&, const MappingRow&) = default;
};

/// A joint rename table: a built-in preset or a mapping file.
struct Mapping {
    /// The preset's name ("poser-max") or the file as the user gave it.
    std::string name;
    /// The `# title:` line, or the file name when there is none.
    std::string title;
    /// How the rows find what they rename.
    MatchMode mode = MatchMode::Exact;
    /// The rows, in the order they apply.
    std::vector<MappingRow> rows;
    /// "built in" for a preset, otherwise the file as the user gave it.
    std::string origin;
    /// The comment lines before the header row, without their `#`, one per line.
    std::string notes;
    /// The file it was loaded from; empty for a preset. A run never writes over it.
    std::filesystem::path file = {};
};

/// The word a row writes instead of its `to` when its part is not converted.
inline constexpr std::string_view kNothing = "nothing";

/// The most rows a mapping file may hold.
inline constexpr std::size_t kMaxMappingRows = 4096;
/// The most bytes a mapping file may hold.
inline constexpr std::size_t kMaxMappingBytes = kMaxTableFileBytes;
/// The first line of every mapping file.
inline constexpr std::string_view kMappingVersionLine = "# skelvane-map 1";
/// The header row that comes before the rows.
inline constexpr std::string_view kMappingHeader = "from,to,part";

/// What a row writes for a file whose `dropped` parts are not converted: "nothing" when its
/// part is dropped or is one of the four parts that are never converted, otherwise its `to`.
std::string_view replacementOf(const MappingRow& row, const DroppedParts& dropped);

/// Reads the text of a mapping file, all or nothing; `fileName` names the file in errors and
/// gives the name, origin and, without a `# title:` line, the title.
Result<Mapping, MappingError> parseMapping(std::string_view text, std::string_view fileName);

/// Reads and parses the mapping file at `file`; a file over kMaxMappingBytes is refused
/// without reading more than one byte past the limit.
Result<Mapping, MappingError> loadMappingFile(const std::filesystem::path& file,
                                              NamedPipe namedPipe = NamedPipe::WaitForWriter);

}  // namespace skelvane::conversion
