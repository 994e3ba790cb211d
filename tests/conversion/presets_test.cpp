#include "conversion/mapping/presets.h"

#include "conversion/mapping/mapping_fit.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "support/joint_names.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::jointNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::testdataDir;

std::vector<std::string> words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

// What an exact-mode mapping makes of each name, with no part dropped.
std::vector<std::string> renamed(const Mapping& mapping, const std::vector<std::string>& names) {
    std::vector<std::string> result;
    for (const std::string& name : names) {
        std::string out = name;
        for (const MappingRow& row : mapping.rows) {
            if (row.from == name) out = replacementOf(row, {});
        }
        result.push_back(out);
    }
    return result;
}

const Mapping& preset(std::string_view name) {
    const Mapping* mapping = findPreset(name);
    if (mapping == nullptr) throw std::runtime_error("no preset " + std::string(name));
    return *mapping;
}

TEST(Presets, ComeInTheirFixedOrderAsTheFilesInDataMaps) {
    struct Expected {
        std::string_view name;
        MatchMode mode;
    };
    const Expected expected[] = {{"poser-max", MatchMode::Contains},
                                 {"poser-max-names", MatchMode::Exact},
                                 {"genesis-max", MatchMode::Exact},
                                 {"cmu-max", MatchMode::Exact},
                                 {"mixamo-max", MatchMode::Exact}};
    ASSERT_EQ(presets().size(), std::size(expected));
    ASSERT_EQ(presetFiles().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Mapping& mapping = presets()[i];
        SCOPED_TRACE(mapping.name);
        EXPECT_EQ(mapping.name, expected[i].name);
        EXPECT_EQ(mapping.mode, expected[i].mode);
        EXPECT_FALSE(mapping.rows.empty());
        EXPECT_EQ(mapping.origin, "built in");
        EXPECT_FALSE(mapping.notes.empty());
        EXPECT_EQ(findPreset(expected[i].name), &mapping);
        const fs::path file = fs::path(SKELVANE_MAPS_DIR) / (std::string(mapping.name) + ".csv");
        EXPECT_EQ(presetFiles()[i].text, readFile(file)) << "embedded bytes differ from " << file;
    }
    EXPECT_EQ(presets()[2].title, "Daz Genesis 3 and 8 to Max");
    EXPECT_EQ(findPreset("Poser-Max"), nullptr);
    EXPECT_EQ(&defaultMapping(), &presets()[0]);
    EXPECT_EQ(keepNamesMapping().name, "none");
    EXPECT_TRUE(keepNamesMapping().rows.empty());
}

TEST(Presets, PoserMaxIsTheBuiltInTableRuleForRule) {
    // Held against the table the tests write out by hand: the same texts in the same order,
    // each writing what the built-in table writes whatever part is dropped.
    const Mapping& poserMax = defaultMapping();
    ASSERT_EQ(poserMax.rows.size(), reference::kRenameRules.size());
    for (int part = 0; part <= common::kPartCount; ++part) {
        DroppedParts dropped;
        if (part > 0) dropped.set(part);
        for (const DroppedParts& parts : {dropped, DroppedParts().set()}) {
            for (std::size_t i = 0; i < reference::kRenameRules.size(); ++i) {
                SCOPED_TRACE("rule " + std::to_string(i + 1) + ", part " + std::to_string(part));
                EXPECT_EQ(poserMax.rows[i].from, reference::kRenameRules[i].search);
                EXPECT_EQ(replacementOf(poserMax.rows[i], parts),
                          reference::replacementOf(reference::kRenameRules[i], parts));
            }
        }
    }
}

TEST(Presets, PoserMaxNamesAddsPosersFingerJointsToThePairs) {
    const Mapping& names = preset("poser-max-names");
    ASSERT_EQ(names.rows.size(), 66u);
    EXPECT_EQ(std::vector(names.rows.begin(), names.rows.begin() + 36), defaultMapping().rows);
    EXPECT_EQ(names.rows[36], (MappingRow{"rThumb1", "nothing", 10}));
    EXPECT_EQ(names.rows[50], (MappingRow{"rPinky3", "nothing", 10}));
    EXPECT_EQ(names.rows[65], (MappingRow{"lPinky3", "nothing", 10}));
}

struct RigCase {
    const char* name;
    std::string preset;
    std::vector<std::string> joints;
    std::vector<std::string> expected;
    std::string autoChoice;
};

void PrintTo(const RigCase& c, std::ostream* os) {
    *os << c.name;
}

class RigTest : public ::testing::TestWithParam<RigCase> {};

TEST_P(RigTest, RenamesEveryJointItKnowsToADistinctNameAndFits) {
    const RigCase& c = GetParam();
    const std::vector<std::string> out = renamed(preset(c.preset), c.joints);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(std::set(out.begin(), out.end()).size(), out.size()) << "two joints, one name";
    FitCounter fit;
    for (const std::string& joint : c.joints) fit.addJoint(joint);
    EXPECT_EQ(fit.result().choice().name, c.autoChoice);
}

std::vector<std::string> jointsOf(std::string_view file) {
    return jointNamesIn(readFile(testdataDir() / "other-rigs" / file));
}

const std::string kMixamoOut =
    "Hips Chest Chest2 Chest3 Neck Head mixamorig:HeadTop_End mixamorig:LeftEye "
    "mixamorig:RightEye LeftCollar LeftShoulder LeftElbow LeftWrist LeftFinger2 LeftFinger21 "
    "LeftFinger22 LeftFinger0 LeftFinger01 LeftFinger02 LeftFinger1 LeftFinger11 LeftFinger12 "
    "LeftFinger3 LeftFinger31 LeftFinger32 LeftFinger4 LeftFinger41 LeftFinger42 RightCollar "
    "RightShoulder RightElbow RightWrist RightFinger2 RightFinger21 RightFinger22 RightFinger0 "
    "RightFinger01 RightFinger02 RightFinger1 RightFinger11 RightFinger12 RightFinger3 "
    "RightFinger31 RightFinger32 RightFinger4 RightFinger41 RightFinger42 RightHip RightKnee "
    "RightAnkle RightToe LeftHip LeftKnee LeftAnkle LeftToe";

// Genesis 3 and 8 as the rig lists of retarget-bvh and MakeWalk give them, with the bend and
// twist pairs, pelvis and both neck links.
std::vector<std::string> genesisSide(char side) {
    std::vector<std::string> names;
    for (const char* joint :
         {"Collar", "ShldrBend", "ShldrTwist", "ForearmBend", "ForearmTwist", "Hand"}) {
        names.push_back(side + std::string(joint));
    }
    for (const char* finger : {"Thumb", "Index", "Mid", "Ring", "Pinky"}) {
        for (char n : {'1', '2', '3'}) names.push_back(side + std::string(finger) + n);
    }
    for (const char* joint : {"ThighBend", "ThighTwist", "Shin", "Foot", "Toe"}) {
        names.push_back(side + std::string(joint));
    }
    return names;
}

std::vector<std::string> genesisJoints() {
    std::vector<std::string> names = words(
        "hip pelvis abdomenLower abdomenUpper chestLower chestUpper neckLower neckUpper head");
    for (char side : {'l', 'r'}) {
        const std::vector<std::string> more = genesisSide(side);
        names.insert(names.end(), more.begin(), more.end());
    }
    return names;
}

const std::string kGenesisOut =
    "Hips pelvis Chest Chest2 Chest3 Chest4 Neck neckUpper Head LeftCollar LeftShoulder "
    "lShldrTwist LeftElbow lForearmTwist LeftWrist LeftFinger0 LeftFinger01 LeftFinger02 "
    "LeftFinger1 LeftFinger11 LeftFinger12 LeftFinger2 LeftFinger21 LeftFinger22 LeftFinger3 "
    "LeftFinger31 LeftFinger32 LeftFinger4 LeftFinger41 LeftFinger42 LeftHip lThighTwist "
    "LeftKnee LeftAnkle LeftToe RightCollar RightShoulder rShldrTwist RightElbow rForearmTwist "
    "RightWrist RightFinger0 RightFinger01 RightFinger02 RightFinger1 RightFinger11 "
    "RightFinger12 RightFinger2 RightFinger21 RightFinger22 RightFinger3 RightFinger31 "
    "RightFinger32 RightFinger4 RightFinger41 RightFinger42 RightHip rThighTwist RightKnee "
    "RightAnkle RightToe";

// CMU's MotionBuilder-friendly release, in file order, as published listings give it.
const std::string kCmuMotionBuilder =
    "Hips LHipJoint LeftUpLeg LeftLeg LeftFoot LeftToeBase RHipJoint RightUpLeg RightLeg "
    "RightFoot RightToeBase LowerBack Spine Spine1 Neck Neck1 Head LeftShoulder LeftArm "
    "LeftForeArm LeftHand LeftFingerBase LeftHandIndex1 LThumb RightShoulder RightArm "
    "RightForeArm RightHand RightFingerBase RightHandIndex1 RThumb";

INSTANTIATE_TEST_SUITE_P(
    RealNames, RigTest,
    ::testing::Values(
        RigCase{"MixamoWithPrefix", "mixamo-max", jointsOf("mixamo_prefixed_freebvh.bvh"),
                words(kMixamoOut), "mixamo-max"},
        RigCase{"HumanIkNames", "mixamo-max", jointsOf("cmu_humanik_names_jumping.bvh"),
                words("Hips Chest Chest2 Chest3 Chest4 Neck Head RightCollar RightShoulder "
                      "RightElbow RightWrist RightHandEnd RightFinger0 LeftCollar LeftShoulder "
                      "LeftElbow LeftWrist LeftHandEnd LeftFinger0 RightHip RightKnee RightAnkle "
                      "RightToe LeftHip LeftKnee LeftAnkle LeftToe"),
                "mixamo-max"},
        // One CMU release renamed gives the joint names of the other, joint for joint.
        RigCase{"CmuMotionBuilderNames", "cmu-max", words(kCmuMotionBuilder),
                jointsOf("cmu_max_friendly_14_14_short.bvh"), "cmu-max"},
        RigCase{"GenesisNameList", "genesis-max", genesisJoints(), words(kGenesisOut),
                "genesis-max"},
        RigCase{"AlreadyMaxNamesKeepThemUnderPoserMaxNames", "poser-max-names",
                jointsOf("max_names_mocapbank.bvh"), jointsOf("max_names_mocapbank.bvh"), "none"}),
    [](const ::testing::TestParamInfo<RigCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skelvane::conversion
