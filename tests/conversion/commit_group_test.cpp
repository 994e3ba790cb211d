// Outputs committed in groups: where data could be lost, every output is either committed or
// leaves the old one as it was, and no temporary file stays behind.
#include "conversion/commit_group.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "conversion/platform.h"
#include "conversion/run.h"
#include "support/file_size_limit.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::TempFolder;
using skelvane::testing::testdataDir;
using skelvane::testing::writeFile;

// Both ways of writing a temporary: unnamed, and named as where the filesystem has no unnamed
// files, whose names the cleanup must know.
class CommitGroupTest : public ::testing::TestWithParam<bool> {
protected:
    CommitGroupTest() { platform::testing::useNamedTemporaries(GetParam()); }
    ~CommitGroupTest() override { platform::testing::useNamedTemporaries(false); }

    // Jobs from sources in `sources/` (folder_/sources/NAME) into out/NAME.
    std::vector<Job> jobsFor(const std::vector<std::string>& names) {
        std::vector<Job> jobs;
        for (const std::string& name : names) {
            Job& job = jobs.emplace_back();
            job.source = folder_ / "sources" / name;
            job.output = folder_ / "out" / name;
            job.name = name;
        }
        return jobs;
    }

    // Each job's outcome: "done" or the reason it failed.
    std::vector<std::string> run(const std::vector<Job>& jobs) {
        JobObserver quiet;
        std::vector<std::string> outcomes;
        for (const JobResult& result : runJobs(jobs, {}, quiet)) {
            outcomes.push_back(result.status == JobStatus::Done ? "done" : result.error.message());
        }
        return outcomes;
    }

    void SetUp() override {
        fs::create_directories(folder_ / "sources");
        fs::create_directories(folder_ / "out");
    }

    TempFolder folder_;
    const fs::path small_ = testdataDir() / "qavimator_SLFemale_1frame.bvh";
    const fs::path large_ = testdataDir() / "opencollar_kneel.bvh";  // about 53 kB of output
};

TEST_P(CommitGroupTest, AFailureInTheMiddleFailsThatOutputAloneAndKeepsItsOldOne) {
    std::vector<std::string> names;
    for (int i = 1; i <= 8; ++i) names.push_back("take" + std::to_string(i) + ".bvh");
    for (const std::string& name : names) fs::copy_file(small_, folder_ / "sources" / name);
    // The fifth does not fit the disk, the sixth cannot be read; both had outputs before.
    fs::remove(folder_ / "sources/take5.bvh");
    fs::copy_file(large_, folder_ / "sources/take5.bvh");
    fs::remove(folder_ / "sources/take6.bvh");
    fs::create_directory(folder_ / "sources/take6.bvh");
    writeFile(folder_ / "out/take5.bvh", "old five\n");
    writeFile(folder_ / "out/take6.bvh", "old six\n");

    std::vector<std::string> outcomes;
    {
        const skelvane::testing::FileSizeLimit disk(16 * 1024);
        outcomes = run(jobsFor(names));
    }
    EXPECT_EQ(outcomes, (std::vector<std::string>{"done", "done", "done", "done", "File too large",
                                                  "Is a directory", "done", "done"}));
    EXPECT_EQ(readFile(folder_ / "out/take5.bvh"), "old five\n");
    EXPECT_EQ(readFile(folder_ / "out/take6.bvh"), "old six\n");
    for (const char* name : {"take1.bvh", "take4.bvh", "take8.bvh"}) {
        EXPECT_TRUE(readFile(folder_ / "out" / name) == referenceConversionOf(small_)) << name;
    }
    EXPECT_EQ(fileNamesIn(folder_ / "out"), names);
}

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

TEST_P(CommitGroupTest, ASignalBeforeTheOutputsArePlacedLeavesEarlierGroupsAndOldOutputs) {
    // More outputs than a group holds: the first group is committed, the signal comes in the
    // second, after its sync and before any of its outputs is placed.
    const std::size_t count = CommitGroup::kMostOutputs + 6;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back("take" + std::to_string(1000 + i) + ".bvh");
        writeFile(folder_ / "sources" / names.back(), "HIERARCHY\nROOT hip\n");
    }
    writeFile(folder_ / "out" / names.back(), "old\n");
    const pid_t child = fork();
    if (child == 0) {
        platform::installSignalCleanup();
        int commits = 0;
        testing::beforePlacing([&] {
            if (++commits == 2) raise(SIGTERM);
        });
        run(jobsFor(names));
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    std::vector<std::string> expected(names.begin(), names.begin() + CommitGroup::kMostOutputs);
    expected.push_back(names.back());
    EXPECT_EQ(fileNamesIn(folder_ / "out"), expected) << "no temporary file, nothing half done";
    EXPECT_EQ(readFile(folder_ / "out" / names.front()), "HIERARCHY\r\nROOT Hips\r\n");
    EXPECT_EQ(readFile(folder_ / "out" / names.back()), "old\n");
}

INSTANTIATE_TEST_SUITE_P(Temporaries, CommitGroupTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

}  // namespace
}  // namespace skelvane::conversion
