// Group commits cut short as only POSIX systems let a test cut them: by a file size limit, and by
// a signal in a forked child.
#include "conversion/files/commit_group.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "conversion/commit_group_test.h"
#include "support/posix/file_size_limit.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::writeFile;

// Runs `body` in a child process whose open-file limits are `soft` and `hard`; returns the
// child's wait status. A child, because a hard limit once lowered cannot be raised again.
template <typename Body>
int withOpenFileLimit(rlim_t soft, rlim_t hard, Body body) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{soft, hard};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) _exit(99);
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(CommitGroupSize, RaisesTheSoftOpenFileLimitTowardTheHardOne) {
    rlimit current{};
    getrlimit(RLIMIT_NOFILE, &current);
    if (current.rlim_max < 1000) GTEST_SKIP() << "hard open-file limit below 1000";
    // Of the 1000 files the child may hold, the rest of the process keeps 256.
    const int status = withOpenFileLimit(200, 1000, [] {
        const bool sized = CommitGroup(platform::realFileSystem()).mostOutputs() == 744;
        rlimit now{};
        getrlimit(RLIMIT_NOFILE, &now);
        _exit(sized && now.rlim_cur == 1000 ? 0 : 1);
    });
    EXPECT_EQ(status, 0);
}

TEST_P(CommitGroupTest, MoreOutputsThanTheOpenFileLimitAllowsStillAllCommit) {
    const std::vector<std::string> names = smallSources(150);
    const int status = withOpenFileLimit(128, 128, [&] {
        for (const std::string& outcome : run(jobsFor(names))) {
            if (outcome != "done") _exit(1);
        }
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(fileNamesIn(folder_ / "out"), names);
    EXPECT_EQ(readFile(folder_ / "out" / names.back()), "HIERARCHY\r\nROOT Hips\r\n");
}

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

TEST_P(CommitGroupTest, ASignalBeforeTheOutputsArePlacedLeavesEarlierGroupsAndOldOutputs) {
    // More outputs than a group holds (64 with 128 open files): the first group is committed,
    // the signal comes in the second, after its sync and before any of its outputs is placed.
    const std::vector<std::string> names = smallSources(64 + 6);
    writeFile(folder_ / "out" / names.back(), "old\n");
    const int status = withOpenFileLimit(128, 128, [&] {
        platform::installSignalCleanup();
        int commits = 0;
        system_.onBeforePlacing = [&] {
            if (++commits == 2) raise(SIGTERM);
        };
        run(jobsFor(names));
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    std::vector<std::string> expected(names.begin(), names.begin() + 64);
    expected.push_back(names.back());
    EXPECT_EQ(fileNamesIn(folder_ / "out"), expected) << "no temporary file, nothing half done";
    EXPECT_EQ(readFile(folder_ / "out" / names.front()), "HIERARCHY\r\nROOT Hips\r\n");
    EXPECT_EQ(readFile(folder_ / "out" / names.back()), "old\n");
}

}  // namespace
}  // namespace skelvane::conversion
