#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/bvh/findings.h"
#include "conversion/mapping/mapping_fit.h"
#include "conversion/rename/compiled_mapping.h"
#include "conversion/rename/name_plan.h"

namespace skelvane::conversion {

/// What the rules do to a joint's name: give it a Max name, write "nothing" in it, or leave it.
enum class JointOutcome { Renamed, Dropped, Untouched };

/// Longest stretch of a joint name a report keeps for display; longer names are cut there (at
/// a character's edge) and their full lengths kept beside them.
inline constexpr std::size_t kShownNameBytes = 256;

/// Most joints a report lists one by one; it counts every joint all the same.
inline constexpr std::size_t kListedJoints = 2000;

/// Most shared new names a report lists, and most distinct new names it follows to find them.
inline constexpr std::size_t kListedSharedNames = 20;
inline constexpr std::size_t kFollowedNames = 4096;

/// One joint declared in a file (`ROOT` or `JOINT`), with the name the conversion writes.
struct JointEntry {
    /// The names, cut to kShownNameBytes for display.
    std::string oldName;
    std::string newName;
    JointOutcome outcome = JointOutcome::Untouched;
    /// True when a search text matched inside a longer word: a letter stands right before or
    /// after the text it matched (`neckDummy`, `lowerneck`; not `rThumb2`, where a digit does).
    bool partialWord = false;
    /// The full lengths of the names in bytes.
    std::uint64_t oldLength = 0;
    std::uint64_t newLength = 0;
    /// For a joint renamed to "nothing", the body part of the row that did so (0: none).
    int part = 0;
    /// True when the new name carries a number that keeps it apart from another joint's.
    bool numbered = false;
    /// Where roles were found (see role_finder.h): the joint's role, how it was found and what
    /// the skeleton says of it; absent for joints past those role finding considers.
    std::optional<JointRole> role = std::nullopt;
    /// Where names are planned (see name_plan.h): where its new name comes from; absent for a
    /// mapping that renames by its rows alone, and for joints past those the plan covers.
    std::optional<NameChoice> nameFrom = std::nullopt;

    /// True when the names shown are only the start of the names.
    bool cut() const { return oldLength > oldName.size() || newLength > newName.size(); }
};

/// What a file holds, as far as converting it goes. Its size is bounded whatever the file.
struct JointReport {
    /// True when the file starts like a BVH file (see BvhStartCheck).
    bool bvh = false;
    /// The first kListedJoints joints in file order; `End Site` is not a joint.
    std::vector<JointEntry> joints;
    /// Every joint of the file, and how many of them had each outcome or a partial-word hit.
    std::uint64_t jointCount = 0;
    std::uint64_t renamed = 0;
    std::uint64_t dropped = 0;
    std::uint64_t untouched = 0;
    std::uint64_t partialWords = 0;
    /// The count of the first `Frames:` line; absent when there is none or it is not a number.
    std::optional<std::uint64_t> frames;
    LineEnds lineEnds = LineEnds::None;
    /// Which preset fits the file's joints best.
    FitResult fit;
    /// What the skeleton says of the file, where roles were found and the skeleton read.
    std::optional<SkeletonSummary> skeleton;
    /// New names that more than one joint ends up with (many importers cannot tell such joints
    /// apart), with how many joints have each, in the order first met; at most kListedSharedNames.
    std::vector<std::pair<std::string, std::uint64_t>> sharedNames;
    /// What the structure check found, when the file was read with it.
    std::optional<Findings> findings;

    /// The joints counted but not listed.
    std::uint64_t unlisted() const { return jointCount - joints.size(); }
    /// Adds a joint to the counts, and to the list while there is room.
    void add(JointEntry entry);
};

/// Whom a report is for: a joint renamed to "nothing" for a part that is not converted is told
/// in the way the user chose that (`--drop`, or a red dot on the window's diagram).
enum class Audience { CommandLine, Window };

/// A joint's outcome as a value for scripts: "renamed", "dropped", "untouched".
std::string_view outcomeKey(JointOutcome outcome);

/// Why a joint is renamed to "nothing", as a value for scripts: "always" (fingers, toes, eyes,
/// buttocks and other rows without a part that can be converted) or "part not converted"; empty
/// for other joints.
std::string_view nothingReasonKey(const JointEntry& joint);

/// What happens to a joint in words, the same in every report: "renamed", "renamed to nothing,
/// always", "renamed to nothing, --drop rShldr" or "renamed to nothing, Right Shoulder switched
/// off", "untouched: no row matches", with ", partial word" after a partial-word hit.
std::string whatHappens(const JointEntry& joint, Audience audience);

/// What happens to a joint through roles, in the words of every report: whatHappens' words,
/// "already so named" for one that has the target's name already, and why one keeps its name
/// ("kept: max has no joint for neck_dummy", "kept: its role is ambiguous", "kept: the skeleton
/// contradicts its name (left_hand)", "kept: no role found"); with what the skeleton said
/// against its name, if anything. `target` names the rig whose names are written.
std::string whatHappensThroughRoles(const JointEntry& joint, std::string_view target,
                                    Audience audience);

/// True when a report marks the joint as one to look at: untouched, or through roles one that
/// keeps its name.
bool keepsItsName(const JointEntry& joint);

/// How a joint's role was found, in the words of every report: "exact", "normalised",
/// "common word", "skeleton", or why it has none: "unknown", "ambiguous", "conflict",
/// "too long".
std::string_view foundWords(RoleStatus status);

/// What the skeleton said against a joint's name, in the words of every report ("the skeleton
/// contradicts its name (left_upper_arm)"); empty where it said nothing against it.
std::string skeletonObjection(const JointRole& role);

/// How a report names a style of line ends in a sentence ("CR LF line ends") and as a value
/// for scripts ("CRLF").
std::string_view lineEndsWords(LineEnds ends);
std::string_view lineEndsKey(LineEnds ends);

/// The first bytes of `text`, at most `limit`, cut at the edge of a UTF-8 character.
std::string_view cutAtCharacter(std::string_view text, std::size_t limit);

}  // namespace skelvane::conversion
