#include "conversion/run/run_guard.h"

#include <gtest/gtest.h>

#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::TempFolder;
using skelvane::testing::writeFile;

platform::OutputTarget targetOf(const fs::path& output) {
    auto target = skelvane::testing::resolvedOutput(output);
    EXPECT_TRUE(target) << output << ": " << target.error().message();
    return std::move(target).value();
}

std::string verdict(const std::optional<Refusal>& refusal) {
    if (!refusal) return "safe";
    const std::string other = refusal->otherJob ? " " + std::to_string(*refusal->otherJob) : "";
    return make_error_code(refusal->error).message() + other;
}

// A file keeps its identity while it stands anywhere, so a file that comes to stand under an
// output's name with the identity of one the run replaced or made is what a reused inode looks
// like: another file, which a later output may replace.
TEST(RunGuard, AFileTheRunReplacedOrMadeCountsOnlyWhileItStandsWhereItStood) {
    TempFolder folder;
    writeFile(folder / "a.bvh", "old a\n");
    fs::create_hard_link(folder / "a.bvh", folder / "keep.bvh");
    RunGuard guard;
    guard.addWritten(targetOf(folder / "a.bvh"), folder / "a.bvh", 0);

    // Until the new output takes its place, the old file is the one it replaces.
    fs::copy_file(folder / "keep.bvh", folder / "b.bvh");
    fs::create_hard_link(folder / "a.bvh", folder / "alias.bvh");
    EXPECT_EQ(verdict(guard.refusal(targetOf(folder / "alias.bvh"), 1, true)),
              "the output was already written in this run 0");

    // Placed: the old file is gone from a.bvh and shows up as c.bvh.
    writeFile(folder / "new.bvh", "new a\n");
    fs::rename(folder / "new.bvh", folder / "a.bvh");
    fs::rename(folder / "keep.bvh", folder / "c.bvh");
    EXPECT_EQ(verdict(guard.refusal(targetOf(folder / "c.bvh"), 2, true)), "safe");

    // The file made counts while it is there, whatever name leads to it.
    guard.addMade(folder / "a.bvh", 0, platform::fileIdOf(folder / "a.bvh").value());
    fs::create_hard_link(folder / "a.bvh", folder / "made.bvh");
    EXPECT_EQ(verdict(guard.refusal(targetOf(folder / "made.bvh"), 3, true)),
              "the output was already written in this run 0");
    writeFile(folder / "other.bvh", "someone else's\n");
    fs::rename(folder / "other.bvh", folder / "a.bvh");
    EXPECT_EQ(verdict(guard.refusal(targetOf(folder / "made.bvh"), 3, true)), "safe");
    // The window's run lets a later row replace an earlier one's output.
    EXPECT_EQ(verdict(guard.refusal(targetOf(folder / "a.bvh"), 4, false)), "safe");
    EXPECT_EQ(verdict(guard.refusal(targetOf(folder / "a.bvh"), 4, true)),
              "the output was already written in this run 0");
}

TEST(RunGuard, FilesWhoseIdentityIsNotToldWholeAreTakenForAnyTheyMayBe) {
    TempFolder folder;
    writeFile(folder / "out.bvh", "old\n");
    writeFile(folder / "map.csv", "a mapping\n");
    const platform::OutputTarget out = targetOf(folder / "out.bvh");
    const platform::OutputTarget map = targetOf(folder / "map.csv");
    const platform::OutputTarget fresh = targetOf(folder / "new.bvh");

    // Standard output known only by its index, as wine tells it.
    RunGuard guard;
    guard.addMappingFile(map.existing());
    guard.addStreamWritten(
        platform::FileInfo{
            platform::FileId{platform::FileId::kUnknownDevice, out.existing()->inode}, 0644},
        0);
    EXPECT_EQ(verdict(guard.refusal(out, 1, true)), "the output was already written in this run 0");
    EXPECT_EQ(verdict(guard.refusal(map, 1, false)), "the output is the mapping file");
    EXPECT_EQ(verdict(guard.refusal(fresh, 1, true)), "safe");

    // A source, or standard output, whose identity is not told at all may be any file.
    RunGuard unknownSource;
    unknownSource.addSource(std::nullopt, true);
    EXPECT_EQ(verdict(unknownSource.refusal(out, 1, false)),
              "the system does not tell whether the output is a file of this run");
    EXPECT_EQ(verdict(unknownSource.refusal(fresh, 1, false)), "safe");
    RunGuard unknownStream;
    unknownStream.addStreamWritten(std::nullopt, 0);
    EXPECT_EQ(verdict(unknownStream.refusal(out, 1, false)), "safe");
    EXPECT_EQ(verdict(unknownStream.refusal(out, 1, true)),
              "the system does not tell whether the output is a file of this run");
    // A pipe or a terminal is never a file of the run.
    EXPECT_EQ(verdict(guard.streamRefusal(platform::FileInfo{std::nullopt, 0600}, true)), "safe");
    EXPECT_EQ(verdict(guard.streamRefusal(std::nullopt, true)),
              "the system does not tell whether the output is a file of this run");
}

}  // namespace
}  // namespace skelvane::conversion
