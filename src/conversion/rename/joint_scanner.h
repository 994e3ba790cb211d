#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/bvh/bvh_start.h"
#include "conversion/mapping/mapping_fit.h"
#include "conversion/mapping/role_finder.h"
#include "conversion/rename/joint_namer.h"
#include "conversion/rename/joint_report.h"

namespace skelvane::conversion {

/// Builds a JointReport from a file fed in consecutive pieces of any size, for readers of any
/// kind. Keeps a few counters, the start of one name and the report's bounded list, so its
/// memory stays flat whatever the file; every line but joints and frames is passed over. Each
/// joint also counts towards the presets' fit.
class JointScanner {
public:
    /// A scanner that names joints as `mapping`, which must outlive it, does.
    explicit JointScanner(const CompiledMapping& mapping);

    /// Hands each joint's name to `names` as well, which must outlive the scanner.
    void collectNames(JointNames& names) { names_ = &names; }

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
    void followName(const JointEntry& joint);
    LineEnds lineEnds() const;

    JointNamer namer_;
    BvhStartCheck start_;
    FitCounter fit_;
    JointReport report_;
    JointNames* names_ = nullptr;
    // How many joints end up with each new name, for the first kFollowedNames names met.
    std::unordered_map<std::string, std::uint64_t> newNameCounts_;
    std::vector<const std::string*> newNamesInOrder_;

    Phase phase_ = Phase::Indent;
    std::string keyword_;
    bool framesSeen_ = false;
    std::uint64_t frameCount_ = 0;

    // A CR at the end of a piece: the LF that would make it CR LF comes with the next one.
    bool pendingCr_ = false;
    std::uint64_t crLf_ = 0;
    std::uint64_t lf_ = 0;
    std::uint64_t cr_ = 0;
};

}  // namespace skelvane::conversion
