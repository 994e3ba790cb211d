#pragma once

// The joint roles: what a joint is in a humanoid body, whatever its rig calls it. Rig profiles
// name the joint of each role for one rig, and a file's joints are given roles by their names,
// so that any rig's names can be written as any other's.
//
// The vocabulary, with each role's text name as rig profiles write it:
// - hips: the root of the body, the pelvis (Poser's `hip`, Mixamo's `Hips`).
// - spine1..spine7: the spine chain counted from the hips up: spine1 is the link right above
//   the hips, spine2 the one above it, and so on. Rigs have two (Poser) to seven (Max) links;
//   chains are matched link for link from the hips, never stretched, so a rig with fewer links
//   has no joint for the upper roles.
// - neck1..neck3: the neck chain counted the same way from the chest up.
// - head; head_end (a joint at the top of the head, such as Mixamo's `HeadTop_End`);
//   left_eye, right_eye; jaw.
// - neck_dummy, figure_hair: the extra joints of Poser figures (`neckDummy` between chest and
//   neck, `figureHair` above the head).
// - For each side, `left_` or `right_` followed by: collar, upper_arm, forearm, hand; the five
//   fingers thumb, index, middle, ring and pinky, each of three joints counted from the hand
//   (left_thumb1..left_thumb3) and a joint at its tip (left_thumb_end); thigh, shin, foot, toe
//   and toe_end; the twist joints upper_arm_twist, forearm_twist, thigh_twist and shin_twist,
//   which some rigs put beside or below a limb's joint; and buttock (Poser's `lButtock`).
// Left and right are the figure's own sides.
//
// Each role carries the body part that governs it (see body_parts.h), so that a part that is
// not converted drops its joints in every rig: the spine's lowest link is the abdomen and every
// link above it the chest; the neck chain and neck_dummy are the neck; head_end, the eyes, the
// jaw and figure_hair go with the head; twist joints go with their limb's joint; fingers and
// their tips are Fingers, toes and their tips Toes, the buttocks their own parts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace skelvane::common {

/// Which side of the body a role is on: the figure's own left or right, or neither.
enum class Side : std::uint8_t { None, Left, Right };

/// What a joint is in a humanoid body; see the top of this file for the vocabulary.
enum class Role : std::uint8_t {
    Hips,
    Spine1,
    Spine2,
    Spine3,
    Spine4,
    Spine5,
    Spine6,
    Spine7,
    Neck1,
    Neck2,
    Neck3,
    Head,
    HeadEnd,
    LeftEye,
    RightEye,
    Jaw,
    NeckDummy,
    FigureHair,
    LeftCollar,
    LeftUpperArm,
    LeftUpperArmTwist,
    LeftForearm,
    LeftForearmTwist,
    LeftHand,
    LeftThumb1,
    LeftThumb2,
    LeftThumb3,
    LeftThumbEnd,
    LeftIndex1,
    LeftIndex2,
    LeftIndex3,
    LeftIndexEnd,
    LeftMiddle1,
    LeftMiddle2,
    LeftMiddle3,
    LeftMiddleEnd,
    LeftRing1,
    LeftRing2,
    LeftRing3,
    LeftRingEnd,
    LeftPinky1,
    LeftPinky2,
    LeftPinky3,
    LeftPinkyEnd,
    LeftThigh,
    LeftThighTwist,
    LeftShin,
    LeftShinTwist,
    LeftFoot,
    LeftToe,
    LeftToeEnd,
    LeftButtock,
    RightCollar,
    RightUpperArm,
    RightUpperArmTwist,
    RightForearm,
    RightForearmTwist,
    RightHand,
    RightThumb1,
    RightThumb2,
    RightThumb3,
    RightThumbEnd,
    RightIndex1,
    RightIndex2,
    RightIndex3,
    RightIndexEnd,
    RightMiddle1,
    RightMiddle2,
    RightMiddle3,
    RightMiddleEnd,
    RightRing1,
    RightRing2,
    RightRing3,
    RightRingEnd,
    RightPinky1,
    RightPinky2,
    RightPinky3,
    RightPinkyEnd,
    RightThigh,
    RightThighTwist,
    RightShin,
    RightShinTwist,
    RightFoot,
    RightToe,
    RightToeEnd,
    RightButtock,
};

/// How many roles there are; roles are numbered 0..kRoleCount-1 in the order above.
inline constexpr std::size_t kRoleCount = 86;
/// The links of the spine chain and of the neck chain that have roles.
inline constexpr int kSpineLinks = 7;
inline constexpr int kNeckLinks = 3;

/// One role: its text name as rig profiles write it, the body part (1..23) that governs it and
/// its side.
struct RoleInfo {
    Role role;
    std::string_view name;
    int part;
    Side side;
};

/// Every role, in the order of the enumeration.
inline constexpr std::array<RoleInfo, kRoleCount> kRoles{{
    {Role::Hips, "hips", 5, Side::None},
    {Role::Spine1, "spine1", 4, Side::None},
    {Role::Spine2, "spine2", 3, Side::None},
    {Role::Spine3, "spine3", 3, Side::None},
    {Role::Spine4, "spine4", 3, Side::None},
    {Role::Spine5, "spine5", 3, Side::None},
    {Role::Spine6, "spine6", 3, Side::None},
    {Role::Spine7, "spine7", 3, Side::None},
    {Role::Neck1, "neck1", 2, Side::None},
    {Role::Neck2, "neck2", 2, Side::None},
    {Role::Neck3, "neck3", 2, Side::None},
    {Role::Head, "head", 1, Side::None},
    {Role::HeadEnd, "head_end", 1, Side::None},
    {Role::LeftEye, "left_eye", 1, Side::Left},
    {Role::RightEye, "right_eye", 1, Side::Right},
    {Role::Jaw, "jaw", 1, Side::None},
    {Role::NeckDummy, "neck_dummy", 2, Side::None},
    {Role::FigureHair, "figure_hair", 1, Side::None},
    {Role::LeftCollar, "left_collar", 11, Side::Left},
    {Role::LeftUpperArm, "left_upper_arm", 12, Side::Left},
    {Role::LeftUpperArmTwist, "left_upper_arm_twist", 12, Side::Left},
    {Role::LeftForearm, "left_forearm", 13, Side::Left},
    {Role::LeftForearmTwist, "left_forearm_twist", 13, Side::Left},
    {Role::LeftHand, "left_hand", 14, Side::Left},
    {Role::LeftThumb1, "left_thumb1", 10, Side::Left},
    {Role::LeftThumb2, "left_thumb2", 10, Side::Left},
    {Role::LeftThumb3, "left_thumb3", 10, Side::Left},
    {Role::LeftThumbEnd, "left_thumb_end", 10, Side::Left},
    {Role::LeftIndex1, "left_index1", 10, Side::Left},
    {Role::LeftIndex2, "left_index2", 10, Side::Left},
    {Role::LeftIndex3, "left_index3", 10, Side::Left},
    {Role::LeftIndexEnd, "left_index_end", 10, Side::Left},
    {Role::LeftMiddle1, "left_middle1", 10, Side::Left},
    {Role::LeftMiddle2, "left_middle2", 10, Side::Left},
    {Role::LeftMiddle3, "left_middle3", 10, Side::Left},
    {Role::LeftMiddleEnd, "left_middle_end", 10, Side::Left},
    {Role::LeftRing1, "left_ring1", 10, Side::Left},
    {Role::LeftRing2, "left_ring2", 10, Side::Left},
    {Role::LeftRing3, "left_ring3", 10, Side::Left},
    {Role::LeftRingEnd, "left_ring_end", 10, Side::Left},
    {Role::LeftPinky1, "left_pinky1", 10, Side::Left},
    {Role::LeftPinky2, "left_pinky2", 10, Side::Left},
    {Role::LeftPinky3, "left_pinky3", 10, Side::Left},
    {Role::LeftPinkyEnd, "left_pinky_end", 10, Side::Left},
    {Role::LeftThigh, "left_thigh", 21, Side::Left},
    {Role::LeftThighTwist, "left_thigh_twist", 21, Side::Left},
    {Role::LeftShin, "left_shin", 22, Side::Left},
    {Role::LeftShinTwist, "left_shin_twist", 22, Side::Left},
    {Role::LeftFoot, "left_foot", 23, Side::Left},
    {Role::LeftToe, "left_toe", 19, Side::Left},
    {Role::LeftToeEnd, "left_toe_end", 19, Side::Left},
    {Role::LeftButtock, "left_buttock", 20, Side::Left},
    {Role::RightCollar, "right_collar", 6, Side::Right},
    {Role::RightUpperArm, "right_upper_arm", 7, Side::Right},
    {Role::RightUpperArmTwist, "right_upper_arm_twist", 7, Side::Right},
    {Role::RightForearm, "right_forearm", 8, Side::Right},
    {Role::RightForearmTwist, "right_forearm_twist", 8, Side::Right},
    {Role::RightHand, "right_hand", 9, Side::Right},
    {Role::RightThumb1, "right_thumb1", 10, Side::Right},
    {Role::RightThumb2, "right_thumb2", 10, Side::Right},
    {Role::RightThumb3, "right_thumb3", 10, Side::Right},
    {Role::RightThumbEnd, "right_thumb_end", 10, Side::Right},
    {Role::RightIndex1, "right_index1", 10, Side::Right},
    {Role::RightIndex2, "right_index2", 10, Side::Right},
    {Role::RightIndex3, "right_index3", 10, Side::Right},
    {Role::RightIndexEnd, "right_index_end", 10, Side::Right},
    {Role::RightMiddle1, "right_middle1", 10, Side::Right},
    {Role::RightMiddle2, "right_middle2", 10, Side::Right},
    {Role::RightMiddle3, "right_middle3", 10, Side::Right},
    {Role::RightMiddleEnd, "right_middle_end", 10, Side::Right},
    {Role::RightRing1, "right_ring1", 10, Side::Right},
    {Role::RightRing2, "right_ring2", 10, Side::Right},
    {Role::RightRing3, "right_ring3", 10, Side::Right},
    {Role::RightRingEnd, "right_ring_end", 10, Side::Right},
    {Role::RightPinky1, "right_pinky1", 10, Side::Right},
    {Role::RightPinky2, "right_pinky2", 10, Side::Right},
    {Role::RightPinky3, "right_pinky3", 10, Side::Right},
    {Role::RightPinkyEnd, "right_pinky_end", 10, Side::Right},
    {Role::RightThigh, "right_thigh", 16, Side::Right},
    {Role::RightThighTwist, "right_thigh_twist", 16, Side::Right},
    {Role::RightShin, "right_shin", 17, Side::Right},
    {Role::RightShinTwist, "right_shin_twist", 17, Side::Right},
    {Role::RightFoot, "right_foot", 18, Side::Right},
    {Role::RightToe, "right_toe", 19, Side::Right},
    {Role::RightToeEnd, "right_toe_end", 19, Side::Right},
    {Role::RightButtock, "right_buttock", 15, Side::Right},
}};

/// What the table says of a role.
constexpr const RoleInfo& roleInfo(Role role) {
    return kRoles[static_cast<std::size_t>(role)];
}

/// The role's text name ("left_upper_arm").
constexpr std::string_view roleName(Role role) {
    return roleInfo(role).name;
}

/// The body part (1..23) that governs the role.
constexpr int partOf(Role role) {
    return roleInfo(role).part;
}

/// The role of a text name, exactly as roleName writes it; nothing for any other text.
std::optional<Role> roleNamed(std::string_view name);

/// The role of the spine chain's link `link` (1..kSpineLinks, from the hips up).
constexpr Role spineRole(int link) {
    return static_cast<Role>(static_cast<int>(Role::Spine1) + link - 1);
}

/// The role of the neck chain's link `link` (1..kNeckLinks, from the chest up).
constexpr Role neckRole(int link) {
    return static_cast<Role>(static_cast<int>(Role::Neck1) + link - 1);
}

/// The role of `leftRole`, one of the left side's, on `side`: itself for the left side or none,
/// the right side's counterpart for the right (left_collar on Right is right_collar).
constexpr Role onSide(Role leftRole, Side side) {
    constexpr int kToRight =
        static_cast<int>(Role::RightCollar) - static_cast<int>(Role::LeftCollar);
    return side == Side::Right ? static_cast<Role>(static_cast<int>(leftRole) + kToRight)
                               : leftRole;
}

/// A role of either side as the left side's (right_collar is left_collar); a role without a
/// side as it is.
constexpr Role leftRoleOf(Role role) {
    constexpr int kToRight =
        static_cast<int>(Role::RightCollar) - static_cast<int>(Role::LeftCollar);
    return roleInfo(role).side == Side::Right ? static_cast<Role>(static_cast<int>(role) - kToRight)
                                              : role;
}

/// The roles every humanoid rig has a joint for: hips, the first spine and neck links, the
/// head, and on each side collar, upper arm, forearm, hand, thigh, shin, foot and toe. Role
/// finding is held to find these in every rig it knows; the others only where a rig has them.
std::span<const Role> coreRoles();

namespace detail {

constexpr bool roleTableIsWellFormed() {
    for (std::size_t i = 0; i < kRoles.size(); ++i) {
        const RoleInfo& info = kRoles[i];
        if (static_cast<std::size_t>(info.role) != i || info.name.empty()) return false;
        if (info.part < 1 || info.part > 23) return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (kRoles[j].name == info.name) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::roleTableIsWellFormed(),
              "roles are listed in enumeration order, with distinct names and a body part each");
static_assert(spineRole(kSpineLinks) == Role::Spine7 && neckRole(kNeckLinks) == Role::Neck3);
static_assert(onSide(Role::LeftButtock, Side::Right) == Role::RightButtock &&
                  leftRoleOf(Role::RightCollar) == Role::LeftCollar,
              "the right side's roles are listed in the order of the left side's");

}  // namespace skelvane::common
