#pragma once

#include <array>
#include <bitset>
#include <string>
#include <string_view>

#include "conversion/rename_table.h"

namespace skelvane::conversion {

/// Which rules matched, by index into kRenameRules.
using RuleHits = std::bitset<kRenameRules.size()>;

/// Applies the 36 rules, in order, to the lines of one row. Each rule replaces every
/// non-overlapping occurrence of its search text left to right, without rescanning what it
/// wrote, and works on the result of the rule before it.
///
/// A line may also come in pieces, so that no line is ever held whole: each rule decides a
/// position as soon as it sees as many bytes as its search text is long, and holds back only
/// the few bytes after the last decided one (fewer than its search text) until the next piece.
/// The rules form a cascade, each feeding what it has decided to the next, and the result is
/// byte for byte the one of the whole line.
class LineRenamer {
public:
    /// A renamer for a row whose dropped parts are `dropped`.
    explicit LineRenamer(const DroppedParts& dropped);

    /// The renamed line (a whole line, given without terminator): `line` itself when no rule
    /// matches, otherwise a view into the renamer's buffers, valid until the next call. When
    /// `hits` is given, it is set to the rules that matched. Nothing may be held back from an
    /// unfinished line.
    std::string_view rename(std::string_view line, RuleHits* hits = nullptr);

    /// Takes the next piece of the current line and returns the renamed text decided so far,
    /// valid until the next call; when `lineEnds`, the line ends after this piece and its
    /// whole rest is returned. Matching rules are added to `hits` when it is given.
    std::string_view feed(std::string_view piece, bool lineEnds, RuleHits* hits = nullptr);

    /// True when nothing of the current line is held back.
    bool holdsNothing() const { return held_.none(); }

    /// True when `text` holds no byte that begins a search text, so no rule can match in it.
    static bool cannotMatch(std::string_view text);

private:
    std::string_view applyRule(std::size_t rule, std::string_view in, bool lineEnds,
                               RuleHits* hits);
    std::string& bufferNotHolding(std::string_view a, std::string_view b);

    std::array<std::string_view, kRenameRules.size()> replacements_;
    /// Per rule, the bytes after its last decided position, waiting for the next piece.
    std::array<std::string, kRenameRules.size()> carries_;
    std::bitset<kRenameRules.size()> held_;
    /// A rule's input, the input joined to its carry, and its output may each lie in one of
    /// these; three always leave one free.
    std::array<std::string, 3> buffers_;
};

}  // namespace skelvane::conversion
