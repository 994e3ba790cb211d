#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/bvh_start.h"
#include "conversion/joint_report.h"
#include "conversion/line_renamer.h"
#include "conversion/mapping_fit.h"

namespace skelvane::conversion {

/// Names one joint whose name comes in pieces of any size, however long it is: keeps the start
/// of the old and the new name for display, their full lengths and which rows matched. Blanks
/// at the end of the name are not part of it.
class JointNamer final : private ByteSink {
public:
    /// A namer that renames as `mapping`, which must outlive it, does.
    explicit JointNamer(const CompiledMapping& mapping);

    /// Takes the next piece of the name.
    void feed(std::string_view piece);

    /// Ends the name and gives its entry; the namer is then ready for the next name.
    JointEntry finish();

private:
    // Takes the new name as the renamer writes it, however long it grows: its start and its
    // length.
    std::error_code write(std::string_view bytes) override;
    void keep(std::string& kept, std::uint64_t& length, std::string_view piece);
    // What an exact mapping makes of the whole name; what a contains mapping's hits made of it.
    void nameWhole();
    void nameByHits();

    const CompiledMapping& mapping_;
    LineRenamer renamer_;
    RuleHits hits_;
    JointEntry entry_;
    // The blanks at the end of what was fed so far.
    std::uint64_t trailingBlanks_ = 0;
};

/// Builds a JointReport from a file fed in consecutive pieces of any size, for readers of any
/// kind. Keeps a few counters, the start of one name and the report's bounded list, so its
/// memory stays flat whatever the file; every line but joints and frames is passed over. Each
/// joint also counts towards the presets' fit.
class JointScanner {
public:
    /// A scanner that names joints as `mapping`, which must outlive it, does.
    explicit JointScanner(const CompiledMapping& mapping);

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
