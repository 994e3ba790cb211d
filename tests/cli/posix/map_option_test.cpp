// --map, --to, --from, --list-maps and --list-rigs through the program: the built-in table as a
// file changes no byte, whole-name presets leave partial words alone and write each name once,
// auto finds each file's rig and writes Max's names, keeping those that are already Max names,
// --to writes any rig's names and back, and a bad mapping or profile stops the run before any
// source is read.
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/posix/convert_command.h"
#include "conversion/mapping/presets.h"

namespace skelvane::cli {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::testdataDir;
using skelvane::testing::testdataFiles;
using skelvane::testing::writeFile;

// The joint names a converted file declares, in order, joined by spaces.
std::string jointsOf(const std::string& bvh) {
    std::string joints;
    for (const std::string& line : skelvane::testing::splitLines(bvh)) {
        const std::size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos) continue;
        for (const std::string_view keyword : {"ROOT ", "JOINT "}) {
            if (line.compare(at, keyword.size(), keyword) == 0) {
                joints += line.substr(at + keyword.size()) + " ";
            }
        }
    }
    return joints;
}

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::vector<std::string> prefixed(const std::string& prefix, const std::string& text) {
    std::vector<std::string> words = wordsOf(text);
    for (std::string& word : words) word.insert(0, prefix);
    return words;
}

TEST_F(ConvertCommandTest, TheBuiltInTableAsAFileConvertsEveryFixtureAsBefore) {
    // The preset's own file under another title: one engine, so the same bytes.
    std::string copy(conversion::presetFiles().front().text);
    copy.replace(copy.find("# title: "), 9, "# title: my copy of ");
    writeFile(folder_ / "copy.csv", copy);
    std::string files;
    for (const fs::path& fixture : testdataFiles()) files += " " + shellWord(fixture);
    const Outcome outcome = run("-o . --map copy.csv" + files);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    for (const fs::path& fixture : testdataFiles()) {
        SCOPED_TRACE(fixture.filename().string());
        const std::string title = fixture.stem().string();
        EXPECT_TRUE(readFile(folder_ / (title + "_max.bvh")) == referenceConversionOf(fixture));
    }
}

TEST_F(ConvertCommandTest, WholeNamePresetsAndAutoNameEachRigAsItsToolsExpect) {
    struct Case {
        const char* map;
        const char* file;
        const char* joints;  // the first few joints of the output
        const char* said;    // what the run says of the file
    };
    const Case cases[] = {
        {"poser-max", "linden_avatar_walk_crlf.bvh", "Hips Chest Chest2 NeckDummy Neck Head", ""},
        {"poser-max-names", "linden_avatar_walk_crlf.bvh", "Hips Chest Chest2 neckDummy Neck Head",
         ""},
        // Fingers are never converted, but each is written once.
        {"poser-max-names", "../../examples/poser_wave.bvh",
         "Hips Chest Chest2 Neck Head nothing nothing2 RightCollar RightShoulder RightElbow "
         "RightWrist nothing3 nothing4",
         ""},
        {"auto", "other-rigs/mixamo_prefixed_freebvh.bvh",
         "Hips Chest Chest2 Chest3 Neck Head mixamorig:HeadTop_End mixamorig:LeftEye "
         "mixamorig:RightEye LeftCollar LeftShoulder LeftElbow LeftWrist LeftFinger2 "
         "LeftFinger21",
         "  (rig: mixamo, 55 of 55 joints; 3 names kept)"},
        {"auto", "other-rigs/cmu_humanik_names_jumping.bvh",
         "Hips Chest Chest2 Chest3 Chest4 Neck Head RightCollar RightShoulder RightElbow "
         "RightWrist RightHandEnd RightFinger0",
         "  (rig: humanik, 25 of 27 joints; 2 names kept)"},
        // Already Max names: converting again keeps them, LeftShoulder and lowerneck too.
        {"auto", "other-rigs/max_names_mocapbank.bvh",
         "Hips Chest Chest2 LeftCollar LeftShoulder LeftElbow LeftWrist RightCollar",
         "  (rig: max, 19 of 19 joints)"},
        {"auto", "other-rigs/cmu_max_friendly_14_14_short.bvh",
         "Hips LHipJoint LeftHip LeftKnee LeftAnkle LeftToe RHipJoint",
         "  (rig: max, 21 of 31 joints; 8 names kept)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.map) + " " + c.file);
        const Outcome outcome = run(std::string("-m ") + c.map + " -o . " + fixture(c.file));
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
        const std::string title = fs::path(c.file).stem().string();
        const std::string converted = readFile(folder_ / (title + "_max.bvh"));
        EXPECT_TRUE(jointsOf(converted).starts_with(c.joints)) << jointsOf(converted);
        EXPECT_NE(outcome.err.find(title + "_max.bvh" + c.said + "\n"), std::string::npos)
            << outcome.err;
    }
    // Names kept: the file that is already in Max names and CR LF comes out byte for byte.
    EXPECT_TRUE(readFile(folder_ / "max_names_mocapbank_max.bvh") ==
                readFile(testdataDir() / "other-rigs/max_names_mocapbank.bvh"));
}

TEST_F(ConvertCommandTest, ABadMappingOrRigProfileStopsTheRunBeforeAnySourceIsRead) {
    writeFile(folder_ / "twice.csv", "# skelvane-map 1\nfrom,to,part\nhip,Hips,5\nhip,Pelvis,\n");
    writeFile(folder_ / "twice.rig", "# skelvane-rig 1\nrole,name\nhips,Hips\nhips,Pelvis\n");
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--map twice.csv", "skelvane-convert: twice.csv:4: 'hip' given twice (first on line 3)\n"},
        {"--map poser-maxx",
         "skelvane-convert: --map: no mapping named 'poser-maxx' (see --list-maps)\n"},
        {"--map ./gone.csv", "skelvane-convert: ./gone.csv: No such file or directory\n"},
        {"--to twice.rig", "skelvane-convert: twice.rig:4: 'hips' given twice (first on line 3)\n"},
        {"--to max --from twice.rig",
         "skelvane-convert: twice.rig:4: 'hips' given twice (first on line 3)\n"},
        {"--to maxx", "skelvane-convert: --to: no rig profile named 'maxx' (see --list-rigs)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        // The source is a pipe nobody writes to: reading it would never end.
        const Outcome outcome =
            runAfter("mkfifo never.bvh && timeout 20", std::string(c.options) + " never.bvh");
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.err,
                  std::string(c.message) + "Try 'skelvane-convert --help' for more information.\n");
        fs::remove(folder_ / "never.bvh");
    }
    EXPECT_EQ(fileNamesIn(folder_.path()), (std::vector<std::string>{"twice.csv", "twice.rig"}));
}

// The lists, and the dry run through roles: each joint's role, how it was found and the
// target's name for it; a role the target lacks leaves the joint its name, said so.
TEST_F(ConvertCommandTest, ListsAndTheDryRunNameTheMappingsAndRoles) {
    writeFile(folder_ / "mine.csv", "# skelvane-rig 1\n# title: My rig\nrole,name\nhips,Root\n");
    const Outcome list = run("--list-maps --list-rigs --to mine.csv");
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out,
              "name             match     rows  from      title\n"
              "poser-max        contains    36  built in  Poser to Max (the built-in table)\n"
              "poser-max-names  exact       66  built in  Poser to Max, whole names\n"
              "genesis-max      exact       53  built in  Daz Genesis 3 and 8 to Max\n"
              "cmu-max          exact       27  built in  CMU motion capture (MotionBuilder "
              "names) to Max\n"
              "mixamo-max       exact      105  built in  Mixamo and HumanIK to Max\n"
              "\n"
              "name      roles  from      title\n"
              "poser        57  built in  Poser\n"
              "sl           58  built in  Second Life\n"
              "max          56  built in  Max\n"
              "mixamo       67  built in  Mixamo\n"
              "humanik      68  built in  HumanIK\n"
              "cmu          27  built in  CMU motion capture (MotionBuilder names)\n"
              "genesis      60  built in  Daz Genesis 3 and 8\n"
              "unreal       63  built in  Unreal Engine mannequin\n"
              "unity        55  built in  Unity humanoid and VRM\n"
              "mine.csv      1  file      My rig\n");

    const Outcome dry =
        run("-n --json --to unreal " + fixture("other-rigs/mixamo_prefixed_freebvh.bvh"));
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    const auto json = nlohmann::json::parse(dry.out);
    EXPECT_EQ(json[0]["output"], "mixamo_prefixed_freebvh_unreal.bvh");
    EXPECT_EQ(json[0]["map"], nullptr);
    EXPECT_EQ(json[0]["roles"]["summary"], "rig: mixamo, 55 of 55 joints; 3 names kept");
    EXPECT_EQ(json[0]["joints"][9],
              nlohmann::json::parse(R"({"old": "mixamorig:LeftShoulder", "new": "clavicle_l",
                  "outcome": "renamed", "reason": null, "part": "lCollar", "partial_word": false,
                  "cut": false, "old_length": 22, "new_length": 10, "role": "left_collar",
                  "found": "exact", "target": "clavicle_l", "skeleton": "agrees",
                  "name_role": null, "name_from": "target", "numbered": false})"));

    const Outcome text = run("-n --to max " + fixture("linden_avatar_walk_crlf.bvh"));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("  target: max; rig: poser, 21 of 21 joints; 2 names kept\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("  ! neckDummy   neckDummy      neck_dummy       exact        kept: "
                            "max has no joint for neck_dummy\n"),
              std::string::npos)
        << text.out;

    // A false friend: in Max's names LeftShoulder is the upper arm, here the skeleton's collar.
    const Outcome overruled = run("-n --to max " + fixture("skeleton/mocapbank_shoulders.bvh"));
    ASSERT_EQ(overruled.exitCode, 0) << overruled.err;
    for (const char* line :
         {"  target: max; rig: max, 17 of 19 joints; 2 found by the skeleton, 2 names contradicted "
          "by the skeleton\n",
          "  ! LeftShoulder   LeftCollar     left_collar      skeleton     renamed, the skeleton "
          "contradicts its name (left_upper_arm)\n",
          "    LeftArm        LeftShoulder   left_upper_arm   skeleton     renamed\n"}) {
        EXPECT_NE(overruled.out.find(line), std::string::npos) << line << overruled.out;
    }
}

// A Poser file into Second Life's names and back gives the file back byte for byte; into a
// profile of the user's own, named as its file is.
TEST_F(ConvertCommandTest, ToWritesTheTargetsNamesAndBackWithNoOtherByteChanged) {
    const Outcome there = run("--to sl " + shellWord(skelvane::testing::exampleFile()));
    ASSERT_EQ(there.exitCode, 0) << there.err;
    EXPECT_EQ(there.err, skelvane::testing::exampleFile().string() +
                             " -> poser_wave_sl.bvh  (rig: poser, 55 of 56 joints; 3 names kept)\n"
                             "  sl would still refuse it: moving joints whose names the target "
                             "does not know (3)\n"
                             "1 file: 1 converted into the current folder\n");
    EXPECT_TRUE(jointsOf(readFile(folder_ / "poser_wave_sl.bvh"))
                    .starts_with("hip abdomen chest neck head mEyeLeft mEyeRight rCollar rShldr "
                                 "rForeArm rHand mHandThumb1Right mHandThumb2Right"));
    fs::create_directory(folder_ / "back");
    const Outcome back = run("--from sl --to poser -o back poser_wave_sl.bvh");
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_TRUE(readFile(folder_ / "back/poser_wave_sl_poser.bvh") ==
                readFile(skelvane::testing::exampleFile()));

    writeFile(folder_ / "game.rig",
              "# skelvane-rig 1\nrole,name\nhips,pelvis\nhead,skull\nleft_hand,paw_l\n");
    const Outcome mine = run("--to game.rig " + fixture("opencollar_kneel.bvh"));
    ASSERT_EQ(mine.exitCode, 0) << mine.err;
    EXPECT_TRUE(jointsOf(readFile(folder_ / "opencollar_kneel_game.bvh"))
                    .starts_with("pelvis abdomen chest neck skull lCollar lShldr lForeArm paw_l "))
        << jointsOf(readFile(folder_ / "opencollar_kneel_game.bvh"));

    // Joints named j01, j02...: the skeleton alone tells their roles.
    const Outcome shape = run("--from shape --to sl " + fixture("skeleton/walk_numbered.bvh"));
    ASSERT_EQ(shape.exitCode, 0) << shape.err;
    EXPECT_NE(shape.err.find(" -> walk_numbered_sl.bvh  (skeleton: a humanoid, 20 of 21 joints; "
                             "2 names kept)\n"),
              std::string::npos)
        << shape.err;
    EXPECT_EQ(jointsOf(readFile(folder_ / "walk_numbered_sl.bvh")),
              "hip abdomen chest neck j05 head j07 lCollar lShldr lForeArm lHand rCollar rShldr "
              "rForeArm rHand lThigh lShin lFoot rThigh rShin rFoot ");
}

// The four rigs that no preset converted: their joints' roles are found by their names, and
// --map auto writes the 17 names of Max's body on each (each source names the body's joints in
// that order, each joint inside the one before).
TEST_F(ConvertCommandTest, MapAutoWritesMaxsBodyOnRigsNoPresetKnows) {
    const std::string mixamo =
        "Hips Neck Head LeftShoulder LeftArm LeftForeArm LeftHand RightShoulder RightArm "
        "RightForeArm RightHand LeftUpLeg LeftLeg LeftFoot RightUpLeg RightLeg RightFoot Spine";
    const std::pair<std::string, std::vector<std::string>> rigs[] = {
        {"mixamo7", prefixed("mixamorig7:", mixamo)},
        {"armature", prefixed("Armature_mixamorig:", mixamo)},
        {"unity", wordsOf("Hips Neck Head Shoulder_L UpperArm_L LowerArm_L Hand_L Shoulder_R "
                          "UpperArm_R LowerArm_R Hand_R UpperLeg_L LowerLeg_L Foot_L UpperLeg_R "
                          "LowerLeg_R Foot_R Spine Chest Toes_L")},
        {"makehuman", wordsOf("Hips Neck Head Clavicle_L UpArm_L LoArm_L Hand_L Clavicle_R "
                              "UpArm_R LoArm_R Hand_R UpLeg_L LoLeg_L Foot_L UpLeg_R LoLeg_R "
                              "Foot_R Root Spine Toes_L")},
    };
    for (const auto& [name, joints] : rigs) {
        SCOPED_TRACE(name);
        std::string hierarchy = "HIERARCHY\n";
        for (std::size_t depth = 0; depth < joints.size(); ++depth) {
            hierarchy += std::string(depth == 0 ? "ROOT " : "JOINT ") + joints[depth] +
                         "\n{\nOFFSET 0 1 0\nCHANNELS 3 Zrotation Xrotation Yrotation\n";
        }
        hierarchy += std::string(joints.size(), '}');
        writeFile(folder_ / (name + ".bvh"), hierarchy + "\nMOTION\nFrames: 1\n");
        ASSERT_EQ(run("--map auto " + name + ".bvh").exitCode, 0);
        EXPECT_TRUE(jointsOf(readFile(folder_ / (name + "_max.bvh")))
                        .starts_with("Hips Neck Head LeftCollar LeftShoulder LeftElbow LeftWrist "
                                     "RightCollar RightShoulder RightElbow RightWrist LeftHip "
                                     "LeftKnee LeftAnkle RightHip RightKnee RightAnkle "))
            << jointsOf(readFile(folder_ / (name + "_max.bvh")));
    }
}

}  // namespace
}  // namespace skelvane::cli
