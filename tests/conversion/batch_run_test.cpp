#include "conversion/batch_run.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include "conversion/dropped_parts.h"
#include "support/file_size_limit.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using joblist::JobList;
using skelvane::testing::fileNamesIn;
using skelvane::testing::FileSizeLimit;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::splitLines;
using skelvane::testing::TempFolder;
using skelvane::testing::testdataDir;
using skelvane::testing::WorkingDirectory;
using skelvane::testing::writeFile;

struct RecordingObserver : RunObserver {
    std::vector<float> maximums;
    std::vector<float> values;
    std::vector<std::string> infos;
    void setProgressMaximum(float maximum) override { maximums.push_back(maximum); }
    void setProgressValue(float value) override { values.push_back(value); }
    void showInfo(std::string_view text) override { infos.emplace_back(text); }
};

// Every test works in a fresh folder that is also the current directory.
class ConvertAllTest : public ::testing::Test {
protected:
    fs::path fixture(std::string_view name) const { return testdataDir() / name; }

    // Adds a row the way the window does: title, title + "_max", " " and the full path.
    int addRow(const fs::path& source) {
        std::string title = source.filename().string();
        title.resize(title.size() - 4);
        return jobs_.appendRow(title, title + "_max", " ", source.string());
    }

    RunReport run() { return convertAll(jobs_, mappings_, observer_); }

    TempFolder folder_;
    WorkingDirectory cwd_{folder_.path()};
    JobList jobs_;
    MappingCatalog mappings_;
    RecordingObserver observer_;
};

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
    EXPECT_EQ(flagged, referenceConversionOf(jobs_.sourcePath(1), DroppedParts().set(7).set(1)));
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

TEST_F(ConvertAllTest, RefusesAnOutputThatIsTheSourceItself) {
    const std::string original = readFile(fixture("linden_avatar_walk_crlf.bvh"));
    writeFile("walk.bvh", original);
    fs::create_directory("sub");
    fs::create_symlink(folder_.path() / "walk.bvh", "link.bvh");
    fs::create_hard_link("walk.bvh", "hard.bvh");
    // Same name, a roundabout relative path, a symbolic link and a hard link to the source.
    for (const char* outputName : {"walk", "sub/../walk", "link", "hard"}) {
        jobs_.appendRow("walk", outputName, " ", (folder_.path() / "walk.bvh").string());
    }
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));

    const RunReport report = run();
    ASSERT_EQ(report.failures.size(), 4u);
    for (const RowFailure& failure : report.failures) {
        EXPECT_EQ(failure.reason, "the output is the source file itself");
    }
    EXPECT_EQ(report.failures[2].row, 2);
    EXPECT_EQ(report.failures[2].path, "link.bvh");
    EXPECT_EQ(readFile("walk.bvh"), original);
    EXPECT_TRUE(fs::is_symlink("link.bvh"));
    // The other rows still go.
    EXPECT_EQ(report.written, std::vector<std::string>{"qavimator_SLFemale_1frame_max.bvh"});
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
    const bool root = geteuid() == 0;
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

TEST_F(ConvertAllTest, AFailedWriteKeepsTheExistingOutputAndLeavesNoPartialFile) {
    addRow(fixture("opencollar_kneel.bvh"));  // about 53 kB of output
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    writeFile("opencollar_kneel_max.bvh", "previous content\r\n");
    RunReport report;
    {
        FileSizeLimit limit(16 * 1024);
        report = run();
    }
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].row, 0);
    EXPECT_EQ(report.failures[0].path, "opencollar_kneel_max.bvh");
    EXPECT_EQ(report.failures[0].reason, "File too large");
    EXPECT_EQ(readFile("opencollar_kneel_max.bvh"), "previous content\r\n");
    EXPECT_EQ(report.written, std::vector<std::string>{"qavimator_SLFemale_1frame_max.bvh"});
    EXPECT_EQ(fileNamesIn(folder_.path()),
              (std::vector<std::string>{"opencollar_kneel_max.bvh",
                                        "qavimator_SLFemale_1frame_max.bvh"}));
}

TEST_F(ConvertAllTest, ReplacingAnOutputKeepsItsPermissionsAndWritesThroughALink) {
    addRow(fixture("qavimator_SLFemale_1frame.bvh"));
    fs::create_directory("real");
    writeFile("real/target.bvh", "old");
    fs::permissions("real/target.bvh", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(folder_.path() / "real/target.bvh", "qavimator_SLFemale_1frame_max.bvh");
    ASSERT_TRUE(run().ok());
    EXPECT_TRUE(fs::is_symlink("qavimator_SLFemale_1frame_max.bvh"));
    EXPECT_EQ(readFile("real/target.bvh"), referenceConversionOf(jobs_.sourcePath(0)));
    EXPECT_EQ(fs::status("real/target.bvh").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ConvertAllTest, NoOutputLandsOnAnySourceOrThroughABrokenLink) {
    const std::string walk = readFile(fixture("linden_avatar_walk_crlf.bvh"));
    writeFile("walk.bvh", walk);
    fs::permissions("walk.bvh",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_directory("sub");
    fs::create_hard_link("walk.bvh", "hard.bvh");
    fs::create_symlink(folder_.path() / "walk.bvh", "link.bvh");
    fs::create_symlink(folder_.path() / "gone.bvh", "dangling.bvh");
    fs::create_symlink("loop2.bvh", "loop1.bvh");
    fs::create_symlink("loop1.bvh", "loop2.bvh");
    const std::string longName(251, 'n');  // with ".bvh", the longest name a folder takes

    jobs_.appendRow("walk", "walk_max", "x", (folder_.path() / "walk.bvh").string());
    const struct {
        const char* outputName;
        const char* reason;
    } rows[] = {
        {"walk", "the output is the source of row 1"},
        {"sub/../walk", "the output is the source of row 1"},
        {"hard", "the output is the source of row 1"},
        {"link", "the output is the source of row 1"},
        {"dangling", "the output is a link that points nowhere"},
        {"loop1", "Too many levels of symbolic links"},
    };
    for (const auto& row : rows) {
        addRow(fixture("opencollar_kneel.bvh"));
        jobs_.setOutputName(jobs_.rowCount() - 1, row.outputName);
    }
    jobs_.appendRow("walk", longName, " ", "walk.bvh");

    const RunReport report = run();
    ASSERT_EQ(report.failures.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].outputName);
        EXPECT_EQ(report.failures[i].path, std::string(rows[i].outputName) + ".bvh");
        EXPECT_EQ(report.failures[i].reason, rows[i].reason);
    }
    EXPECT_EQ(readFile("walk.bvh"), walk);
    EXPECT_TRUE(fs::is_symlink("dangling.bvh"));
    EXPECT_FALSE(fs::exists("gone.bvh"));
    // The long name converts, and a new output is as private as its source.
    ASSERT_EQ(report.written, std::vector<std::string>{longName + ".bvh"});
    EXPECT_EQ(readFile(longName + ".bvh"), referenceConversionOf("walk.bvh"));
    EXPECT_EQ(fs::status(longName + ".bvh").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace skelvane::conversion
