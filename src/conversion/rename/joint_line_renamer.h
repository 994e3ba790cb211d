#pragma once

#include <string>
#include <string_view>

#include "conversion/rename/line_renamer.h"

namespace skelvane::conversion {

/// Renames joints whole under an `exact` mapping. A joint line is a line that, after optional
/// blanks (space, tab), starts with ROOT or JOINT and at least one blank; its name is the rest
/// of the line without the blanks around it. A name that is some row's `from` is replaced in
/// place by that row's replacement, once; every other byte, and every other line, passes as
/// it is.
///
/// Lines come whole or in pieces: blanks and keywords go out as soon as they are known, and
/// only the name is held, no longer than the longest `from` (a longer name cannot match) plus
/// the blanks after it, up to kMostHeldBlanks: a name followed by more blanks than that is
/// left as it is rather than held without end.
class JointLineRenamer final : public Renamer {
public:
    /// Most blanks held after a name that might still match.
    static constexpr std::size_t kMostHeldBlanks = 1 << 20;

    /// A renamer for the rows of `mapping`, which must outlive it.
    explicit JointLineRenamer(const CompiledMapping& mapping);

    std::error_code feed(std::string_view piece, bool lineEnds, ByteSink& out) override;

    /// True at the start of a line: nothing of a line has been seen.
    bool holdsNothing() const override { return !lineBegun_; }

private:
    enum class Phase { Indent, Keyword, Gap, Name, Pass };

    // Gives up the name held so far: it goes out as it came and the line passes.
    void passHeld();
    void endLine();

    const CompiledMapping& mapping_;
    Phase phase_ = Phase::Indent;
    bool lineBegun_ = false;
    // The keyword so far; the name so far, up to its last non-blank byte; the blanks after it.
    std::string keyword_;
    std::string name_;
    std::string blanks_;
    std::string out_;
};

}  // namespace skelvane::conversion
