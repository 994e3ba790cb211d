#include "conversion/mapping/role_finder.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/joint_names.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using common::Role;
using common::Side;
using skelvane::testing::exampleFile;
using skelvane::testing::jointNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::testdataDir;

std::vector<std::string> namesIn(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

// Each joint as "name role", or "name -" when it has none.
std::vector<std::string> rolesOf(const std::vector<std::string>& names,
                                 const RoleFinding& finding) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < finding.joints.size(); ++i) {
        const JointRole& joint = finding.joints[i];
        result.push_back(names[i] + " " +
                         (joint.role ? std::string(common::roleName(*joint.role)) : "-"));
    }
    return result;
}

// Lines of "name role" pairs, written two to a line in the tables below.
std::vector<std::string> pairs(std::string_view text) {
    const std::vector<std::string> all = namesIn(text);
    std::vector<std::string> result;
    for (std::size_t i = 0; i + 1 < all.size(); i += 2) result.push_back(all[i] + " " + all[i + 1]);
    return result;
}

std::string bestFitOf(const RoleFinding& finding) {
    return finding.bestFit != nullptr ? finding.bestFit->name : "(none)";
}

RoleFinding find(const std::vector<std::string>& names) {
    return builtInRoleFinder().find(JointNames(names));
}

TEST(NormaliseJointName, TakesOffPrefixesSeparatorsAndSides) {
    struct Case {
        const char* name;
        Side side;
        const char* core;
        bool namespaced;
    };
    const Case cases[] = {
        {"mixamorig7:LeftArm", Side::Left, "arm", true},
        {"Armature_mixamorig:Hips", Side::None, "hips", true},
        {"a:b:RightFoot", Side::Right, "foot", true},
        {"Armature_mixamorigHips", Side::None, "hips", false},
        {"mixamorig_LeftArm", Side::Left, "arm", false},
        {"Character1_LeftUpLeg", Side::Left, "upleg", false},
        {"Bip01 L Thigh", Side::Left, "thigh", false},
        {"Bip001 R UpperArm", Side::Right, "upperarm", false},
        {"Bip01_R_Calf", Side::Right, "calf", false},
        {"Bip01 Pelvis", Side::None, "pelvis", false},
        {"UpperArm_L", Side::Left, "upperarm", false},
        {"LowerLeg_R", Side::Right, "lowerleg", false},
        {"Toes_L", Side::Left, "toes", false},
        {"hand_l", Side::Left, "hand", false},
        {"upperarm_twist_01_r", Side::Right, "upperarmtwist01", false},
        {"forearm.L", Side::Left, "forearm", false},
        {"shin.r", Side::Right, "shin", false},
        {"Left-Hand", Side::Left, "hand", false},
        {"left hand", Side::Left, "hand", false},
        {"Hand\tR", Side::Right, "hand", false},
        {"ArmL", Side::Left, "arm", false},
        {"lShldr", Side::Left, "shldr", false},
        {"rForeArm", Side::Right, "forearm", false},
        {"LThumb", Side::Left, "thumb", false},
        {"RHipJoint", Side::Right, "hipjoint", false},
        {"leftEye", Side::Left, "eye", false},
        {"mHandThumb1Left", Side::Left, "handthumb1", false},
        {"mToeRight", Side::Right, "toe", false},
        {"mSpine1", Side::None, "spine1", false},
        {"HeadTop_End", Side::None, "headtopend", false},
        {"LeftToe_End", Side::Left, "toeend", false},
        {"neckDummy", Side::None, "neckdummy", false},
        {"CHEST", Side::None, "chest", false},
        {"Spine_1", Side::None, "spine1", false},
        {"H\xC3\xBC"
         "fte_L",
         Side::Left,
         "h\xC3\xBC"
         "fte",
         false},
        // Letters that only look like a side mark: a lower-case letter follows, or nothing is
        // left beside it.
        {"Leg", Side::None, "leg", false},
        {"Ring1", Side::None, "ring1", false},
        {"lowerback", Side::None, "lowerback", false},
        {"lhand", Side::None, "lhand", false},
        {"Left", Side::None, "left", false},
        {"L", Side::None, "l", false},
        {"Bip01", Side::None, "bip01", false},
        {"", Side::None, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(normaliseJointName(c.name), (NormalisedName{c.side, c.core, c.namespaced}));
    }
}

struct FinderCase {
    const char* name;
    std::vector<std::string> joints;
    std::vector<std::string> expected;
    std::string bestFit;
};

void PrintTo(const FinderCase& c, std::ostream* os) {
    *os << c.name;
}

class AcceptanceRigTest : public ::testing::TestWithParam<FinderCase> {};

TEST_P(AcceptanceRigTest, FindsEveryJointsRole) {
    const FinderCase& c = GetParam();
    const RoleFinding finding = find(c.joints);
    EXPECT_EQ(rolesOf(c.joints, finding), c.expected);
    EXPECT_EQ(bestFitOf(finding), c.bestFit);
}

std::vector<std::string> prefixed(std::string_view prefix, std::string_view names) {
    std::vector<std::string> result;
    for (const std::string& name : namesIn(names)) result.push_back(std::string(prefix) + name);
    return result;
}

std::vector<std::string> prefixed(std::string_view prefix, std::vector<std::string> lines) {
    for (std::string& line : lines) line.insert(0, prefix);
    return lines;
}

const char kMixamoNames[] =
    "Hips Spine Spine1 Spine2 Neck Head HeadTop_End LeftShoulder LeftArm LeftForeArm LeftHand "
    "LeftHandThumb1 LeftHandThumb2 LeftHandThumb3 LeftHandThumb4 LeftHandIndex1 LeftHandIndex2 "
    "LeftHandIndex3 LeftHandIndex4 RightShoulder RightArm RightForeArm RightHand "
    "RightHandPinky1 RightHandPinky2 RightHandPinky3 RightHandPinky4 LeftUpLeg LeftLeg LeftFoot "
    "LeftToeBase LeftToe_End RightUpLeg RightLeg RightFoot RightToeBase RightToe_End";

const std::vector<std::string> kMixamoRoles = pairs(
    "Hips hips  Spine spine1  Spine1 spine2  Spine2 spine3  Neck neck1  Head head "
    "HeadTop_End head_end  LeftShoulder left_collar  LeftArm left_upper_arm "
    "LeftForeArm left_forearm  LeftHand left_hand  LeftHandThumb1 left_thumb1 "
    "LeftHandThumb2 left_thumb2  LeftHandThumb3 left_thumb3  LeftHandThumb4 left_thumb_end "
    "LeftHandIndex1 left_index1  LeftHandIndex2 left_index2  LeftHandIndex3 left_index3 "
    "LeftHandIndex4 left_index_end  RightShoulder right_collar  RightArm right_upper_arm "
    "RightForeArm right_forearm  RightHand right_hand  RightHandPinky1 right_pinky1 "
    "RightHandPinky2 right_pinky2  RightHandPinky3 right_pinky3  RightHandPinky4 right_pinky_end "
    "LeftUpLeg left_thigh  LeftLeg left_shin  LeftFoot left_foot  LeftToeBase left_toe "
    "LeftToe_End left_toe_end  RightUpLeg right_thigh  RightLeg right_shin  RightFoot right_foot "
    "RightToeBase right_toe  RightToe_End right_toe_end");

INSTANTIATE_TEST_SUITE_P(
    Rigs, AcceptanceRigTest,
    ::testing::Values(
        FinderCase{"MixamoWithNumberedPrefix", prefixed("mixamorig7:", kMixamoNames),
                   prefixed("mixamorig7:", kMixamoRoles), "mixamo"},
        FinderCase{"MixamoExportedFromAnArmature", prefixed("Armature_mixamorig:", kMixamoNames),
                   prefixed("Armature_mixamorig:", kMixamoRoles), "mixamo"},
        FinderCase{"UnityNamesWithSideSuffixes",
                   namesIn("Hips Spine Chest Neck Head Shoulder_L UpperArm_L LowerArm_L Hand_L "
                           "Shoulder_R UpperArm_R LowerArm_R Hand_R UpperLeg_L LowerLeg_L Foot_L "
                           "Toes_L UpperLeg_R LowerLeg_R Foot_R Toes_R"),
                   pairs("Hips hips  Spine spine1  Chest spine2  Neck neck1  Head head "
                         "Shoulder_L left_collar  UpperArm_L left_upper_arm "
                         "LowerArm_L left_forearm  Hand_L left_hand  Shoulder_R right_collar "
                         "UpperArm_R right_upper_arm  LowerArm_R right_forearm  Hand_R right_hand "
                         "UpperLeg_L left_thigh  LowerLeg_L left_shin  Foot_L left_foot "
                         "Toes_L left_toe  UpperLeg_R right_thigh  LowerLeg_R right_shin "
                         "Foot_R right_foot  Toes_R right_toe"),
                   "unity"},
        // MakeHuman's game rig: a root above the hips, clavicles, and arms and legs in
        // upper and lower halves.
        FinderCase{
            "MakeHumanGameRig",
            namesIn("Root Hips Spine Spine1 Spine2 Neck Head Clavicle_L UpArm_L LoArm_L Hand_L "
                    "Clavicle_R UpArm_R LoArm_R Hand_R UpLeg_L LoLeg_L Foot_L Toes_L UpLeg_R "
                    "LoLeg_R Foot_R Toes_R"),
            pairs("Root -  Hips hips  Spine spine1  Spine1 spine2  Spine2 spine3  Neck neck1 "
                  "Head head  Clavicle_L left_collar  UpArm_L left_upper_arm "
                  "LoArm_L left_forearm  Hand_L left_hand  Clavicle_R right_collar "
                  "UpArm_R right_upper_arm  LoArm_R right_forearm  Hand_R right_hand "
                  "UpLeg_L left_thigh  LoLeg_L left_shin  Foot_L left_foot  Toes_L left_toe "
                  "UpLeg_R right_thigh  LoLeg_R right_shin  Foot_R right_foot "
                  "Toes_R right_toe"),
            "humanik"}),
    [](const ::testing::TestParamInfo<FinderCase>& info) { return std::string(info.param.name); });

std::vector<std::string> jointsOf(const std::filesystem::path& file) {
    return jointNamesIn(readFile(file));
}

TEST(RoleFinder, ReadsTheRealFixtures) {
    struct Case {
        std::filesystem::path file;
        std::string bestFit;
        bool toes;
        std::vector<std::string> pinned;  // "name role", or "name -" for none
    };
    const std::filesystem::path data = testdataDir();
    const std::filesystem::path rigs = data / "other-rigs";
    const Case cases[] = {
        {data / "linden_avatar_walk_crlf.bvh", "poser", false,
         pairs("hip hips  abdomen spine1  chest spine2  neckDummy neck_dummy  neck neck1 "
               "figureHair figure_hair  lShldr left_upper_arm  rFoot right_foot")},
        {data / "linden_avatar_cross_arms_lf.bvh", "poser", false,
         pairs("neckDummy neck_dummy  rCollar right_collar  lThigh left_thigh")},
        {data / "qavimator_SLFemale_1frame.bvh", "poser", false,
         pairs("hip hips  lForeArm left_forearm  rShin right_shin")},
        {data / "opencollar_kneel.bvh", "poser", false, pairs("head head  lFoot left_foot")},
        {data / "opencollar_run_cr_only.bvh", "poser", false, pairs("rHand right_hand  cyl_1 -")},
        {data / "opencollar_bara_bento_hands.bvh", "sl", false,
         pairs("lHand left_hand  mHandMiddle1Left left_middle1  mHandThumb3Right right_thumb3 "
               "mHandPinky2Right right_pinky2")},
        {rigs / "mixamo_prefixed_freebvh.bvh", "mixamo", true,
         pairs("mixamorig:LeftShoulder left_collar  mixamorig:LeftArm left_upper_arm "
               "mixamorig:HeadTop_End head_end  mixamorig:RightEye right_eye "
               "mixamorig:LeftHandPinky3 left_pinky3  mixamorig:RightToeBase right_toe")},
        {rigs / "cmu_humanik_names_jumping.bvh", "humanik", true,
         pairs("Spine spine1  Spine3 spine4  LeftShoulder left_collar  LeftArm left_upper_arm "
               "RightHandThumb1 right_thumb1  LeftHandEnd -  RightLeg right_shin")},
        {rigs / "cmu_max_friendly_14_14_short.bvh", "max", true,
         pairs("LeftShoulder left_upper_arm  LeftCollar left_collar  Chest spine1 "
               "Chest2 spine2  lowerback -  LHipJoint -  lhand -  LThumb left_thumb1 "
               "LeftHip left_thigh  RightToe right_toe")},
        {rigs / "max_names_mocapbank.bvh", "max", false,
         pairs("Hips hips  LeftShoulder left_upper_arm  RightElbow right_forearm "
               "LeftAnkle left_foot")},
        {exampleFile(), "poser", true,
         pairs("leftEye left_eye  rMid2 right_middle2  lPinky3 left_pinky3  genital - "
               "lButtock left_buttock  lToe left_toe")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        const std::vector<std::string> names = jointsOf(c.file);
        ASSERT_FALSE(names.empty());
        const RoleFinding finding = find(names);
        EXPECT_EQ(bestFitOf(finding), c.bestFit);
        const std::vector<std::string> found = rolesOf(names, finding);
        for (const std::string& pin : c.pinned) {
            EXPECT_NE(std::find(found.begin(), found.end(), pin), found.end()) << pin;
        }
        // Every core role is found, the toes where the rig has them.
        for (const Role role : common::coreRoles()) {
            if (!c.toes && (role == Role::LeftToe || role == Role::RightToe)) continue;
            EXPECT_TRUE(finding.jointOf(role)) << common::roleName(role);
        }
    }
}

TEST(RoleFinder, SaysHowEachJointWasFoundAndWhyNot) {
    const std::vector<std::string> names = namesIn(
        "Hips Chest Chest2 lowerback LeftShoulder LeftCollar UpArm_R LeftHand Left_Hand Root");
    const RoleFinding finding = find(names);
    ASSERT_EQ(bestFitOf(finding), "max");
    struct Case {
        std::size_t joint;
        RoleStatus status;
        std::string_view profile;
    };
    const Case cases[] = {
        {0, RoleStatus::Exact, "max"},
        // The CMU profile's first spine link, which max's Chest holds on stronger evidence.
        {3, RoleStatus::Conflict, "cmu"},
        {4, RoleStatus::Exact, "max"},
        {6, RoleStatus::Synonym, ""},
        // Max has no LeftHand; the profiles that do agree on it.
        {7, RoleStatus::Exact, "unity"},
        {8, RoleStatus::Conflict, "unity"},
        {9, RoleStatus::Unknown, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(names[c.joint]);
        const JointRole& joint = finding.joints[c.joint];
        EXPECT_EQ(joint.status, c.status);
        EXPECT_EQ(joint.profile != nullptr ? joint.profile->name : "", c.profile);
    }
    EXPECT_EQ(finding.joints[3].contested, Role::Spine1);
    EXPECT_EQ(finding.joints[3].rival, 1u);
    EXPECT_EQ(finding.joints[8].contested, Role::LeftHand);
    EXPECT_EQ(finding.joints[8].rival, 7u);
    EXPECT_EQ(finding.jointOf(Role::LeftUpperArm), 4u);
    EXPECT_EQ(finding.jointOf(Role::RightUpperArm), 6u);
}

TEST(RoleFinder, LetsTheBestFittingProfileDecideFalseFriends) {
    struct Case {
        const char* name;
        const char* joints;
        std::string expected;  // the roles of the joints, in order
    };
    const Case cases[] = {
        {"MaxShoulderIsTheUpperArm", "Hips Chest LeftCollar LeftShoulder LeftElbow LeftHip",
         "hips spine1 left_collar left_upper_arm left_forearm left_thigh"},
        {"HumanIkShoulderIsTheCollar", "Hips Spine Spine2 LeftShoulder LeftArm LeftLeg",
         "hips spine1 spine3 left_collar left_upper_arm left_shin"},
        {"PoserHipIsThePelvis", "hip abdomen chest lThigh", "hips spine1 spine2 left_thigh"},
        {"CmuSpineIsTheSecondLink", "Hips LowerBack Spine Spine1 Neck Neck1 LThumb",
         "hips spine1 spine2 spine3 neck1 neck2 left_thumb1"},
        {"UnityChestIsTheSecondLink", "Hips Spine Chest UpperChest LeftUpperArm",
         "hips spine1 spine2 spine3 left_upper_arm"},
        // Alone, Spine is the first link to HumanIK and Unity and the second to CMU, which
        // fit it equally well.
        {"SpineAloneIsAmbiguous", "Spine", "-"},
        // Two names for one role, found on equal evidence: neither keeps it.
        {"EqualEvidenceLeavesTheRoleToNone", "Hand_L L_Hand", "- -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> names = namesIn(c.joints);
        const RoleFinding finding = find(names);
        std::string roles;
        for (const JointRole& joint : finding.joints) {
            if (!roles.empty()) roles += ' ';
            roles += joint.role ? std::string(common::roleName(*joint.role)) : "-";
        }
        EXPECT_EQ(roles, c.expected);
    }
    EXPECT_EQ(find({"Spine"}).joints[0].status, RoleStatus::Ambiguous);
}

TEST(RoleFinder, KnowsTheProfilesItIsGivenAndNoOthers) {
    auto parsed = parseRigProfile("# skelvane-rig 1\nrole,name\nhips,root_bone\nhead,skull\n", "r");
    ASSERT_TRUE(parsed);
    const RigProfile& mine = *parsed;
    const RigProfile* profiles[] = {&mine};
    const RoleFinder finder(profiles);
    const std::vector<std::string> names = namesIn("root_bone Skull LeftFoot");
    const RoleFinding finding = finder.find(JointNames(names));
    EXPECT_EQ(rolesOf(names, finding),
              (std::vector<std::string>{"root_bone hips", "Skull head", "LeftFoot left_foot"}));
    EXPECT_EQ(finding.joints[1].status, RoleStatus::Normalised);
    EXPECT_EQ(finding.joints[2].status, RoleStatus::Synonym);
    EXPECT_EQ(finding.bestFit, &mine);
    EXPECT_EQ(finding.bestFitJoints, 2u);
    EXPECT_EQ(builtInRoleFinder().find(JointNames(names)).jointOf(Role::Hips), std::nullopt);
}

TEST(RoleFinder, StaysBoundedWhateverTheFile) {
    JointNames joints;
    joints.add(std::string(100 * 1024 * 1024, 'H'));
    joints.add(std::string(kMaxRigNameBytes, 'x'));
    joints.add("Hips");
    for (std::size_t i = 3; i < 3'000'000; ++i) joints.add(i % 2 == 0 ? "LeftFoot" : "Spine");
    EXPECT_EQ(joints.count(), 3'000'000u);
    ASSERT_EQ(joints.size(), kMaxRoleJoints);
    EXPECT_EQ(joints[0].size(), kMaxRigNameBytes);
    EXPECT_TRUE(joints.isTooLong(0));
    EXPECT_FALSE(joints.isTooLong(1));

    const RoleFinding finding = builtInRoleFinder().find(joints);
    EXPECT_EQ(finding.jointCount, 3'000'000u);
    EXPECT_EQ(finding.joints.size(), kMaxRoleJoints);
    EXPECT_TRUE(finding.jointsLeftOut());
    EXPECT_EQ(finding.joints[0].status, RoleStatus::NameTooLong);
    EXPECT_EQ(finding.joints[1].status, RoleStatus::Unknown);
    EXPECT_EQ(finding.jointOf(Role::Hips), 2u);
    // Thousands of joints named alike: none of them is the foot.
    EXPECT_EQ(finding.jointOf(Role::LeftFoot), std::nullopt);
    EXPECT_EQ(finding.joints[3].status, RoleStatus::Ambiguous);
    EXPECT_EQ(finding.joints[4].status, RoleStatus::Conflict);
    EXPECT_FALSE(JointNames().count());
}

}  // namespace
}  // namespace skelvane::conversion
