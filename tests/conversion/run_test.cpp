// The one run both front ends use: each source read once through one handle, only regular files
// replaced, and the commit made to the very file the guard approved.
#include "conversion/run/run.h"

#include <gtest/gtest.h>

#include "conversion/files/platform.h"
#include "conversion/run_test.h"
#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::TempFolder;
using skelvane::testing::testdataDir;
using skelvane::testing::writeFile;

TEST(Run, WritesWhereTheFilesystemKeepsNoModes) {
    TempFolder folder;
    const fs::path source = testdataDir() / "opencollar_kneel.bvh";
    writeFile(folder / "old.bvh", "old\n");
    skelvane::testing::TestFileSystem fat;
    fat.refusePermissionChanges = true;
    const std::vector<std::string> seen = outcomes(
        std::vector{fileJob(source, folder / "new.bvh"), fileJob(source, folder / "old.bvh")}, {},
        fat);
    EXPECT_EQ(seen, std::vector<std::string>({"done", "done"}));
    EXPECT_TRUE(readFile(folder / "new.bvh") == referenceConversionOf(source));
    EXPECT_TRUE(readFile(folder / "old.bvh") == referenceConversionOf(source));
}

}  // namespace
}  // namespace skelvane::conversion
