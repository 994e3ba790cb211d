#pragma once

// The names one file's joints are written with when a conversion writes every name once: a
// conversion through roles (each joint's role written with the target rig's name for it) and
// every preset but the built-in table. Many importers cannot tell joints of one name apart (one
// fails outright, another binds motion by name and moves the wrong joint), so no two joints
// that the plan names are given one name.
//
// Each joint wants a name: the target's (or the preset row's), "nothing" for a part that is not
// converted, or its own when there is nothing to write instead. Names are given in that order
// of precedence: the wanted names of the target first, then the names joints keep, then the
// rest; a name already given is numbered from 2 on (`nothing`, `nothing2`, `nothing3`...,
// `Spine2` where `Spine` was taken), at the first number no joint has. Joints of one name are
// one joint to the plan, since a whole-name renamer cannot tell them apart.
//
// The plan covers the joints role finding considers (see JointNames): the names of later joints
// are not known when it is made, and they keep their names.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/roles.h"
#include "conversion/mapping/dropped_parts.h"
#include "conversion/mapping/mapping.h"
#include "conversion/mapping/rig_profile.h"
#include "conversion/mapping/role_finder.h"
#include "conversion/rename/compiled_mapping.h"

namespace skelvane::conversion {

/// Where the name a joint is written with comes from.
enum class NameChoice {
    /// The target rig's name for its role, or the row of a preset that names it.
    Target,
    /// "nothing": its part is not converted (or, for a preset, its row writes nothing).
    Nothing,
    /// Its own: no role was found for it, or no row of the preset names it.
    Kept,
    /// Its own: the target rig has no joint for its role.
    NotInTarget,
};

/// The plan for one joint.
struct PlannedJoint {
    /// The role found for it and how (a preset's plan finds none).
    std::optional<common::Role> role;
    RoleStatus status = RoleStatus::Unknown;
    NameChoice choice = NameChoice::Kept;
    /// The name it is written with; its own cut one, for a name too long to be compared.
    std::string name;
    /// True when `name` carries a number that keeps it apart from a name given before.
    bool numbered = false;
    /// The body part of its role or row, 0 for none.
    int part = 0;
};

/// The names of one file's joints, as a set of whole-name renames.
struct NamePlan {
    /// One entry per joint considered, in file order.
    std::vector<PlannedJoint> joints;
    /// One rename per name that changes.
    std::vector<Rename> renames;
    /// How many joints considered have a role, keep their names, and were numbered.
    std::size_t withRole = 0;
    std::size_t kept = 0;
    std::size_t numbered = 0;
};

/// The plan that writes each joint's role, found in `roles`, with `target`'s name for it:
/// "nothing" where its part is `dropped`, its own name where it has no role or `target` no
/// joint for it.
NamePlan planRoleNames(const JointNames& names, const RoleFinding& roles, const RigProfile& target,
                       const DroppedParts& dropped);

/// The plan that writes each name as the rows of `preset` (which matches whole names) do for a
/// file whose `dropped` parts are not converted, every name once.
NamePlan planPresetNames(const JointNames& names, const Mapping& preset,
                         const DroppedParts& dropped);

}  // namespace skelvane::conversion
