#pragma once

// Finding the role of each of a file's joints from their names (see common/roles.h).
//
// A joint's name is looked up whole in every rig profile the finder knows, and normalised (see
// normaliseJointName) against every profile's names normalised the same way and a list of
// common words for roles (UpArm, LoLeg, Calf, Clavicle, Wrist, Ankle, Ball, ToeBase...).
// Profiles are ranked by how well they fit the whole file: how many of its joints they name,
// then how many of those exactly, then how many carry a namespace (`mixamorig7:`) just where
// the profile's own names do. Each joint takes the role that the best-ranked profile naming it
// gives it, its exact name before its names normalised, so that a false friend such as
// `LeftShoulder` (the collar in Mixamo, HumanIK, CMU and Unity, the upper arm in Max) is read
// as the rig that fits the file reads it; common words count only where no profile names the
// joint. A joint that profiles of equal fit read differently is ambiguous. Two joints found for
// one role leave it to the one found on stronger evidence (a better-fitting profile, then an
// exact name), or to neither when that is a tie. A joint left ambiguous, in conflict or unknown
// keeps no role: nothing found is ever a guess.
//
// The work is bounded whatever the file: the first kMaxRoleJoints joints are considered and the
// rest only counted, and a name is kept to kMaxRigNameBytes bytes (a longer one is never
// matched), so memory stays flat and time is linear in the joints with small constants.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/roles.h"
#include "conversion/mapping/rig_profile.h"

namespace skelvane::conversion {

/// The most joints of one file that role finding considers; the rest are only counted.
inline constexpr std::size_t kMaxRoleJoints = 4096;

/// A joint name as role finding compares it: its side and the rest of it, lower case, without
/// separators and prefixes.
struct NormalisedName {
    common::Side side = common::Side::None;
    std::string core;
    /// True when a namespace (everything up to the last ':') was taken off.
    bool namespaced = false;

    friend bool operator==(const NormalisedName&, const NormalisedName&) = default;
};

/// Normalises a joint name: takes off a namespace up to the last ':' (`mixamorig7:`,
/// `Armature_mixamorig:`), splits the rest into words at the separators `_ . - space tab` and
/// where the case or a digit shows a new word (`lShldr`, `LThumb`, `Thumb1Left`), takes off
/// leading words that only prefix names (`Bip01`, `Bip001`, `Armature`, `Character1`,
/// `mixamorig`, Second Life's `m`), takes a side word or mark (`Left`, `Right`, `L`, `R`, `l`,
/// `r`) from the first or the last word, and joins what is left in lower case.
NormalisedName normaliseJointName(std::string_view name);

/// The joint names of one file in hierarchy order, as role finding takes them, gathered one at
/// a time so that memory stays flat: the first kMaxRoleJoints names, each kept to
/// kMaxRigNameBytes, and how many names there were in all.
class JointNames {
public:
    JointNames() = default;
    /// The names of `names`, as add() takes them.
    explicit JointNames(std::span<const std::string> names);

    /// Takes the next joint's name.
    void add(std::string_view name) { add(name, name.size()); }
    /// Takes the next joint's name of `length` bytes, of which `start` may be only the start.
    void add(std::string_view start, std::uint64_t length);
    /// The names kept, one per joint considered.
    std::size_t size() const { return names_.size(); }
    /// How many names were added, kept or not.
    std::size_t count() const { return count_; }
    /// The name kept for joint `index`, cut when it was too long.
    std::string_view operator[](std::size_t index) const { return names_[index]; }
    /// True when joint `index`'s name was longer than kMaxRigNameBytes.
    bool isTooLong(std::size_t index) const { return tooLong_[index]; }

private:
    std::vector<std::string> names_;
    std::vector<bool> tooLong_;
    std::size_t count_ = 0;
};

/// How a joint's role was found, or why it has none.
enum class RoleStatus {
    /// The name is one of the profile's names, whole.
    Exact,
    /// The name, normalised, is one of the profile's names normalised.
    Normalised,
    /// The name, normalised, is a common word for the role that no profile decided.
    Synonym,
    /// Nothing known matches the name.
    Unknown,
    /// Profiles of equal rank give the name different roles.
    Ambiguous,
    /// Another joint was found for the same role on stronger or equal evidence.
    Conflict,
    /// The name is longer than kMaxRigNameBytes, so it was not compared.
    NameTooLong,
    /// The skeleton's shape gave it, where its name gave none or one the skeleton contradicts
    /// (see skeleton_roles.h).
    Skeleton,
};

/// What a file's skeleton says of a joint's role, where it was read (see skeleton_weighing.h).
enum class SkeletonSays : std::uint8_t {
    /// The skeleton was not read, or is no humanoid's.
    NotRead,
    /// The joint lies where the role its name gave belongs.
    Agrees,
    /// The skeleton gave the role, which the joint's name did not.
    Decides,
    /// The joint lies where the role its name gave cannot be: its role is the skeleton's, or
    /// none.
    Contradicts,
    /// The skeleton cannot tell its role: a joint off the body's chains (a prop, a tail, a
    /// branch of the spine), a finger, a link the rig counts its own way.
    CannotTell,
};

/// The role found for one joint.
struct JointRole {
    /// The role; nothing unless the status is Exact, Normalised or Synonym.
    std::optional<common::Role> role;
    RoleStatus status = RoleStatus::Unknown;
    /// The profile whose name decided (Exact, Normalised, and Conflict when a profile had
    /// decided); null otherwise.
    const RigProfile* profile = nullptr;
    /// For a Conflict: the role this joint was found for, and a joint that was found for it too
    /// (the one that keeps it, when one does).
    std::optional<common::Role> contested;
    std::size_t rival = 0;
    /// What the skeleton says, and for Contradicts the role the joint's name gave.
    SkeletonSays skeleton = SkeletonSays::NotRead;
    std::optional<common::Role> named;
};

/// What the skeleton of a file says of it as a whole, where it was read.
struct SkeletonSummary {
    /// True when it is a humanoid's: hips with two legs and a spine that rises to two arms.
    bool humanoid = false;
    /// How many roles it gave that names did not, and how many names' roles it contradicted.
    std::size_t decided = 0;
    std::size_t contradicted = 0;
};

/// The roles found for the joints of one file.
struct RoleFinding {
    /// One entry per joint considered, in the order given.
    std::vector<JointRole> joints;
    /// How many joints there were, considered or not.
    std::size_t jointCount = 0;
    /// The profile that fits the file best, null when none names any of its joints.
    const RigProfile* bestFit = nullptr;
    /// How many of the joints considered the best fit names, exactly or normalised.
    std::size_t bestFitJoints = 0;
    /// What the skeleton says of the file, when it was read.
    std::optional<SkeletonSummary> skeleton;

    /// The joint found for `role`, or nothing.
    std::optional<std::size_t> jointOf(common::Role role) const;
    /// True when joints were left out because there were more than kMaxRoleJoints.
    bool jointsLeftOut() const { return joints.size() < jointCount; }
};

/// Finds roles with a set of rig profiles; built once, it serves any number of files.
class RoleFinder {
public:
    /// A finder that knows `profiles`, in order of precedence where all else is equal; the
    /// profiles must outlive it.
    explicit RoleFinder(std::span<const RigProfile* const> profiles);

    /// The roles of the joints named `joints`.
    RoleFinding find(const JointNames& joints) const;

    /// What a finder that knows no profile finds: no role for any joint, as the start of
    /// finding roles by the skeleton alone.
    static RoleFinding nothingFound(const JointNames& joints);

private:
    struct Candidate {
        std::size_t profile;  // kNoProfile for a common word
        common::Role role;
        bool namespaced;
    };
    static constexpr std::size_t kNoProfile = static_cast<std::size_t>(-1);

    void addName(std::size_t profile, common::Role role, const std::string& name);
    void addSynonyms();

    std::vector<const RigProfile*> profiles_;
    std::unordered_map<std::string, std::vector<Candidate>> exact_;
    std::unordered_map<std::string, std::vector<Candidate>> normalised_;
};

/// A finder that knows the built-in profiles, made once.
const RoleFinder& builtInRoleFinder();

/// A finder that knows one built-in profile alone, as `--from` reads a file, made once for
/// each; `profile` must be one of rigProfiles().
const RoleFinder& builtInRoleFinderOf(const RigProfile& profile);

}  // namespace skelvane::conversion
