// Group commits cut short as only POSIX systems let a test cut them: by a file size limit, and by
// a signal in a forked child.
#include "conversion/commit_group.h"

#include <gtest/gtest.h>
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

}  // namespace
}  // namespace skelvane::conversion
