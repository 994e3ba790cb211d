#include "conversion/batch_run.h"

#include "conversion/file_converter.h"
#include "conversion/rename_table.h"
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

    for (int i = 1; i <= rowCount; ++i) {
        observer.setProgressValue(static_cast<float>(i));
        const int row = i - 1;
        if (jobs.isSkipped(row)) continue;

        std::string outputName = joblist::outputFileName(jobs.outputName(row));
        if (auto failure =
                convertFile(jobs.sourcePath(row), outputName, droppedPartsOf(jobs, row))) {
            report.failures.push_back({row, std::move(failure->path), std::move(failure->reason)});
        } else {
            report.written.push_back(std::move(outputName));
        }
    }
    return report;
}

}  // namespace skelvane::conversion
