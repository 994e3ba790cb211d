#pragma once

#include <string>
#include <string_view>

#include "conversion/rename/line_renamer.h"

namespace skelvane::conversion {

/// Renames joints whole under an `exact` mapping. It is handed only the names of joint lines,
/// as the BVH reader marks them (LinePiece::inName: from the name's first byte to the line's
/// end): a name without the blanks after it that is some row's `from` is replaced in place by
/// that row's replacement, once; every other byte passes as it is.
///
/// A name comes whole or in pieces, and only the name is held, no longer than the longest
/// `from` (a longer name cannot match) plus the blanks after it, up to kMostHeldBlanks: a name
/// followed by more blanks than that is left as it is rather than held without end.
class JointLineRenamer final : public Renamer {
public:
    /// Most blanks held after a name that might still match.
    static constexpr std::size_t kMostHeldBlanks = 1 << 20;

    /// A renamer for the rows of `mapping`, which must outlive it.
    explicit JointLineRenamer(const CompiledMapping& mapping);

    /// Takes the next piece of a joint line's name; `lineEnds` ends the line, and so the name.
    std::error_code feed(std::string_view piece, bool lineEnds, ByteSink& out) override;

    bool holdsNothing() const override { return name_.empty() && blanks_.empty(); }

private:
    const CompiledMapping& mapping_;
    // True once the name is known to match no row: the rest of the line passes.
    bool passing_ = false;
    // The name so far, up to its last byte that is not blank; the blanks after it.
    std::string name_;
    std::string blanks_;
    std::string out_;
};

}  // namespace skelvane::conversion
