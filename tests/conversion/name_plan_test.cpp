#include "conversion/rename/name_plan.h"

#include <gtest/gtest.h>

namespace skelvane::conversion {
namespace {

using common::Role;

// A small target: two spine links, the head and the left hand.
const RigProfile& target() {
    static const RigProfile profile =
        parseRigProfile(
            "# skelvane-rig 1\nrole,name\nhips,Hips\nspine1,Spine\nspine2,Chest\nhead,Head\n"
            "left_hand,Hand_L\n",
            "target.csv")
            .value();
    return profile;
}

struct Joint {
    std::string name;
    std::optional<Role> role;
};

// The names a plan writes, in file order, a numbered one marked with '#', then its renames.
std::string described(const NamePlan& plan) {
    std::string text;
    for (const PlannedJoint& joint : plan.joints) {
        text += joint.name + (joint.numbered ? "# " : " ");
    }
    text += "|";
    for (const Rename& rename : plan.renames) {
        text +=
            " " + rename.search + ">" + rename.replacement + (rename.dropped ? "(dropped)" : "");
    }
    return text;
}

NamePlan planFor(const std::vector<Joint>& joints, const DroppedParts& dropped) {
    JointNames names;
    RoleFinding roles;
    for (const Joint& joint : joints) {
        names.add(joint.name);
        JointRole found;
        found.role = joint.role;
        found.status = joint.role ? RoleStatus::Exact : RoleStatus::Unknown;
        roles.joints.push_back(found);
    }
    return planRoleNames(names, roles, target(), dropped);
}

TEST(PlanRoleNames, WritesEachRoleAsTheTargetNamesItAndEveryNameOnce) {
    DroppedParts headAndHand;
    headAndHand.set(1);
    headAndHand.set(14);
    const struct {
        const char* name;
        std::vector<Joint> joints;
        DroppedParts dropped;
        std::string expected;
    } cases[] = {
        {"TargetNames",
         {{"pelvis", Role::Hips}, {"torso", Role::Spine1}, {"skull", Role::Head}},
         {},
         "Hips Spine Head | pelvis>Hips torso>Spine skull>Head"},
        {"AlreadyTheTargetsNamesRenameNothing",
         {{"Hips", Role::Hips}, {"Head", Role::Head}},
         {},
         "Hips Head |"},
        // Whole names once each: Chest becomes Spine and Spine Chest, never Chest again.
        {"NamesSwapWithoutChaining",
         {{"Chest", Role::Spine1}, {"Spine", Role::Spine2}},
         {},
         "Spine Chest | Chest>Spine Spine>Chest"},
        {"ARoleTheTargetLacksKeepsItsName",
         {{"Hips", Role::Hips}, {"Chest3", Role::Spine3}, {"LeftEye", Role::LeftEye}},
         {},
         "Hips Chest3 LeftEye |"},
        {"DroppedPartsAreNothingNumberedFromTheSecondOn",
         {{"skull", Role::Head}, {"Hand", Role::LeftHand}, {"jaw", Role::Jaw}},
         headAndHand,
         "nothing nothing2# nothing3# | skull>nothing(dropped) Hand>nothing2(dropped) "
         "jaw>nothing3(dropped)"},
        // The target's name goes to the joint of its role, even after a joint that has it.
        {"AKeptNameTheTargetWritesIsNumbered",
         {{"Head", std::nullopt}, {"skull", Role::Head}},
         {},
         "Head2# Head | Head>Head2 skull>Head"},
        {"NothingSkipsTheNamesJointsKeep",
         {{"nothing", std::nullopt}, {"nothing2", std::nullopt}, {"Hand", Role::LeftHand}},
         headAndHand,
         "nothing nothing2 nothing3# | Hand>nothing3(dropped)"},
        // A whole-name renamer cannot tell them apart, so they are one joint to the plan.
        {"JointsOfOneNameStayOne",
         {{"Bone", std::nullopt}, {"Bone", std::nullopt}, {"Hand", Role::LeftHand}},
         {},
         "Bone Bone Hand_L | Hand>Hand_L"},
        // Never compared, so never renamed: the plan holds the name's start only.
        {"ANameTooLongToCompareIsLeft",
         {{std::string(kMaxRigNameBytes + 1, 'x'), std::nullopt}, {"skull", Role::Head}},
         {},
         std::string(kMaxRigNameBytes, 'x') + " Head | skull>Head"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(described(planFor(c.joints, c.dropped)), c.expected);
    }
}

}  // namespace
}  // namespace skelvane::conversion
