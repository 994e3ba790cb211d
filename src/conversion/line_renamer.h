#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/compiled_mapping.h"

namespace skelvane::conversion {

/// Which rows of a mapping matched, by index into its renames.
using RuleHits = std::vector<bool>;

/// Renames the lines of one file under a mapping. A line may come whole or in pieces, so that
/// no line is ever held whole; what is decided goes out at once, and only the few bytes that
/// a match could still need are held back until the next piece.
class Renamer {
public:
    virtual ~Renamer() = default;

    /// Takes the next piece of the current line and returns the renamed text decided so far,
    /// valid until the next call; when `lineEnds`, the line ends after this piece and its
    /// whole rest is returned.
    virtual std::string_view feed(std::string_view piece, bool lineEnds) = 0;

    /// True when nothing of the current line is held back.
    virtual bool holdsNothing() const = 0;
};

/// The renamer for the mapping's match mode: a LineRenamer or a JointLineRenamer. The mapping
/// must outlive it.
std::unique_ptr<Renamer> makeRenamer(const CompiledMapping& mapping);

/// Applies a `contains` mapping's rows, in order, to every line. Each row replaces every
/// non-overlapping occurrence of its text left to right, without rescanning what it wrote, and
/// works on the result of the row before it.
///
/// In pieces, each row decides a position as soon as it sees as many bytes as its text is
/// long, and holds back only the bytes after the last decided one (fewer than its text) until
/// the next piece. The rows form a cascade, each feeding what it has decided to the next, and
/// the result is byte for byte the one of the whole line.
class LineRenamer final : public Renamer {
public:
    /// A renamer for the rows of `mapping`, which must outlive it.
    explicit LineRenamer(const CompiledMapping& mapping);

    /// The renamed line (a whole line, given without terminator): `line` itself when no row
    /// matches, otherwise a view into the renamer's buffers, valid until the next call. When
    /// `hits` is given, it is set to the rows that matched. Nothing may be held back from an
    /// unfinished line.
    std::string_view rename(std::string_view line, RuleHits* hits = nullptr);

    std::string_view feed(std::string_view piece, bool lineEnds) override {
        return feed(piece, lineEnds, nullptr);
    }
    /// The same, adding the rows that match to `hits` when it is given.
    std::string_view feed(std::string_view piece, bool lineEnds, RuleHits* hits);

    bool holdsNothing() const override { return heldCount_ == 0; }

private:
    std::string_view applyRule(std::size_t rule, std::string_view in, bool lineEnds,
                               RuleHits* hits);
    std::string& bufferNotHolding(std::string_view a, std::string_view b);

    using Bytes = std::bitset<256>;

    const CompiledMapping& mapping_;
    /// Per row, the first byte of its text and the bytes its replacement writes.
    std::vector<unsigned char> firstBytes_;
    std::vector<Bytes> replacementBytes_;
    /// Per row, the bytes after its last decided position, waiting for the next piece.
    std::vector<std::string> carries_;
    std::vector<bool> held_;
    std::size_t heldCount_ = 0;
    /// A row's input, the input joined to its carry, and its output may each lie in one of
    /// these; three always leave one free.
    std::array<std::string, 3> buffers_;
};

}  // namespace skelvane::conversion
