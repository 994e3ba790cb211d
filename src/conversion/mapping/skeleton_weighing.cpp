#include "conversion/mapping/skeleton_weighing.h"

#include <algorithm>
#include <array>

namespace skelvane::conversion {

namespace {

using common::Role;
using BodySide = common::Side;

bool within(Role role, Role first, Role last) {
    return role >= first && role <= last;
}

// True when `role` belongs where `joint` lies, on `chain`'s side.
bool fits(Role role, const PlacedJoint& joint, const std::vector<BodyChain>& chains) {
    const BodySide side = joint.chain == kNoChain ? BodySide::None : chains[joint.chain].side;
    const bool sideFits = side == BodySide::None || common::roleInfo(role).side == side;
    const Role left = common::leftRoleOf(role);
    switch (joint.place) {
        case BodyPlace::Off:
            return false;
        case BodyPlace::Hips:
            return role == Role::Hips;
        case BodyPlace::Spine:
            return within(role, Role::Spine1, Role::Spine7);
        case BodyPlace::Neck:
            return within(role, Role::Neck1, Role::FigureHair);
        case BodyPlace::Arm:
            return sideFits && within(left, Role::LeftCollar, Role::LeftHand);
        case BodyPlace::Hand:
            return sideFits && within(left, Role::LeftThumb1, Role::LeftPinkyEnd);
        case BodyPlace::Leg:
            return sideFits && within(left, Role::LeftThigh, Role::LeftButtock);
    }
    return false;
}

// Where a role comes along its chain: as the roles are listed, but for the two that come first
// though listed later, the neck's dummy and the buttock.
int orderOf(Role role) {
    const Role left = common::leftRoleOf(role);
    if (role == Role::NeckDummy) return 2 * static_cast<int>(Role::Neck1) - 1;
    if (left == Role::LeftButtock) return 2 * static_cast<int>(Role::LeftThigh) - 1;
    return 2 * static_cast<int>(left);
}

}  // namespace

void foldSkeleton(RoleFinding& roles, const SkeletonReading& skeleton) {
    SkeletonSummary summary;
    summary.humanoid = skeleton.humanoid;
    const std::size_t count = std::min(roles.joints.size(), skeleton.joints.size());
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::array<std::size_t, common::kRoleCount> holder;
    holder.fill(kNone);
    for (std::size_t i = 0; i < roles.joints.size(); ++i) {
        if (roles.joints[i].role) holder[static_cast<std::size_t>(*roles.joints[i].role)] = i;
    }
    const auto placedFor = [&](std::size_t i, Role role) {
        return i < count && fits(role, skeleton.joints[i], skeleton.chains);
    };
    // Gives joint i a role of the skeleton's; a joint that held it where it does not belong
    // loses it, as in a conflict between names.
    const auto give = [&](std::size_t i, Role role, SkeletonSays says) {
        JointRole& joint = roles.joints[i];
        if (joint.role && holder[static_cast<std::size_t>(*joint.role)] == i) {
            holder[static_cast<std::size_t>(*joint.role)] = kNone;
        }
        std::size_t& held = holder[static_cast<std::size_t>(role)];
        if (held != kNone && held != i) {
            JointRole& other = roles.joints[held];
            other.role.reset();
            other.status = RoleStatus::Conflict;
            other.contested = role;
            other.rival = i;
        }
        held = i;
        joint.role = role;
        joint.status = RoleStatus::Skeleton;
        joint.profile = nullptr;
        joint.skeleton = says;
        ++(says == SkeletonSays::Decides ? summary.decided : summary.contradicted);
    };
    const auto drop = [&](std::size_t i) {
        JointRole& joint = roles.joints[i];
        holder[static_cast<std::size_t>(*joint.role)] = kNone;
        joint.named = joint.role;
        joint.role.reset();
        joint.skeleton = SkeletonSays::Contradicts;
        ++summary.contradicted;
    };

    for (std::size_t c = 0; c < skeleton.chains.size(); ++c) {
        const BodyChain& chain = skeleton.chains[c];
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < count; ++i) {
            if (skeleton.joints[i].chain == c) members.push_back(i);
        }
        // Whether the names' roles all belong where their joints lie, in the chain's order, and
        // on a limb of the usual length are the skeleton's.
        bool belong = true;
        bool inOrder = true;
        int last = -1;
        for (const std::size_t i : members) {
            const std::optional<Role>& named = roles.joints[i].role;
            if (!named) continue;
            const PlacedJoint& placed = skeleton.joints[i];
            belong = belong && placedFor(i, *named);
            if (placed.link < 0) continue;
            inOrder = inOrder && orderOf(*named) > last;
            last = orderOf(*named);
            belong = belong && !(chain.fixed && placed.role != named);
        }
        for (const std::size_t i : members) {
            JointRole& joint = roles.joints[i];
            const PlacedJoint& placed = skeleton.joints[i];
            if (!belong && chain.fixed && placed.link >= 0) {
                if (joint.role == placed.role) {
                    joint.skeleton = SkeletonSays::Agrees;
                    continue;
                }
                const std::optional<Role> named = joint.role;
                give(i, *placed.role, named ? SkeletonSays::Contradicts : SkeletonSays::Decides);
                joint.named = named;
            } else if (joint.role && !placedFor(i, *joint.role)) {
                drop(i);
            } else if (joint.role) {
                joint.skeleton =
                    belong && inOrder ? SkeletonSays::Agrees : SkeletonSays::CannotTell;
            }
        }
        // Links the names leave open take the skeleton's role, unless a joint holds it where it
        // belongs.
        for (const std::size_t i : members) {
            JointRole& joint = roles.joints[i];
            const PlacedJoint& placed = skeleton.joints[i];
            if (!joint.role && placed.role && joint.status != RoleStatus::NameTooLong) {
                const std::size_t held = holder[static_cast<std::size_t>(*placed.role)];
                if (held == kNone || !placedFor(held, *placed.role)) {
                    const bool contradicted = joint.skeleton == SkeletonSays::Contradicts;
                    if (contradicted) --summary.contradicted;
                    give(i, *placed.role,
                         contradicted ? SkeletonSays::Contradicts : SkeletonSays::Decides);
                }
            }
            if (joint.skeleton == SkeletonSays::NotRead) joint.skeleton = SkeletonSays::CannotTell;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        JointRole& joint = roles.joints[i];
        const PlacedJoint& placed = skeleton.joints[i];
        if (placed.place == BodyPlace::Hips) {
            if (joint.role == Role::Hips) {
                joint.skeleton = SkeletonSays::Agrees;
            } else if (joint.status != RoleStatus::NameTooLong) {
                const std::optional<Role> named = joint.role;
                give(i, Role::Hips, named ? SkeletonSays::Contradicts : SkeletonSays::Decides);
                joint.named = named;
            }
        } else if (placed.place == BodyPlace::Off) {
            joint.skeleton = SkeletonSays::CannotTell;
        }
    }
    roles.skeleton = summary;
}

}  // namespace skelvane::conversion
