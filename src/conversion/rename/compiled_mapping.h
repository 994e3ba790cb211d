#pragma once

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "conversion/bvh/line_scan.h"
#include "conversion/mapping/dropped_parts.h"
#include "conversion/mapping/mapping.h"
#include "conversion/rename/search_automaton.h"

namespace skelvane::conversion {

/// One row of a mapping as it applies to one file: the text it looks for and what it writes,
/// "nothing" when its part is not converted.
struct Rename {
    std::string search;
    std::string replacement;
    /// The governing body part, 0 for none.
    int part = 0;
    /// True when the row writes "nothing" (numbered or not) for a part that is not converted.
    bool dropped = false;
};

/// A mapping made ready to convert the files of one row or run: each row's replacement chosen
/// for the parts that are not converted, whole names indexed for exact matching, the rows'
/// texts in one automaton for contains matching, and the table of bytes the line scan must
/// look at. Every mapping, the built-in table too, goes through it.
class CompiledMapping {
public:
    /// Prepares `mapping`, which must outlive this object, for files whose `dropped` parts
    /// are not converted.
    CompiledMapping(const Mapping& mapping, const DroppedParts& dropped);
    /// Says that renames are final, as a plan made them for one file (see name_plan.h).
    struct Planned {
        explicit Planned(std::vector<Rename> planned) : renames(std::move(planned)) {}
        std::vector<Rename> renames;
    };
    /// Prepares whole-name renames planned for one file; `mapping`, which must outlive this
    /// object and match whole names, is what they were planned from.
    CompiledMapping(const Mapping& mapping, Planned planned);
    CompiledMapping(const CompiledMapping&) = delete;
    CompiledMapping& operator=(const CompiledMapping&) = delete;

    const Mapping& mapping() const { return mapping_; }
    MatchMode mode() const { return mapping_.mode; }
    /// The rows in the order they apply.
    const std::vector<Rename>& renames() const { return renames_; }
    /// The longest text any row looks for.
    std::size_t longestSearch() const { return longestSearch_; }
    /// Exact matching: the row whose `from` is this whole name, or null.
    const Rename* renameOf(std::string_view name) const;
    /// What the line scan looks at: line ends and the bytes that start a search (none for
    /// exact matching, which looks at the start of each line instead).
    const ScanTable& scanTable() const { return scanTable_; }
    /// True when only lines that start (after blanks) with ROOT or JOINT can change.
    bool jointLinesOnly() const { return mode() == MatchMode::Exact; }
    /// False when no row's text can start anywhere in `text` (judged by its first two bytes,
    /// or by its first where the text stops before the line ends), so the text passes every
    /// row unchanged.
    bool mayStartMatch(std::string_view text, bool lineEnds) const;
    /// Contains matching: all the rows' texts in one automaton; null for exact matching.
    const SearchAutomaton* automaton() const { return automaton_.get(); }

private:
    // Indexes the renames: their names for exact matching, or what the line scan looks for.
    void index();

    const Mapping& mapping_;
    std::vector<Rename> renames_;
    std::unordered_map<std::string_view, std::size_t> byName_;
    std::size_t longestSearch_ = 0;
    ScanTable scanTable_;
    // The first two bytes of each row's text, and the texts of one byte; for lines that hold
    // a search start but no search text (CHANNELS 3 Zrotation...), one look per byte.
    std::bitset<1 << 16> searchBigrams_;
    std::bitset<256> oneByteSearches_;
    std::unique_ptr<const SearchAutomaton> automaton_;
};

}  // namespace skelvane::conversion
