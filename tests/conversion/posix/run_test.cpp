// The run with what only POSIX systems offer: FIFOs, devices, symbolic links swapped while it
// runs, permission bits that bind an unprivileged user, and a source that never ends.
#include "conversion/run/run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "conversion/run_test.h"
#include "support/posix/unprivileged_user.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::TempFolder;
using skelvane::testing::testdataDir;
using skelvane::testing::writeFile;

TEST(Run, ReadsAFifoOnceWhateverBurstsItComesIn) {
    TempFolder folder;
    const fs::path fifo = folder / "live.bvh";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path walk = testdataDir() / "linden_avatar_walk_crlf.bvh";
    const std::string content = readFile(walk);
    struct Case {
        const char* name;
        RunOptions options;
    };
    for (const Case& c : {Case{"window", {}}, Case{"command line", kCommandLine},
                          Case{"dry run", {.requireBvh = true, .dryRun = true}}}) {
        SCOPED_TRACE(c.name);
        // The check decides on the first bytes; the rest comes after a pause.
        std::thread writer([&] {
            const int out = open(fifo.c_str(), O_WRONLY);
            EXPECT_EQ(write(out, content.data(), 5), 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_EQ(write(out, content.data() + 5, content.size() - 5),
                      static_cast<ssize_t>(content.size() - 5));
            close(out);
        });
        const Job job = fileJob(fifo, folder / "out.bvh");
        Recorder recorder;
        const JobResult result = runJobs({&job, 1}, c.options, recorder).front();
        writer.join();
        EXPECT_EQ(outcome(result, {&job, 1}), "done");
        if (c.options.dryRun) {
            ASSERT_TRUE(recorder.reports.front().has_value());
            EXPECT_EQ(recorder.reports.front()->jointCount, 21u);
            EXPECT_EQ(recorder.reports.front()->frames, 14u);
            EXPECT_FALSE(fs::exists(folder / "out.bvh"));
        } else {
            EXPECT_TRUE(readFile(folder / "out.bvh") == referenceConversionOf(walk));
            fs::remove(folder / "out.bvh");
        }
    }
}

TEST(Run, ReplacesOnlyRegularFilesAndGoesOn) {
    TempFolder folder;
    const fs::path source = testdataDir() / "qavimator_SLFemale_1frame.bvh";
    ASSERT_EQ(mkfifo((folder / "pipe.bvh").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", folder / "null.bvh");
    fs::create_symlink("pipe.bvh", folder / "pipe-link.bvh");
    std::vector<Job> jobs{fileJob(source, folder / "pipe.bvh"),
                          fileJob(source, folder / "null.bvh"),
                          fileJob(source, folder / "pipe-link.bvh")};
    // A device of one's own: only root may make one.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(mknod((folder / "device.bvh").c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
        jobs.push_back(fileJob(source, folder / "device.bvh"));
    }
    jobs.push_back(fileJob(source, folder / "plain.bvh"));

    const std::string refused =
        "failed: output: the output is not a regular file (a device, a pipe or a socket)";
    std::vector<std::string> expected(jobs.size() - 1, refused);
    expected.push_back("done");
    EXPECT_EQ(outcomes(jobs, kCommandLine), expected);
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.bvh"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    if (root) {
        EXPECT_TRUE(fs::is_character_file(fs::symlink_status(folder / "device.bvh")));
    }
    EXPECT_TRUE(readFile(folder / "plain.bvh") == referenceConversionOf(source));
}

TEST(Run, CommitsToTheFileTheGuardApprovedThoughTheLinkIsSwappedMeanwhile) {
    TempFolder folder;
    for (const char* sub : {"in", "out", "elsewhere"}) fs::create_directory(folder / sub);
    const std::string a = readFile(testdataDir() / "opencollar_kneel.bvh");
    const std::string b = readFile(testdataDir() / "qavimator_SLFemale_1frame.bvh");
    writeFile(folder / "in/a.bvh", a);
    writeFile(folder / "in/b.bvh", b);
    writeFile(folder / "elsewhere/harmless.bvh", "harmless\n");
    const std::vector<Job> jobs{fileJob(folder / "in/a.bvh", folder / "out/a_max.bvh"),
                                fileJob(folder / "in/b.bvh", folder / "out/b_max.bvh")};

    // The output of a flips between a harmless file and the other input, as fast as it can.
    std::atomic<bool> stop = false;
    std::thread flipper([&] {
        for (int i = 0; !stop; ++i) {
            const fs::path swap = folder / "out/swap";
            fs::create_symlink(i % 2 == 0 ? "../elsewhere/harmless.bvh" : "../in/b.bvh", swap);
            fs::rename(swap, folder / "out/a_max.bvh");
        }
    });
    int overwritten = 0;
    int approved = 0;
    for (int run = 0; run < 200; ++run) {
        approved += outcomes(jobs, kCommandLine).front() == "done";
        overwritten += readFile(folder / "in/b.bvh") != b;
        writeFile(folder / "in/b.bvh", b);
    }
    stop = true;
    flipper.join();
    EXPECT_EQ(overwritten, 0);
    // The link was found both ways, so the swaps did fall between the runs' steps.
    EXPECT_GT(approved, 0);
    EXPECT_LT(approved, 200);
    EXPECT_TRUE(readFile(folder / "in/a.bvh") == a);
}

TEST(Run, PermissionsOfReplacedOutputsAndFoldersThatCannotBeRead) {
    TempFolder folder;
    fs::permissions(folder.path(), fs::perms::all);
    const fs::path source = folder / "walk.bvh";
    writeFile(source, readFile(testdataDir() / "linden_avatar_walk_crlf.bvh"));
    fs::permissions(source, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string expected = referenceConversionOf(source);

    // As a user, not root: root may write any file, which would hide the refusal.
    if (const auto why = skelvane::testing::unreachableForUnprivilegedUser(source)) {
        GTEST_SKIP() << *why;
    }
    const std::string seen = skelvane::testing::asUnprivilegedUser([&] {
        writeFile(folder / "setid.bvh", "old\n");
        chmod((folder / "setid.bvh").c_str(), 06755);
        writeFile(folder / "readonly.bvh", "old\n");
        chmod((folder / "readonly.bvh").c_str(), 0444);
        mkdir((folder / "writeonly").c_str(), 0700);
        chmod((folder / "writeonly").c_str(), 0333);
        const std::vector<Job> jobs{fileJob(source, folder / "setid.bvh"),
                                    fileJob(source, folder / "readonly.bvh"),
                                    fileJob(source, folder / "writeonly/new.bvh")};
        std::string words;
        for (const std::string& result : outcomes(jobs, {})) words += result + "\n";
        struct stat info {};
        stat((folder / "setid.bvh").c_str(), &info);
        words += "setid mode " + std::to_string(info.st_mode & 07777);
        return words;
    });
    EXPECT_EQ(seen,
              "done\nfailed: output: Permission denied\ndone\nsetid mode " + std::to_string(0755));
    EXPECT_TRUE(readFile(folder / "setid.bvh") == expected);
    EXPECT_EQ(readFile(folder / "readonly.bvh"), "old\n");
    fs::permissions(folder / "writeonly", fs::perms::owner_all);
    EXPECT_TRUE(readFile(folder / "writeonly/new.bvh") == expected);
}

TEST(Run, ADryRunStopsReadingAtTheFirstByteThatIsNotBvh) {
    // /dev/zero never ends: only a check that stops there lets this test end.
    const Job job = fileJob("/dev/zero", "zero_max.bvh");
    EXPECT_EQ(outcomes({&job, 1}, {.requireBvh = true, .dryRun = true}),
              std::vector<std::string>({"failed: source: not a BVH file"}));
}

}  // namespace
}  // namespace skelvane::conversion
