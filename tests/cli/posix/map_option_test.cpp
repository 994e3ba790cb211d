// --map and --list-maps through the program: the built-in table as a file changes no byte,
// whole-name presets leave partial words alone, auto picks each file's rig and keeps names that
// are already Max names, and a bad mapping file stops the run before any source is read.
#include <nlohmann/json.hpp>

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
        {"auto", "other-rigs/mixamo_prefixed_freebvh.bvh",
         "Hips Chest Chest2 Chest3 Neck Head mixamorig:HeadTop_End mixamorig:LeftEye "
         "mixamorig:RightEye LeftCollar LeftShoulder LeftElbow",
         "  (best fit: mixamo-max, 52 of 55 joints)"},
        {"auto", "other-rigs/cmu_humanik_names_jumping.bvh",
         "Hips Chest Chest2 Chest3 Chest4 Neck Head RightCollar RightShoulder RightElbow",
         "  (best fit: mixamo-max, 22 of 27 joints)"},
        // Already Max names: converting again keeps them, LeftShoulder and lowerneck too.
        {"auto", "other-rigs/max_names_mocapbank.bvh",
         "Hips Chest Chest2 LeftCollar LeftShoulder LeftElbow LeftWrist RightCollar",
         "  (best fit: none, Max names on 19 of 19 joints; names kept)"},
        {"auto", "other-rigs/cmu_max_friendly_14_14_short.bvh",
         "Hips LHipJoint LeftHip LeftKnee LeftAnkle LeftToe RHipJoint",
         "  (best fit: none, Max names on 27 of 31 joints; names kept)"},
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

TEST_F(ConvertCommandTest, ABadMappingStopsTheRunBeforeAnySourceIsRead) {
    writeFile(folder_ / "twice.csv", "# skelvane-map 1\nfrom,to,part\nhip,Hips,5\nhip,Pelvis,\n");
    const struct {
        const char* map;
        const char* message;
    } cases[] = {
        {"twice.csv", "skelvane-convert: twice.csv:4: 'hip' given twice (first on line 3)\n"},
        {"poser-maxx",
         "skelvane-convert: --map: no mapping named 'poser-maxx' (see --list-maps)\n"},
        {"./gone.csv", "skelvane-convert: ./gone.csv: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.map);
        // The source is a pipe nobody writes to: reading it would never end.
        const Outcome outcome = runAfter("mkfifo never.bvh && timeout 20",
                                         std::string("--map ") + c.map + " never.bvh");
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.err, std::string(c.message) +
                                   "Try 'skelvane-convert --help' for more information.\n");
        fs::remove(folder_ / "never.bvh");
    }
    EXPECT_EQ(fileNamesIn(folder_.path()), std::vector<std::string>{"twice.csv"});
}

TEST_F(ConvertCommandTest, ListMapsAndTheDryRunNameTheMappings) {
    const Outcome list = run("--list-maps");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out,
              "name             match     rows  from      title\n"
              "poser-max        contains    36  built in  Poser to Max (the built-in table)\n"
              "poser-max-names  exact       66  built in  Poser to Max, whole names\n"
              "genesis-max      exact       53  built in  Daz Genesis 3 and 8 to Max\n"
              "cmu-max          exact       27  built in  CMU motion capture (MotionBuilder "
              "names) to Max\n"
              "mixamo-max       exact      105  built in  Mixamo and HumanIK to Max\n");

    const Outcome dry =
        run("-n --json --map auto " + fixture("other-rigs/mixamo_prefixed_freebvh.bvh"));
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    const auto json = nlohmann::json::parse(dry.out);
    EXPECT_EQ(json[0]["map"], "mixamo-max");
    EXPECT_EQ(json[0]["map_is_best_fit"], true);
    EXPECT_EQ(json[0]["best_fit"]["summary"], "best fit: mixamo-max, 52 of 55 joints");
    EXPECT_EQ(json[0]["joints"][9]["old"], "mixamorig:LeftShoulder");
    EXPECT_EQ(json[0]["joints"][9]["new"], "LeftCollar");
}

}  // namespace
}  // namespace skelvane::cli
