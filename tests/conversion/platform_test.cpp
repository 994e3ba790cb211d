// The promises of the system interface, each tried the same way on every system it runs on.
#include "conversion/files/platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "conversion/run/run.h"
#include "support/test_file_system.h"
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

// The identity of a file the system tells: every file in a test folder is one.
std::optional<platform::FileId> idOf(const fs::path& path) {
    const auto id = platform::fileIdOf(path);
    EXPECT_TRUE(id) << path;
    return id ? *id : std::nullopt;
}

TEST(Platform, TwoNamesOfOneFileHaveOneIdentityAndTwoFilesTwo) {
    TempFolder folder;
    fs::create_directory(folder / "sub");
    writeFile(folder / "a.bvh", "same bytes\n");
    writeFile(folder / "b.bvh", "same bytes\n");
    fs::create_hard_link(folder / "a.bvh", folder / "hard.bvh");
    const auto a = idOf(folder / "a.bvh");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(idOf(folder / "sub/../a.bvh"), a);
    EXPECT_EQ(idOf(folder / "hard.bvh"), a);
    EXPECT_NE(idOf(folder / "b.bvh"), a);
    // An open file is known by the same identity, a folder by one of its own.
    const auto open = platform::openForReading(folder / "hard.bvh");
    ASSERT_TRUE(open) << open.error().message();
    EXPECT_EQ(platform::regularFileIdOf(open->handle()), a);
    const auto sub = idOf(folder / "sub");
    ASSERT_TRUE(sub.has_value());
    EXPECT_EQ(idOf(folder / "sub/."), sub);
    EXPECT_NE(sub, a);
    EXPECT_EQ(idOf(folder / "missing.bvh"), std::nullopt);
}

TEST(Platform, ACommittedOutputReplacesTheOldOneAndAnAbandonedOneLeavesItAsItWas) {
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named temporary" : "unnamed temporary");
        skelvane::testing::TestFileSystem system;
        system.namedTemporariesOnly = named;
        TempFolder folder;
        writeFile(folder / "out.bvh", "old content, longer than the new\n");
        const int registered = platform::heldTemporaries();
        for (const bool commit : {false, true}) {
            SCOPED_TRACE(commit ? "committed" : "abandoned");
            const auto target = skelvane::testing::resolvedOutput(folder / "out.bvh");
            ASSERT_TRUE(target) << target.error().message();
            EXPECT_EQ(target->existing(), idOf(folder / "out.bvh"));
            {
                const auto pending = platform::PendingOutput::create(*target, 0644, system);
                ASSERT_TRUE(pending) << pending.error().message();
                ASSERT_FALSE(platform::writeAll((*pending)->handle(), "HIERARCHY\r\n"));
                if (commit) {
                    EXPECT_FALSE(skelvane::testing::commitAlone(**pending));
                }
            }
            EXPECT_EQ(readFile(folder / "out.bvh"),
                      commit ? "HIERARCHY\r\n" : "old content, longer than the new\n");
            EXPECT_EQ(fileNamesIn(folder.path()), std::vector<std::string>{"out.bvh"});
            EXPECT_EQ(platform::heldTemporaries(), registered);
        }
    }
}

TEST(Platform, NamesOfAnyLettersReachTheirFilesAsBytesAndBack) {
    // "Tänzerin 舞 💃.bvh" in UTF-8: letters of two bytes, of three and of four.
    const std::string dancer = "T\xC3\xA4nzerin \xE8\x88\x9E \xF0\x9F\x92\x83.bvh";
    EXPECT_EQ(platform::bytesOfPath(platform::pathFromBytes(dancer)), dancer);
#ifdef _WIN32
    // Windows takes names that are not valid UTF-16: a lone surrogate travels as WTF-8.
    const fs::path odd = L"lone \xD800.bvh";
    EXPECT_EQ(platform::bytesOfPath(odd), "lone \xED\xA0\x80.bvh");
#else
    // Linux takes any bytes but '/' and NUL.
    const fs::path odd = "not utf-8 \xFF\xFE.bvh";
    EXPECT_EQ(platform::bytesOfPath(odd), "not utf-8 \xFF\xFE.bvh");
#endif
    EXPECT_EQ(platform::pathFromBytes(platform::bytesOfPath(odd)), odd);

    TempFolder folder;
    const fs::path source = testdataDir() / "qavimator_SLFemale_1frame.bvh";
    std::vector<fs::path> names{platform::pathFromBytes(dancer), odd};
    // Wine keeps each name as UTF-8 on the Unix side, which cannot spell a lone surrogate.
    if (skelvane::testing::underWine()) names.pop_back();
    for (const fs::path& name : names) {
        SCOPED_TRACE(platform::bytesOfPath(name));
        writeFile(folder.path() / name, readFile(source));
        Job job;
        job.source = folder.path() / name;
        job.output = folder.path() / fs::path(name).replace_extension(".out.bvh");
        JobObserver quiet;
        const JobResult result = runJobs({&job, 1}, {}, quiet).front();
        EXPECT_EQ(result.status, JobStatus::Done) << result.failure.error.message();
        EXPECT_TRUE(readFile(job.output) == referenceConversionOf(source));
    }
    EXPECT_EQ(fileNamesIn(folder.path()).size(), 2 * names.size());
}

#ifdef _WIN32
TEST(Platform, ReservedDeviceNamesAreRefusedAsOutputsWhateverTheirCaseAndExtension) {
    TempFolder folder;
    for (const char* name : {"NUL", "com1.bvh", "LPT9.x.bvh", "Con .bvh", "aux.BVH"}) {
        SCOPED_TRACE(name);
        const auto target = skelvane::testing::resolvedOutput(folder / name);
        ASSERT_FALSE(target);
        EXPECT_EQ(target.error(), FileError::NotRegularOutput);
    }
    for (const char* name : {"console.bvh", "com10.bvh", "nul_max.bvh"}) {
        SCOPED_TRACE(name);
        const auto target = skelvane::testing::resolvedOutput(folder / name);
        ASSERT_TRUE(target) << target.error().message();
        EXPECT_EQ(target->existing(), std::nullopt);
    }
}
#endif

TEST(Platform, NamesCompareAsTheSystemsFoldersCompareThem) {
    const std::set<fs::path> names{platform::comparableName("A.bvh"),
                                   platform::comparableName("a.bvh")};
#ifdef _WIN32
    EXPECT_EQ(names.size(), 1u);
#else
    EXPECT_EQ(names.size(), 2u);
#endif
    EXPECT_EQ(platform::comparableName("take.bvh") == platform::comparableName("take2.bvh"), false);
}

TEST(FolderCache, HoldsSixtyFourFoldersAndForgetsThemAllToTakeTheSixtyFifth) {
    TempFolder folder;
    std::vector<fs::path> paths;
    for (int i = 1; i <= 65; ++i) {
        paths.push_back(folder / ("f" + std::to_string(i)));
        fs::create_directory(paths.back());
    }
    platform::FolderCache cache;
    // The folder the cache gives for a path, null when it gives none.
    const auto open = [&cache](const fs::path& path) {
        auto folder = cache.open(path);
        EXPECT_TRUE(folder) << path << ": " << folder.error().message();
        return folder ? *folder : nullptr;
    };
    const auto first = open(paths[0]);
    ASSERT_NE(first, nullptr);
    const std::weak_ptr<const platform::Folder> second = open(paths[1]);
    for (std::size_t i = 2; i < 64; ++i) open(paths[i]);
    // Full: a folder opened again is the one opened first, and one that cannot be opened takes
    // no place.
    EXPECT_EQ(open(paths[0]), first);
    EXPECT_FALSE(cache.open(folder / "missing"));
    EXPECT_EQ(open(paths[0]), first);
    EXPECT_FALSE(second.expired());

    const auto last = open(paths[64]);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(open(paths[64]), last) << "the 65th is kept";
    EXPECT_TRUE(second.expired()) << "forgotten and closed, as nothing else held it";
    EXPECT_TRUE(first->handle.isOpen()) << "forgotten but still held, so still open";
    const auto again = open(paths[0]);
    EXPECT_NE(again, first) << "opened anew";
    EXPECT_EQ(again->id, first->id);
}

}  // namespace
}  // namespace skelvane::conversion
