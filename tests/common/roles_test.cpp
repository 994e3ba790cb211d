#include "common/roles.h"

#include <gtest/gtest.h>

#include <string>

namespace skelvane::common {
namespace {

TEST(Roles, ReadTheirTextNamesAndCarryTheirBodyPart) {
    struct Case {
        const char* text;
        Role role;
        int part;
    };
    // Parts as the diagram numbers them: the figure's right side is 6..9 and 15..18, its left
    // 11..14 and 20..23.
    const Case cases[] = {
        {"hips", Role::Hips, 5},
        {"spine1", Role::Spine1, 4},
        {"spine2", Role::Spine2, 3},
        {"spine7", Role::Spine7, 3},
        {"neck1", Role::Neck1, 2},
        {"neck3", Role::Neck3, 2},
        {"head", Role::Head, 1},
        {"head_end", Role::HeadEnd, 1},
        {"left_eye", Role::LeftEye, 1},
        {"right_eye", Role::RightEye, 1},
        {"jaw", Role::Jaw, 1},
        {"neck_dummy", Role::NeckDummy, 2},
        {"figure_hair", Role::FigureHair, 1},
        {"left_collar", Role::LeftCollar, 11},
        {"right_collar", Role::RightCollar, 6},
        {"left_upper_arm", Role::LeftUpperArm, 12},
        {"right_upper_arm_twist", Role::RightUpperArmTwist, 7},
        {"left_forearm", Role::LeftForearm, 13},
        {"right_forearm_twist", Role::RightForearmTwist, 8},
        {"right_hand", Role::RightHand, 9},
        {"left_thumb1", Role::LeftThumb1, 10},
        {"right_middle3", Role::RightMiddle3, 10},
        {"left_pinky_end", Role::LeftPinkyEnd, 10},
        {"right_buttock", Role::RightButtock, 15},
        {"left_buttock", Role::LeftButtock, 20},
        {"right_thigh", Role::RightThigh, 16},
        {"left_thigh_twist", Role::LeftThighTwist, 21},
        {"right_shin", Role::RightShin, 17},
        {"left_shin_twist", Role::LeftShinTwist, 22},
        {"right_foot", Role::RightFoot, 18},
        {"left_foot", Role::LeftFoot, 23},
        {"left_toe", Role::LeftToe, 19},
        {"right_toe_end", Role::RightToeEnd, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(roleNamed(c.text), c.role);
        EXPECT_EQ(roleName(c.role), c.text);
        EXPECT_EQ(partOf(c.role), c.part);
    }
}

TEST(Roles, RefuseTextThatIsNotExactlyAName) {
    for (const char* text : {"", "Hips", "hips ", "spine0", "spine8", "neck4", "left upper arm",
                             "leftUpperArm", "left_shoulder", "upper_arm", "left_thumb4"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(roleNamed(text), std::nullopt);
    }
}

TEST(Roles, EveryRoleReadsBackFromItsName) {
    for (const RoleInfo& info : kRoles) {
        SCOPED_TRACE(std::string(info.name));
        EXPECT_EQ(roleNamed(info.name), info.role);
    }
}

}  // namespace
}  // namespace skelvane::common
