#pragma once

// What the run's tests, portable and POSIX-only, share: jobs from paths and their outcomes in
// words.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "conversion/run/run.h"

namespace skelvane::conversion {

inline constexpr RunOptions kCommandLine{.requireBvh = true, .refuseRepeatedOutputs = true};

inline Job fileJob(const std::filesystem::path& source, const std::filesystem::path& output) {
    Job job;
    job.source = source;
    job.output = output;
    job.name = source.string();
    job.sourceRole = "the source of " + job.name;
    return job;
}

// What the observer saw of each job: its report in a dry run.
struct Recorder final : JobObserver {
    std::vector<std::optional<JointReport>> reports;
    void jobFinished(std::size_t, const JobResult&, const JointReport* joints) override {
        reports.push_back(joints != nullptr ? std::optional(*joints) : std::nullopt);
    }
};

// A job's result in words: "done", "skipped" or "failed: <side>: <reason>".
inline std::string outcome(const JobResult& result, std::span<const Job> jobs) {
    if (result.status == JobStatus::Done) return "done";
    if (result.status == JobStatus::Skipped) return "skipped";
    return std::string("failed: ") +
           (result.failure.side == Side::Source ? "source: " : "output: ") + reasonOf(result, jobs);
}

inline std::vector<std::string> outcomes(
    std::span<const Job> jobs, const RunOptions& options,
    platform::FileSystem& system = platform::realFileSystem()) {
    Recorder recorder;
    std::vector<std::string> words;
    for (const JobResult& result : runJobs(jobs, options, recorder, system)) {
        words.push_back(outcome(result, jobs));
    }
    return words;
}

}  // namespace skelvane::conversion
