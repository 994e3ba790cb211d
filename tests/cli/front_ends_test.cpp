// The window and the command line build their jobs each in their own way and hand them to the
// one run: the same files give the same jobs and the same results through both.
#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "cli/convert_run.h"
#include "joblist/batch_run.h"
#include "common/title_rule.h"
#include "support/test_files.h"

namespace skelvane::cli {
namespace {

namespace fs = std::filesystem;
using conversion::Job;
using conversion::JobResult;
using skelvane::testing::readFile;
using skelvane::testing::testdataDir;
using skelvane::testing::writeFile;

// Each result as "<status> <error> <other job>", and the bytes of each output after the run.
std::vector<std::string> runAndRemoveOutputs(const std::vector<Job>& jobs,
                                             const conversion::RunOptions& options) {
    conversion::JobObserver quiet;
    std::vector<std::string> seen;
    const std::vector<JobResult> results = conversion::runJobs(jobs, options, quiet);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const JobResult& result = results[i];
        seen.push_back(std::to_string(static_cast<int>(result.status)) + " " +
                       result.failure.error.message() + " " +
                       (result.otherJob ? std::to_string(*result.otherJob) : "-"));
        if (result.status == conversion::JobStatus::Done) {
            seen.push_back(readFile(jobs[i].output));
            fs::remove(jobs[i].output);
        }
    }
    return seen;
}

TEST(FrontEnds, TheWindowAndTheCommandLineMakeTheSameJobsWithTheSameResults) {
    skelvane::testing::TempFolder folder;
    const skelvane::testing::WorkingDirectory inFolder(folder.path());
    for (const char* name : {"a.bvh", "b.bvh", "c.bvh", "d.bvh"}) {
        writeFile(name, readFile(testdataDir() / "opencollar_kneel.bvh"));
    }
    writeFile("photo.bvh", "\x89PNG\r\n");
    fs::create_hard_link("a.bvh", "c_max.bvh");  // lands on another source
    fs::create_directory("d_max.bvh");           // cannot be replaced
    const std::vector<std::string> files{"a.bvh", "missing.bvh", "b.bvh",
                                         "c.bvh", "d.bvh",       "photo.bvh"};

    joblist::JobList list;
    ConvertRequest request;
    for (const std::string& file : files) {
        const std::string title = common::titleOf(file);
        list.appendRow(title, common::defaultOutputName(title), " ", file);
        request.files.push_back(file);
    }
    list.setPartFlag(2, 7, 1.0f);  // the window's red marker is the command line's --drop
    request.dropped.set(7);
    // Repeats and the BVH check are where the two differ; with none and --force they agree.
    request.force = true;

    const std::vector<Job> windowJobs = joblist::jobsOf(list);
    std::vector<Job> commandLineJobs = jobsOf(request);
    ASSERT_EQ(windowJobs.size(), commandLineJobs.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(windowJobs[i].source, commandLineJobs[i].source);
        EXPECT_EQ(windowJobs[i].output, commandLineJobs[i].output);
        EXPECT_EQ(windowJobs[i].skip, commandLineJobs[i].skip);
        // Parts are per row in the window and per run on the command line.
        if (i == 2) {
            EXPECT_EQ(windowJobs[i].dropped, commandLineJobs[i].dropped);
        }
        commandLineJobs[i].dropped = windowJobs[i].dropped;
    }

    const std::vector<std::string> window = runAndRemoveOutputs(windowJobs, joblist::kWindowRun);
    const std::vector<std::string> commandLine =
        runAndRemoveOutputs(commandLineJobs, optionsOf(request));
    EXPECT_EQ(window, commandLine);
    ASSERT_EQ(window.size(), 9u);
    EXPECT_EQ(window[2], "2 No such file or directory -");
    EXPECT_EQ(window[5], "2 the output is the source of another file of the run 0");
    EXPECT_EQ(window[6], "2 Is a directory -");
    EXPECT_EQ(window[7], "1 Success -");
    EXPECT_EQ(window[8], "\x89PNG\r\n");
}

}  // namespace
}  // namespace skelvane::cli
