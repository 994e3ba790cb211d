#include "joblist/batch_run.h"

#include "common/title_rule.h"
#include "conversion/files/platform.h"

namespace skelvane::joblist {

namespace platform = conversion::platform;
using conversion::JobObserver;
using conversion::JobResult;
using conversion::JobStatus;

namespace {

// Row i - 1 starts as value i, before it is looked at.
class RowProgress final : public JobObserver {
public:
    explicit RowProgress(RunObserver& observer) : observer_(observer) {}
    void jobStarting(std::size_t job) override {
        observer_.setProgressValue(static_cast<float>(job + 1));
    }

private:
    RunObserver& observer_;
};

}  // namespace

std::vector<Job> jobsOf(const JobList& list) {
    std::vector<Job> jobs;
    for (int row = 0; row < list.rowCount(); ++row) {
        Job& job = jobs.emplace_back();
        job.source = platform::pathFromBytes(list.sourcePath(row));
        job.output = platform::pathFromBytes(common::outputFileName(list.outputName(row)));
        job.dropped = list.droppedParts(row);
        job.skip = list.isSkipped(row);
        job.mapping = list.mapping(row);
        job.name = "row " + std::to_string(row + 1);
        job.sourceRole = "the source of " + job.name;
    }
    return jobs;
}

RunReport convertAll(const JobList& list, RunObserver& observer) {
    RunReport report;
    const int rowCount = list.rowCount();
    // The maximum sits a hair above the row count, set before the empty test.
    observer.setProgressMaximum(static_cast<float>(rowCount + 0.001));
    if (rowCount == 0) {
        observer.showInfo(kNothingToConvert);
        return report;
    }

    const std::vector<Job> jobs = jobsOf(list);
    RowProgress progress(observer);
    const std::vector<JobResult> results = conversion::runJobs(jobs, kWindowRun, progress);
    for (std::size_t i = 0; i < results.size(); ++i) {
        const JobResult& result = results[i];
        const Job& job = jobs[i];
        if (result.status == JobStatus::Done) {
            report.written.push_back(platform::bytesOfPath(job.output));
        } else if (result.status == JobStatus::Failed) {
            const auto& path =
                result.failure.side == conversion::Side::Source ? job.source : job.output;
            report.failures.push_back({static_cast<int>(i), platform::bytesOfPath(path),
                                       result.failure.error, conversion::reasonOf(result, jobs)});
        }
    }
    return report;
}

RowInspection inspectRow(const JobList& list, int row) {
    Job job = jobsOf(list).at(static_cast<std::size_t>(row));
    job.output.clear();
    job.skip = false;
    struct Keeper final : JobObserver {
        std::optional<JointReport> report;
        void jobFinished(std::size_t, const JobResult&, const JointReport* joints) override {
            if (joints != nullptr) report = *joints;
        }
    } keeper;
    RunOptions inspect = kWindowRun;
    inspect.dryRun = true;
    inspect.check = true;
    inspect.findRoles = true;
    const JobResult result = conversion::runJobs({&job, 1}, inspect, keeper).front();
    if (keeper.report) return {std::move(*keeper.report), result.mapping};
    return {FileFailure{job.source, result.failure.error}, result.mapping};
}

}  // namespace skelvane::joblist
