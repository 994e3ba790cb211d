// Outputs committed in groups: where data could be lost, every output is either committed or
// leaves the old one as it was, and no temporary file stays behind.
#include "conversion/commit_group.h"

#include <gtest/gtest.h>

#include "conversion/commit_group_test.h"
#include "conversion/platform.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;

TEST_P(CommitGroupTest, OneSyncServesTheGroupAndAFailedOneFallsBackToEachOutput) {
    const std::vector<std::string> names{"a.bvh", "b.bvh", "c.bvh"};
    for (const std::string& name : names) fs::copy_file(small_, folder_ / "sources" / name);
    const int before = platform::testing::dataSyncs();
    EXPECT_EQ(run(jobsFor(names)), std::vector<std::string>(3, "done"));
    if (platform::filesystemSyncReportsErrors()) {
        EXPECT_EQ(platform::testing::dataSyncs(), before) << "one sync of the filesystem";
    }
    // Its error may come from any file of the filesystem: each output is then synced alone.
    platform::testing::failFilesystemSync(std::make_error_code(std::errc::io_error));
    const std::vector<std::string> outcomes = run(jobsFor(names));
    platform::testing::failFilesystemSync({});
    EXPECT_EQ(outcomes, std::vector<std::string>(3, "done"));
    EXPECT_GE(platform::testing::dataSyncs(), before + 3);
    EXPECT_EQ(fileNamesIn(folder_ / "out"), names);
}

INSTANTIATE_TEST_SUITE_P(Temporaries, CommitGroupTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

}  // namespace
}  // namespace skelvane::conversion
