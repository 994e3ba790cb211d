#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/bvh/structure_check.h"
#include "conversion/mapping/mapping_fit.h"
#include "conversion/mapping/role_finder.h"
#include "conversion/mapping/target_check.h"
#include "conversion/rename/joint_namer.h"
#include "conversion/rename/joint_report.h"

namespace skelvane::conversion {

/// Builds a JointReport from a file fed in consecutive pieces of any size, for readers of any
/// kind. Keeps the reader's state, the start of one name and the report's bounded list, so its
/// memory stays flat whatever the file. Each joint also counts towards the presets' fit; the
/// structure check, when asked for, reads the same pass.
class JointScanner final : private BvhVisitor {
public:
    /// A scanner that names joints as `mapping`, which must outlive it, does; with `reading`
    /// Reading::Hierarchy it keeps the hierarchy too. It checks the file's structure when
    /// `checkStructure` says so (see StructureCheck), which keeps the hierarchy as well, then
    /// holds the file to the rules of `judgeBy`, if given, which must outlive it (see
    /// TargetCheck).
    explicit JointScanner(const CompiledMapping& mapping, Reading reading = Reading::Kinds,
                          bool checkStructure = false, const RigProfile* judgeBy = nullptr);

    /// Hands each joint's name to `names` as well, which must outlive the scanner.
    void collectNames(JointNames& names) { names_ = &names; }

    /// Takes the next piece of the file.
    void feed(std::string_view piece) { reader_.feed(piece, *this); }

    /// True once the hierarchy is over: a MOTION line has been read.
    bool hierarchyRead() const { return reader_.motion().motionLine != 0; }

    /// The joints read so far with their parents and offsets, when the scanner keeps them.
    const Hierarchy& hierarchy() const { return reader_.hierarchy(); }

    /// Ends the file (a last line without terminator still counts) and gives the report.
    JointReport finish();

private:
    void take(const LinePiece& piece) override;
    void takePlainLines(std::string_view lines, const Line& last) override;
    void followName(const JointEntry& joint);

    JointNamer namer_;
    BvhReader reader_;
    std::optional<StructureCheck> check_;
    std::optional<TargetCheck> target_;
    FitCounter fit_;
    JointReport report_;
    JointNames* names_ = nullptr;
    // How many joints end up with each new name, for the first kFollowedNames names met.
    std::unordered_map<std::string, std::uint64_t> newNameCounts_;
    std::vector<const std::string*> newNamesInOrder_;
};

}  // namespace skelvane::conversion
