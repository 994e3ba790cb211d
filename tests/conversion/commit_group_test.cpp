// Outputs committed in groups: where data could be lost, every output is either committed or
// leaves the old one as it was, and no temporary file stays behind.
#include "conversion/files/commit_group.h"

#include <gtest/gtest.h>

#include "conversion/commit_group_test.h"
#include "conversion/files/platform.h"
#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;

TEST_P(CommitGroupTest, OneSyncServesTheGroupAndAFailedOneFallsBackToEachOutput) {
    const std::vector<std::string> names{"a.bvh", "b.bvh", "c.bvh"};
    for (const std::string& name : names) fs::copy_file(small_, folder_ / "sources" / name);
    const int before = system_.dataSyncs;
    EXPECT_EQ(run(jobsFor(names)), std::vector<std::string>(3, "done"));
    if (system_.filesystemSyncReportsErrors()) {
        EXPECT_EQ(system_.dataSyncs, before) << "one sync of the filesystem";
    }
    // Its error may come from any file of the filesystem: each output is then synced alone.
    system_.filesystemSyncError = std::make_error_code(std::errc::io_error);
    const std::vector<std::string> outcomes = run(jobsFor(names));
    system_.filesystemSyncError.clear();
    EXPECT_EQ(outcomes, std::vector<std::string>(3, "done"));
    EXPECT_GE(system_.dataSyncs, before + 3);
    EXPECT_EQ(fileNamesIn(folder_ / "out"), names);
}

TEST_P(CommitGroupTest, OutputsReplacingOldOnesBeyondTheCleanupTableAllCommit) {
    // Each of them holds a named temporary until it is placed, as many as the signal cleanup
    // can know of at once and more: a group must end before the table is full.
    const std::vector<std::string> names = smallSources(platform::kMaxTemporaries + 88);
    for (const std::string& name : names)
        skelvane::testing::writeFile(folder_ / "out" / name, "old\n");
    const std::vector<std::string> outcomes = run(jobsFor(names));
    EXPECT_EQ(outcomes, std::vector<std::string>(names.size(), "done"));
    EXPECT_EQ(fileNamesIn(folder_ / "out"), names) << "no temporary left";
    EXPECT_EQ(skelvane::testing::readFile(folder_ / "out/take1599.bvh"),
              "HIERARCHY\r\nROOT Hips\r\n");
    EXPECT_EQ(platform::heldTemporaries(), 0);
}

INSTANTIATE_TEST_SUITE_P(Temporaries, CommitGroupTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

}  // namespace
}  // namespace skelvane::conversion
