#include "cli/convert_run.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "support/test_files.h"

namespace skelvane::cli {
namespace {

// A folder without a separator at its end gets the system's own.
#ifdef _WIN32
#define SEPARATOR "\\"
#else
#define SEPARATOR "/"
#endif

struct SummaryCase {
    const char* name;
    RunTally tally;
    const char* outputDir;
    bool dryRun;
    const char* expected;
};

const SummaryCase kSummaryCases[] = {
    {"FolderEndingInASlashKeepsOne",
     {4, 3, 0, 1, 0},
     "out/",
     false,
     "4 files: 3 converted into out/, 1 refused"},
    {"FolderAndStandardOutput",
     {3, 2, 1, 0, 0},
     "/tmp/x",
     false,
     "3 files: 2 converted into /tmp/x" SEPARATOR ", 1 to standard output"},
    {"StandardOutputOnly", {1, 0, 1, 0, 0}, "out", false, "1 file: 1 converted to standard output"},
    {"NoneConverted", {3, 0, 0, 1, 2}, "", false, "3 files: 1 refused, 2 failed"},
    {"DryRunThatCouldNotRead", {1, 0, 0, 0, 1}, "", true, "1 file: 1 failed; nothing was written"},
    {"FolderNameAsText",
     {1, 1, 0, 0, 0},
     "\x1b[2J",
     false,
     "1 file: 1 converted into \\x1b[2J" SEPARATOR},
};

void PrintTo(const SummaryCase& summaryCase, std::ostream* out) {
    *out << summaryCase.name;
}

class RunSummary : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(RunSummary, CountsEachWayAFileEnded) {
    const SummaryCase& c = GetParam();
    EXPECT_EQ(summaryOf(c.tally, c.outputDir, c.dryRun), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RunSummary, ::testing::ValuesIn(kSummaryCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The help, the version or the list of mappings sent where it cannot be written (a full disk, a
// closed stream; here a file open only for reading) fails as the dry run's report does.
TEST(PrintRequested, TextThatCannotBeWrittenIsAFailureSaidOnStandardError) {
    skelvane::testing::TempFolder folder;
    const std::filesystem::path file = folder / "list.txt";
    skelvane::testing::writeFile(file, "before\n");
    const auto readOnly = conversion::platform::openForReading(file);
    ASSERT_TRUE(readOnly) << readOnly.error().message();

    std::ostringstream said;
    std::streambuf* const standardError = std::cerr.rdbuf(said.rdbuf());
    const int status = printRequested(readOnly->handle(), "poser-max  contains  36\n");
    std::cerr.rdbuf(standardError);

    EXPECT_EQ(status, 1);
    // The reason is the system's own words, which differ between systems.
    EXPECT_TRUE(said.str().starts_with("skelvane-convert: standard output: ")) << said.str();
    EXPECT_TRUE(said.str().ends_with("\n"));
    EXPECT_GT(said.str().size(), std::string_view("skelvane-convert: standard output: \n").size());
    EXPECT_EQ(skelvane::testing::readFile(file), "before\n");
}

}  // namespace
}  // namespace skelvane::cli
