#include "joblist/batch_run.h"

#include <gtest/gtest.h>

#include "joblist/batch_run_test.h"
#include "conversion/mapping/dropped_parts.h"
#include "support/test_files.h"

namespace skelvane::joblist {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::splitLines;
using skelvane::testing::writeFile;

TEST_F(ConvertAllTest, EmptyListSaysNothingToConvert) {
    const RunReport report = run();
    EXPECT_EQ(observer_.maximums, std::vector<float>{static_cast<float>(0.001)});
    EXPECT_TRUE(observer_.values.empty());
    EXPECT_EQ(observer_.infos, std::vector<std::string>{"Nothing to Convert!"});
    EXPECT_TRUE(report.ok());
    EXPECT_TRUE(fileNamesIn(folder_.path()).empty());
}

TEST_F(ConvertAllTest, ConvertsEveryRealFixtureLikeTheLineByLineDefinition) {
    for (const fs::path& source : skelvane::testing::testdataFiles()) addRow(source);
    const RunReport report = run();
    ASSERT_TRUE(report.ok()) << report.failures.front().path << ": "
                             << report.failures.front().reason;
    ASSERT_EQ(report.written.size(), 6u);
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        SCOPED_TRACE(jobs_.title(row));
        EXPECT_EQ(readFile(jobs_.outputName(row) + ".bvh"),
                  referenceConversionOf(jobs_.sourcePath(row)));
    }
    const std::string walk = readFile("linden_avatar_walk_crlf_max.bvh");
    EXPECT_EQ(walk.substr(0, 21), "HIERARCHY\r\nROOT Hips\r");
    EXPECT_NE(walk.find("JOINT RightShoulder\r\n"), std::string::npos);
    EXPECT_NE(walk.find("JOINT NeckDummy\r\n"), std::string::npos);
    // Finger joints of another naming scheme pass through as they are.
    EXPECT_NE(readFile("opencollar_bara_bento_hands_max.bvh").find("JOINT mHandIndex1Left\r\n"),
              std::string::npos);
    // The CR-only file comes out as many CR LF lines, not one.
    EXPECT_GT(splitLines(readFile("opencollar_run_cr_only_max.bvh")).size(), 100u);
    // Sources are never touched.
    for (const fs::path& source : skelvane::testing::testdataFiles()) {
        EXPECT_FALSE(fs::exists(folder_.path() / source.filename()));
    }
}

TEST_F(ConvertAllTest, SkipsRowsMarkedXAndReportsProgressForEveryRow) {
    addRow(fixture("linden_avatar_walk_crlf.bvh"));
    addRow(fixture("opencollar_kneel.bvh"));
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    jobs_.setSkipMark(1, "x");
    const RunReport report = run();
    EXPECT_EQ(observer_.maximums, std::vector<float>{3.001f});
    EXPECT_EQ(observer_.values, (std::vector<float>{1, 2, 3}));
    EXPECT_TRUE(observer_.infos.empty());
    EXPECT_EQ(report.written, (std::vector<std::string>{"linden_avatar_walk_crlf_max.bvh",
                                                        "qavimator_SLFemale_1frame_max.bvh"}));
    EXPECT_EQ(fileNamesIn(folder_.path()), report.written);
}

TEST_F(ConvertAllTest, OnlyAnExactLowerCaseXSkips) {
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    jobs_.setSkipMark(0, "X");
    EXPECT_EQ(run().written.size(), 1u);
}

TEST_F(ConvertAllTest, PartFlagsOfTheRowTurnJointsIntoNothing) {
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    jobs_.setOutputName(1, "flagged");
    jobs_.setPartFlag(1, 7, 1.0f);
    jobs_.setPartFlag(1, 1, 0.5f);  // any value but 0 drops the part
    ASSERT_TRUE(run().ok());
    const std::string plain = readFile("qavimator_SLFemale_1frame_max.bvh");
    const std::string flagged = readFile("flagged.bvh");
    EXPECT_NE(plain.find("JOINT RightShoulder"), std::string::npos);
    EXPECT_EQ(flagged.find("RightShoulder"), std::string::npos);
    EXPECT_EQ(flagged.find("JOINT Head"), std::string::npos);
    EXPECT_EQ(flagged, referenceConversionOf(jobs_.sourcePath(1), conversion::DroppedParts().set(7).set(1)));
}

TEST_F(ConvertAllTest, OutputNamesAreUsedAsTheyStand) {
    fs::create_directory("sub");
    addRow(fixture("linden_avatar_walk_crlf.bvh"));
    addRow(fixture("opencollar_kneel.bvh"));
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    jobs_.setOutputName(0, "sub/walk");
    jobs_.setOutputName(1, "same");
    jobs_.setOutputName(2, "same");
    ASSERT_TRUE(run().ok());
    EXPECT_EQ(readFile("sub/walk.bvh"), referenceConversionOf(jobs_.sourcePath(0)));
    // The later row's output replaces the earlier one's.
    EXPECT_EQ(readFile("same.bvh"), referenceConversionOf(jobs_.sourcePath(2)));
    EXPECT_EQ(fileNamesIn(folder_.path()), (std::vector<std::string>{"same.bvh", "sub"}));
}

TEST_F(ConvertAllTest, EmptyOutputNameWritesDotBvh) {
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    jobs_.setOutputName(0, "");
    ASSERT_TRUE(run().ok());
    EXPECT_EQ(fileNamesIn(folder_.path()), std::vector<std::string>{".bvh"});
}

TEST_F(ConvertAllTest, RunningTwiceOverwritesWithIdenticalContent) {
    addRow(fixture("opencollar_run_cr_only.bvh"));
    writeFile("opencollar_run_cr_only_max.bvh", std::string(100000, 'z'));  // stale, longer
    ASSERT_TRUE(run().ok());
    const std::string first = readFile("opencollar_run_cr_only_max.bvh");
    ASSERT_TRUE(run().ok());
    EXPECT_EQ(readFile("opencollar_run_cr_only_max.bvh"), first);
    EXPECT_EQ(first, referenceConversionOf(jobs_.sourcePath(0)));
    EXPECT_EQ(fileNamesIn(folder_.path()).size(), 1u);  // no temporary left behind
}

TEST_F(ConvertAllTest, ReportsUnreadableSourcesAndUnwritableOutputsAndGoesOn) {
    fs::create_directory("folder.bvh");
    fs::create_directory("locked");
    jobs_.appendRow("missing", "missing_max", " ", (folder_.path() / "missing.bvh").string());
    jobs_.appendRow("folder", "folder_max", " ", (folder_.path() / "folder.bvh").string());
    addRow(fixture("opencollar_kneel.bvh"));
    jobs_.setOutputName(2, "no/such/folder/kneel");
    addRow(fixture("opencollar_kneel.bvh"));
    jobs_.setOutputName(3, "folder");  // an existing folder named folder.bvh
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    const bool root = !skelvane::testing::folderPermissionsBind();
    if (!root) {
        addRow(fixture("opencollar_kneel.bvh"));
        jobs_.setOutputName(5, "locked/kneel");
        fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec);
    }

    const RunReport report = run();
    ASSERT_EQ(report.failures.size(), root ? 4u : 5u);
    auto expectFailure = [&](std::size_t i, int row, const std::string& path, const char* reason) {
        SCOPED_TRACE(i);
        EXPECT_EQ(report.failures[i].row, row);
        EXPECT_EQ(report.failures[i].path, path);
        EXPECT_EQ(report.failures[i].reason, reason);
    };
    expectFailure(0, 0, (folder_.path() / "missing.bvh").string(), "No such file or directory");
    expectFailure(1, 1, (folder_.path() / "folder.bvh").string(), "Is a directory");
    expectFailure(2, 2, "no/such/folder/kneel.bvh", "No such file or directory");
    expectFailure(3, 3, "folder.bvh", "Is a directory");
    if (!root) expectFailure(4, 5, "locked/kneel.bvh", "Permission denied");
    EXPECT_EQ(report.written, std::vector<std::string>{"qavimator_SLFemale_1frame_max.bvh"});
    EXPECT_EQ(observer_.values.size(), static_cast<std::size_t>(jobs_.rowCount()));
    EXPECT_EQ(
        fileNamesIn(folder_.path()),
        (std::vector<std::string>{"folder.bvh", "locked", "qavimator_SLFemale_1frame_max.bvh"}));
}

}  // namespace
}  // namespace skelvane::joblist
