#pragma once

// What the tests of the group commit, portable and POSIX-only, share: jobs from a folder of
// sources into a folder of outputs, run with either kind of temporary.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/files/platform.h"
#include "conversion/run/run.h"
#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {

// Both ways of writing a temporary: unnamed, and named as where the filesystem has no unnamed
// files, whose names the cleanup must know.
class CommitGroupTest : public ::testing::TestWithParam<bool> {
protected:
    CommitGroupTest() { system_.namedTemporariesOnly = GetParam(); }

    // Jobs from sources in `sources/` (folder_/sources/NAME) into out/NAME.
    std::vector<Job> jobsFor(const std::vector<std::string>& names) {
        std::vector<Job> jobs;
        for (const std::string& name : names) {
            Job& job = jobs.emplace_back();
            job.source = folder_ / "sources" / name;
            job.output = folder_ / "out" / name;
            job.name = name;
        }
        return jobs;
    }

    // Names take1000.bvh... of `count` sources written in sources/ as a small Poser file.
    std::vector<std::string> smallSources(std::size_t count) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count; ++i) {
            names.push_back("take" + std::to_string(1000 + i) + ".bvh");
            skelvane::testing::writeFile(folder_ / "sources" / names.back(),
                                         "HIERARCHY\nROOT hip\n");
        }
        return names;
    }

    // Each job's outcome: "done" or the reason it failed.
    std::vector<std::string> run(const std::vector<Job>& jobs) {
        JobObserver quiet;
        std::vector<std::string> outcomes;
        for (const JobResult& result : runJobs(jobs, {}, quiet, system_)) {
            outcomes.push_back(result.status == JobStatus::Done ? "done"
                                                                : result.failure.error.message());
        }
        return outcomes;
    }

    void SetUp() override {
        std::filesystem::create_directories(folder_ / "sources");
        std::filesystem::create_directories(folder_ / "out");
    }

    skelvane::testing::TempFolder folder_;
    skelvane::testing::TestFileSystem system_;
    const std::filesystem::path small_ =
        skelvane::testing::testdataDir() / "qavimator_SLFemale_1frame.bvh";
    const std::filesystem::path large_ =
        skelvane::testing::testdataDir() / "opencollar_kneel.bvh";  // about 53 kB of output
};

}  // namespace skelvane::conversion
