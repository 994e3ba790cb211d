#include "conversion/mapping/skeleton_roles.h"

#include <gtest/gtest.h>

#include <sstream>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/mapping/skeleton_weighing.h"
#include "support/joint_names.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
namespace t = skelvane::testing;
using common::Role;

struct Ignore final : BvhVisitor {
    void take(const LinePiece&) override {}
};

// The roles of a BVH text's joints, by their names weighed against the skeleton, or by the
// skeleton alone.
RoleFinding findIn(std::string_view text, bool byNames) {
    BvhReader reader;
    Ignore ignore;
    reader.feed(text, ignore);
    reader.finish(ignore);
    const JointNames names(t::jointNamesIn(text));
    RoleFinding found = byNames ? builtInRoleFinder().find(names) : RoleFinder::nothingFound(names);
    foldSkeleton(found, readSkeleton(reader.hierarchy(), byNames ? &names : nullptr));
    return found;
}

// "name role" for each joint, "name -" for one without.
std::string rolesOf(std::string_view text, const RoleFinding& found) {
    const std::vector<std::string> names = t::jointNamesIn(text);
    std::string result;
    for (std::size_t i = 0; i < found.joints.size(); ++i) {
        const std::optional<Role>& role = found.joints[i].role;
        result += (i == 0 ? "" : "  ") + names[i] + " " +
                  (role ? std::string(common::roleName(*role)) : "-");
    }
    return result;
}

// A hierarchy written from rows "depth name x y z", each joint inside the last one above it of
// a lower depth; `end` rows are End Sites.
std::string bvhOf(std::initializer_list<const char*> rows) {
    std::string text = "HIERARCHY\n";
    int open = 0;
    for (const char* row : rows) {
        std::istringstream in(row);
        int depth = 0;
        std::string name;
        std::string x, y, z;
        in >> depth >> name >> x >> y >> z;
        for (; open > depth; --open) text += "}\n";
        text += depth == 0 ? "ROOT " + name : name == "end" ? "End Site" : "JOINT " + name;
        text += "\n{\nOFFSET " + x + " " + y + " " + z + "\n";
        if (name != "end") text += "CHANNELS 3 Zrotation Xrotation Yrotation\n";
        ++open;
    }
    for (; open > 0; --open) text += "}\n";
    return text + "MOTION\nFrames: 0\nFrame Time: 0.1\n";
}

const char kWalkRoles[] =
    "j01 hips  j02 spine1  j03 spine2  j04 neck1  j05 neck2  j06 head  j07 -  "
    "j08 left_collar  j09 left_upper_arm  j10 left_forearm  j11 left_hand  j12 right_collar  "
    "j13 right_upper_arm  j14 right_forearm  j15 right_hand  j16 left_thigh  j17 left_shin  "
    "j18 left_foot  j19 right_thigh  j20 right_shin  j21 right_foot";

TEST(SkeletonRoles, TellsTheBodyByItsShapeWhateverItsJointsAreCalled) {
    const fs::path data = t::testdataDir();
    const std::string walk = t::readFile(data / "skeleton/walk_numbered.bvh");
    // A tail of three joints on the hips and a prop on the chest: no role, the body unchanged.
    std::string tailed = walk;
    tailed.insert(tailed.find("JOINT j02"),
                  "JOINT tail1\r\n{\r\nOFFSET 0 0 -4\r\nJOINT tail2\r\n{\r\nOFFSET 0 0 -4\r\n"
                  "JOINT tail3\r\n{\r\nOFFSET 0 0 -4\r\nEnd Site\r\n{\r\nOFFSET 0 0 -4\r\n}\r\n}"
                  "\r\n}\r\n}\r\n");
    tailed.insert(tailed.find("JOINT j08"),
                  "JOINT quiver\r\n{\r\nOFFSET 0 2 -3\r\nEnd Site\r\n{\r\nOFFSET 0 6 -1\r\n}\r\n}"
                  "\r\n");
    const struct {
        const char* name;
        std::string text;
        std::string roles;
    } cases[] = {
        {"numbered", walk, kWalkRoles},
        // Mirrored across the figure's axis, it is the other way round.
        {"mirrored", t::readFile(data / "skeleton/walk_numbered_mirrored.bvh"),
         "j01 hips  j02 spine1  j03 spine2  j04 neck1  j05 neck2  j06 head  j07 -  "
         "j08 right_collar  j09 right_upper_arm  j10 right_forearm  j11 right_hand  "
         "j12 left_collar  j13 left_upper_arm  j14 left_forearm  j15 left_hand  "
         "j16 right_thigh  j17 right_shin  j18 right_foot  j19 left_thigh  j20 left_shin  "
         "j21 left_foot"},
        {"tail and prop", tailed,
         "j01 hips  tail1 -  tail2 -  tail3 -  j02 spine1  j03 spine2  j04 neck1  j05 neck2  "
         "j06 head  j07 -  quiver -  j08 left_collar  j09 left_upper_arm  j10 left_forearm  "
         "j11 left_hand  j12 right_collar  j13 right_upper_arm  j14 right_forearm  "
         "j15 right_hand  j16 left_thigh  j17 left_shin  j18 left_foot  j19 right_thigh  "
         "j20 right_shin  j21 right_foot"},
        // Standing on +Z and facing -Y, with an end on each hand and a toe on each foot.
        {"z up", t::readFile(data / "other-rigs/cmu_humanik_names_jumping.bvh"),
         "Hips hips  Spine spine1  Spine1 spine2  Spine2 spine3  Spine3 spine4  Neck neck1  "
         "Head head  RightShoulder right_collar  RightArm right_upper_arm  "
         "RightForeArm right_forearm  RightHand right_hand  RightHandEnd -  RightHandThumb1 -  "
         "LeftShoulder left_collar  LeftArm left_upper_arm  LeftForeArm left_forearm  "
         "LeftHand left_hand  LeftHandEnd -  LeftHandThumb1 -  RightUpLeg right_thigh  "
         "RightLeg right_shin  RightFoot right_foot  RightToeBase right_toe  "
         "LeftUpLeg left_thigh  LeftLeg left_shin  LeftFoot left_foot  LeftToeBase left_toe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RoleFinding found = findIn(c.text, false);
        EXPECT_EQ(rolesOf(c.text, found), c.roles);
        ASSERT_TRUE(found.skeleton);
        EXPECT_TRUE(found.skeleton->humanoid);
        EXPECT_EQ(found.joints[0].status, RoleStatus::Skeleton);
        EXPECT_EQ(found.joints[0].skeleton, SkeletonSays::Decides);
    }
}

TEST(SkeletonRoles, SaysAFigureIsNoHumanoidAndGivesItNoRole) {
    // Offsets too large to add up: the chest and the arms lie nowhere a number tells.
    std::string huge = t::readFile(t::testdataDir() / "skeleton/walk_numbered.bvh");
    for (const char* joint : {"JOINT j03", "JOINT j08"}) {
        const std::size_t offset = huge.find("OFFSET", huge.find(joint)) + 6;
        huge.insert(offset, " 1e308 1e308 0 ");
    }
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        // Four legs down, the spine running across them.
        {"quadruped",
         bvhOf({"0 pelvis 0 10 0", "1 hindLegL 2 0 0",  "2 hindKneeL 0 -5 0", "3 hindFootL 0 -5 0",
                "4 end 0 0 1",     "1 hindLegR -2 0 0", "2 hindKneeR 0 -5 0", "3 hindFootR 0 -5 0",
                "4 end 0 0 1",     "1 back 0 0 5",      "2 withers 0 0 5",    "3 legL 2 0 0",
                "4 kneeL 0 -5 0",  "5 footL 0 -5 0",    "6 end 0 0 1",        "3 legR -2 0 0",
                "4 kneeR 0 -5 0",  "5 footR 0 -5 0",    "6 end 0 0 1",        "3 neck 0 1 2",
                "4 head 0 1 2",    "5 end 0 0 2",       "1 tail 0 0 -3",      "2 end 0 0 -3"})},
        {"prop", bvhOf({"0 cylinder 0 0 0", "1 end 0 -2.86 0"})},
        {"huge", huge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RoleFinding found = findIn(c.text, false);
        ASSERT_TRUE(found.skeleton);
        EXPECT_FALSE(found.skeleton->humanoid);
        for (const JointRole& joint : found.joints) {
            EXPECT_EQ(joint.role, std::nullopt);
            EXPECT_EQ(joint.skeleton, SkeletonSays::NotRead);
        }
    }
}

TEST(SkeletonRoles, ConfirmsTheNamesOfEveryRealFileAndOverrulesAFalseFriend) {
    std::vector<fs::path> files = t::testdataFiles();
    for (const auto& entry : fs::directory_iterator(t::testdataDir() / "other-rigs")) {
        if (entry.path().extension() == ".bvh") files.push_back(entry.path());
    }
    files.push_back(t::exampleFile());
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string text = t::readFile(file);
        const RoleFinding byNames = builtInRoleFinder().find(JointNames(t::jointNamesIn(text)));
        const RoleFinding found = findIn(text, true);
        EXPECT_EQ(rolesOf(text, found), rolesOf(text, byNames));
        ASSERT_TRUE(found.skeleton);
        EXPECT_TRUE(found.skeleton->humanoid);
        EXPECT_EQ(found.skeleton->decided, 0U);
        EXPECT_EQ(found.skeleton->contradicted, 0U);
        for (const Role role : {Role::Hips, Role::Head, Role::LeftUpperArm, Role::RightShin}) {
            EXPECT_EQ(found.joints.at(*found.jointOf(role)).skeleton, SkeletonSays::Agrees);
        }
    }

    // Max names, but for collars named as Mixamo names them: LeftShoulder is Max's upper arm.
    const std::string text = t::readFile(t::testdataDir() / "skeleton/mocapbank_shoulders.bvh");
    const std::string byNames =
        rolesOf(text, builtInRoleFinder().find(JointNames(t::jointNamesIn(text))));
    EXPECT_NE(byNames.find("LeftShoulder left_upper_arm  LeftArm -"), std::string::npos);
    const RoleFinding found = findIn(text, true);
    EXPECT_EQ(rolesOf(text, found),
              "Hips hips  Chest spine1  Chest2 spine2  LeftShoulder left_collar  "
              "LeftArm left_upper_arm  LeftElbow left_forearm  LeftWrist left_hand  "
              "RightShoulder right_collar  RightArm right_upper_arm  RightElbow right_forearm  "
              "RightWrist right_hand  Neck neck1  Head head  LeftHip left_thigh  "
              "LeftKnee left_shin  LeftAnkle left_foot  RightHip right_thigh  "
              "RightKnee right_shin  RightAnkle right_foot");
    const JointRole& shoulder = found.joints[3];
    EXPECT_EQ(shoulder.status, RoleStatus::Skeleton);
    EXPECT_EQ(shoulder.skeleton, SkeletonSays::Contradicts);
    EXPECT_EQ(shoulder.named, Role::LeftUpperArm);
    EXPECT_EQ(found.joints[4].skeleton, SkeletonSays::Decides);
    EXPECT_EQ(found.joints[5].skeleton, SkeletonSays::Agrees);
    EXPECT_EQ(found.skeleton->decided, 2U);
    EXPECT_EQ(found.skeleton->contradicted, 2U);
}

}  // namespace
}  // namespace skelvane::conversion
