#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/bvh_start.h"
#include "conversion/joint_report.h"
#include "conversion/line_renamer.h"

namespace skelvane::conversion {

/// Builds a JointReport from a file fed in consecutive pieces of any size, for readers of any
/// kind. Only joint names and a few counters are kept; every other line is passed over.
class JointScanner {
public:
    /// A scanner that names joints as a row with `dropped` parts would.
    explicit JointScanner(const DroppedParts& dropped);

    /// Takes the next piece of the file.
    void feed(std::string_view piece);

    /// Ends the file (a last line without terminator still counts) and gives the report.
    JointReport finish();

private:
    // Where the current line stands: leading blanks, a keyword being matched, the joint name,
    // the frame count, or nothing more of interest.
    enum class Phase { Indent, Keyword, NameGap, Name, FramesGap, FramesDigits, FramesTail, Skip };

    void takeLinePiece(std::string_view piece);
    void takeKeywordByte(char byte);
    void takeFramesByte(char byte);
    bool keywordIsJoint() const;
    void endLine();
    LineEnds lineEnds() const;

    DroppedParts dropped_;
    LineRenamer renamer_;
    BvhStartCheck start_;
    JointReport report_;

    Phase phase_ = Phase::Indent;
    std::string keyword_;
    std::string name_;
    bool framesSeen_ = false;
    std::uint64_t frameCount_ = 0;

    // A CR at the end of a piece: the LF that would make it CR LF comes with the next one.
    bool pendingCr_ = false;
    std::uint64_t crLf_ = 0;
    std::uint64_t lf_ = 0;
    std::uint64_t cr_ = 0;
};

}  // namespace skelvane::conversion
