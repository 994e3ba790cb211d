#include "conversion/batch_run.h"

#include "conversion/file_converter.h"
#include "conversion/rename_table.h"
#include "conversion/run_guard.h"
#include "joblist/title_rule.h"

namespace skelvane::conversion {

RunReport convertAll(const joblist::JobList& jobs, RunObserver& observer) {
    RunReport report;
    const int rowCount = jobs.rowCount();
    // The maximum sits a hair above the row count, set before the empty test.
    observer.setProgressMaximum(static_cast<float>(rowCount + 0.001));
    if (rowCount == 0) {
        observer.showInfo(kNothingToConvert);
        return report;
    }

    // No row may write over the source of any row, skipped or not.
    RunGuard guard;
    for (int row = 0; row < rowCount; ++row) {
        guard.addSource(jobs.sourcePath(row), "the source of row " + std::to_string(row + 1));
    }

    for (int i = 1; i <= rowCount; ++i) {
        observer.setProgressValue(static_cast<float>(i));
        const int row = i - 1;
        if (jobs.isSkipped(row)) continue;

        std::string outputName = joblist::outputFileName(jobs.outputName(row));
        if (auto reason = guard.refusal(outputName, jobs.sourcePath(row))) {
            report.failures.push_back({row, std::move(outputName), std::move(*reason)});
        } else if (auto failure =
                       convertFile(jobs.sourcePath(row), outputName, droppedPartsOf(jobs, row))) {
            report.failures.push_back({row, std::move(failure->path), std::move(failure->reason)});
        } else {
            report.written.push_back(std::move(outputName));
        }
    }
    return report;
}

}  // namespace skelvane::conversion
