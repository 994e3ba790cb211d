// The window's run with what only POSIX systems offer: symbolic links, permission bits and a file
// size limit that makes a write fail part-way.
#include "joblist/batch_run.h"

#include <gtest/gtest.h>

#include "joblist/batch_run_test.h"
#include "support/posix/file_size_limit.h"
#include "support/test_files.h"

namespace skelvane::joblist {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::FileSizeLimit;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::writeFile;

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
}  // namespace skelvane::joblist
