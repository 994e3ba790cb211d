// The way outputs are written where the filesystem has no unnamed files: a hidden named
// temporary file that must never stay behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "conversion/platform.h"
#include "conversion/run.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::TempFolder;
using skelvane::testing::testdataDir;

class NamedTemporaryTest : public ::testing::Test {
protected:
    NamedTemporaryTest() { platform::testing::useNamedTemporaries(true); }
    ~NamedTemporaryTest() override { platform::testing::useNamedTemporaries(false); }

    // Converts `source` into `output` as the window's run does; returns the error, if any.
    std::error_code convert(const fs::path& source, const fs::path& output) {
        Job job;
        job.source = source;
        job.output = output;
        JobObserver quiet;
        return runJobs({&job, 1}, {}, quiet).front().error;
    }

    const fs::path source_ = testdataDir() / "opencollar_kneel.bvh";
    TempFolder folder_;
};

TEST_F(NamedTemporaryTest, ACompletedOrFailedConversionLeavesOnlyWhatItShould) {
    EXPECT_FALSE(convert(source_, folder_ / "kneel.bvh"));
    EXPECT_EQ(readFile(folder_ / "kneel.bvh"), referenceConversionOf(source_));

    // A folder opens as a source but fails at the first read, after the temporary exists.
    fs::create_directory(folder_ / "folder.bvh");
    EXPECT_EQ(convert(folder_ / "folder.bvh", folder_ / "failed.bvh"), std::errc::is_a_directory);
    EXPECT_EQ(fileNamesIn(folder_.path()), (std::vector<std::string>{"folder.bvh", "kneel.bvh"}));
}

TEST_F(NamedTemporaryTest, SignalsRemoveItAndEndTheProgramAsTheyWould) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signalNumber));
        const pid_t child = fork();
        if (child == 0) {
            platform::installSignalCleanup();
            std::error_code error;
            const auto target = platform::OutputTarget::resolve(folder_ / "out.bvh", error);
            platform::PendingOutput pending(target, 0644, error);
            if (error || platform::writeAll(pending.handle(), "HIERARCHY\r\n")) _exit(10);
            if (fileNamesIn(folder_.path()).size() != 1) _exit(11);  // the temporary is there
            raise(signalNumber);
            _exit(12);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_TRUE(fileNamesIn(folder_.path()).empty());
    }
}

TEST_F(NamedTemporaryTest, NoneExistsThatTheSignalCleanupDoesNotKnow) {
    std::vector<platform::OutputTarget> targets;
    targets.reserve(platform::kMaxTemporaries + 1);  // each pending output refers to its target
    std::vector<std::unique_ptr<platform::PendingOutput>> pending;
    std::error_code error;
    for (int i = 0; i <= platform::kMaxTemporaries && !error; ++i) {
        targets.push_back(
            platform::OutputTarget::resolve(folder_ / (std::to_string(i) + ".bvh"), error));
        ASSERT_FALSE(error);
        pending.push_back(std::make_unique<platform::PendingOutput>(targets.back(), 0644, error));
    }
    // One more than the cleanup can hold is refused before its file exists.
    EXPECT_EQ(error, RunError::TooManyTemporaries);
    EXPECT_EQ(pending.size(), static_cast<std::size_t>(platform::kMaxTemporaries) + 1);
    EXPECT_EQ(fileNamesIn(folder_.path()).size(),
              static_cast<std::size_t>(platform::kMaxTemporaries));
    EXPECT_EQ(platform::testing::registeredTemporaries(), platform::kMaxTemporaries);
    pending.clear();
    EXPECT_TRUE(fileNamesIn(folder_.path()).empty());
    EXPECT_EQ(platform::testing::registeredTemporaries(), 0);
}

}  // namespace
}  // namespace skelvane::conversion
