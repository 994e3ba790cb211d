#include "cli/convert_run.h"

#include <gtest/gtest.h>

namespace skelvane::cli {
namespace {

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
     "3 files: 2 converted into /tmp/x/, 1 to standard output"},
    {"StandardOutputOnly", {1, 0, 1, 0, 0}, "out", false, "1 file: 1 converted to standard output"},
    {"NoneConverted", {3, 0, 0, 1, 2}, "", false, "3 files: 1 refused, 2 failed"},
    {"DryRunThatCouldNotRead", {1, 0, 0, 0, 1}, "", true, "1 file: 1 failed; nothing was written"},
    {"FolderNameAsText", {1, 1, 0, 0, 0}, "\x1b[2J", false, "1 file: 1 converted into \\x1b[2J/"},
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

}  // namespace
}  // namespace skelvane::cli
