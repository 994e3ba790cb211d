#include "conversion/mapping/mapping_fit.h"

#include <gtest/gtest.h>

#include "conversion/mapping/presets.h"
#include "support/joint_names.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::jointNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::testdataDir;

FitResult fitOf(const std::vector<std::string>& names,
                std::span<const Mapping> mappings = presets()) {
    FitCounter counter(mappings);
    for (const std::string& name : names) counter.addJoint(name);
    return counter.result();
}

std::vector<std::uint64_t> countsOf(const FitResult& result) {
    std::vector<std::uint64_t> counts;
    for (const MappingCount& count : result.counts) counts.push_back(count.renamed);
    return counts;
}

struct FileCase {
    fs::path file;
    std::vector<std::uint64_t> counts;  // poser-max, poser-max-names, genesis, cmu, mixamo
    std::string summary;
    std::string autoChoice;
};

TEST(FitCounter, PicksThePresetOfEachRealFileAndKeepsMaxNames) {
    const fs::path data = testdataDir();
    const fs::path rigs = data / "other-rigs";
    const std::string poserNames = "best fit: poser-max-names, 19 of ";
    const FileCase cases[] = {
        {data / "linden_avatar_cross_arms_lf.bvh",
         {19, 19, 10, 0, 0},
         poserNames + "21 joints",
         "poser-max-names"},
        {data / "linden_avatar_walk_crlf.bvh",
         {19, 19, 10, 0, 0},
         poserNames + "21 joints",
         "poser-max-names"},
        {data / "opencollar_bara_bento_hands.bvh",
         {19, 19, 10, 0, 0},
         poserNames + "49 joints",
         "poser-max-names"},
        {data / "opencollar_kneel.bvh",
         {19, 19, 10, 0, 0},
         poserNames + "19 joints",
         "poser-max-names"},
        {data / "opencollar_run_cr_only.bvh",
         {19, 19, 10, 0, 0},
         poserNames + "20 joints",
         "poser-max-names"},
        {data / "qavimator_SLFemale_1frame.bvh",
         {19, 19, 10, 0, 0},
         poserNames + "19 joints",
         "poser-max-names"},
        {skelvane::testing::exampleFile(),
         {26, 56, 42, 0, 0},
         "best fit: poser-max-names, 56 of 56 joints",
         "poser-max-names"},
        {rigs / "mixamo_prefixed_freebvh.bvh",
         {0, 0, 0, 0, 52},
         "best fit: mixamo-max, 52 of 55 joints",
         "mixamo-max"},
        {rigs / "cmu_humanik_names_jumping.bvh",
         {0, 0, 0, 19, 22},
         "best fit: mixamo-max, 22 of 27 joints",
         "mixamo-max"},
        // Max names, although LeftShoulder is a Mixamo and CMU collar and cmu-max renames Neck.
        {rigs / "cmu_max_friendly_14_14_short.bvh",
         {0, 0, 0, 3, 2},
         "best fit: none, Max names on 27 of 31 joints",
         "none"},
        {rigs / "max_names_mocapbank.bvh",
         {0, 0, 0, 3, 2},
         "best fit: none, Max names on 19 of 19 joints",
         "none"},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        const FitResult result = fitOf(jointNamesIn(readFile(c.file)));
        EXPECT_EQ(countsOf(result), c.counts);
        EXPECT_EQ(result.summary(), c.summary);
        EXPECT_EQ(result.choice().name, c.autoChoice);
    }
}

// Small tables, to pin each rule of the verdict on its own.
const std::vector<Mapping>& smallTables() {
    static const std::vector<Mapping> tables = {
        {"contains", "", MatchMode::Contains, {{"hip", "Hips", 5}, {"neck", "Neck", 2}}, "", ""},
        {"exact",
         "",
         MatchMode::Exact,
         {{"hip", "Hips", 5}, {"Hips", "Hips", 5}, {"neck", "Neck", 2}},
         "",
         ""},
        {"collar",
         "",
         MatchMode::Exact,
         {{"LeftShoulder", "LeftCollar", 11},
          {"LeftArm", "LeftShoulder", 12},
          {"rThumb1", "RightFinger0", 10},
          {std::string(300, 'a'), "Long", 0}},
         "",
         ""},
    };
    return tables;
}

TEST(FitCounter, VerdictRules) {
    struct Case {
        const char* name;
        std::vector<std::string> joints;
        std::string summary;
        std::string autoChoice;
    };
    const Case cases[] = {
        {"TieGoesToWholeNames", {"hip", "neck"}, "best fit: exact, 2 of 2 joints", "exact"},
        {"HitsInsideNamesDoNotCount",
         {"hip", "neckDummy", "lowerneck"},
         "best fit: exact, 1 of 3 joints",
         "exact"},
        {"AQuarterFits", {"hip", "a", "b", "c"}, "best fit: exact, 1 of 4 joints", "exact"},
        {"LessThanAQuarterDoesNot",
         {"hip", "a", "b", "c", "d"},
         "best fit: none, exact renames only 1 of 5 joints",
         "none"},
        {"RowToItselfDoesNotCount",
         {"Hips", "x", "y", "z"},
         "best fit: none, Max names on 1 of 4 joints",
         "none"},
        {"FalseFriendAmongTargetNames",
         {"LeftShoulder", "LeftCollar", "Hips"},
         "best fit: none, Max names on 3 of 3 joints",
         "none"},
        {"TargetNamesBelowAQuarterAreNoReason",
         {"Hips", "LeftArm", "a", "b", "c"},
         "best fit: none, collar renames only 1 of 5 joints",
         "none"},
        {"EvenCountsKeepNames",
         {"LeftShoulder", "LeftArm", "Neck"},
         "best fit: none, Max names on 2 of 3 joints",
         "none"},
        {"RenamingMoreThanTargetNamesFits",
         {"LeftShoulder", "LeftArm", "a"},
         "best fit: collar, 2 of 3 joints",
         "collar"},
        {"FixedPartRowStillRenames", {"rThumb1"}, "best fit: collar, 1 of 1 joint", "collar"},
        {"LongNameFitsNothing",
         {std::string(300, 'a')},
         "best fit: none, no preset renames any of 1 joint",
         "none"},
        {"NoJoints", {}, "best fit: none, no joints", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FitResult result = fitOf(c.joints, smallTables());
        EXPECT_EQ(result.summary(), c.summary);
        EXPECT_EQ(result.choice().name, c.autoChoice);
    }
}

}  // namespace
}  // namespace skelvane::conversion
