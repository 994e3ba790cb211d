// The way outputs are written where the filesystem has no unnamed files: a hidden named
// temporary file that must never stay behind.
#include <gtest/gtest.h>

#include <memory>

#include "conversion/files/platform.h"
#include "conversion/pending_output_test.h"
#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;

TEST_F(NamedTemporaryTest, ACompletedOrFailedConversionLeavesOnlyWhatItShould) {
    EXPECT_FALSE(convert(source_, folder_ / "kneel.bvh"));
    EXPECT_EQ(readFile(folder_ / "kneel.bvh"), referenceConversionOf(source_));

    // A folder opens as a source but fails at the first read, after the temporary exists.
    fs::create_directory(folder_ / "folder.bvh");
    EXPECT_EQ(convert(folder_ / "folder.bvh", folder_ / "failed.bvh"), std::errc::is_a_directory);
    EXPECT_EQ(fileNamesIn(folder_.path()), (std::vector<std::string>{"folder.bvh", "kneel.bvh"}));
}

TEST_F(NamedTemporaryTest, NoneExistsThatTheSignalCleanupDoesNotKnow) {
    // One folder for all, as a run keeps it: the test needs no more handles than a user's limit.
    platform::FolderCache folders;
    std::vector<platform::OutputTarget> targets;
    targets.reserve(platform::kMaxTemporaries + 1);  // each pending output refers to its target
    std::vector<std::unique_ptr<platform::PendingOutput>> pending;
    std::error_code error;
    for (int i = 0; i <= platform::kMaxTemporaries && !error; ++i) {
        auto target =
            platform::OutputTarget::resolve(folder_ / (std::to_string(i) + ".bvh"), folders);
        ASSERT_TRUE(target);
        targets.push_back(std::move(target).value());
        auto created = platform::PendingOutput::create(targets.back(), 0644, system_);
        if (created) {
            pending.push_back(std::move(created).value());
        } else {
            error = created.error();
        }
    }
    // One more than the cleanup can hold is refused before its file exists.
    EXPECT_EQ(error, FileError::TooManyTemporaries);
    EXPECT_EQ(pending.size(), static_cast<std::size_t>(platform::kMaxTemporaries));
    EXPECT_EQ(fileNamesIn(folder_.path()).size(),
              static_cast<std::size_t>(platform::kMaxTemporaries));
    EXPECT_EQ(platform::heldTemporaries(), platform::kMaxTemporaries);
    pending.clear();
    EXPECT_TRUE(fileNamesIn(folder_.path()).empty());
    EXPECT_EQ(platform::heldTemporaries(), 0);
}

}  // namespace
}  // namespace skelvane::conversion
