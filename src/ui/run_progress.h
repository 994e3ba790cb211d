#pragma once

#include <QString>

#include "joblist/batch_run.h"

namespace skelvane::ui {

/// A batch run's progress value or maximum as the units of the window's progress bar: scaled by
/// 1000, so that the run's single-precision maximum (row count + 0.001) survives Qt's whole
/// numbers.
int progressUnits(float value);

/// The progress bar's account of a run once it has ended, such as "3 written, 1 skipped, 0
/// failed, into /home/me/motion": the skipped rows are counted and the folder is read when the
/// run starts.
class RunSummary {
public:
    /// The account of no run.
    RunSummary() = default;
    /// Takes the job list and the working directory as the run is about to find them.
    explicit RunSummary(const joblist::JobList& jobs);

    /// The account of the run that ended with the report, as a tooltip.
    QString of(const joblist::RunReport& report) const;

private:
    int skipped_ = 0;
    QString folder_;
};

/// The message that lists the rows a run could not convert, one line each with its file and
/// the reason; empty when every row went through.
QString failureMessage(const joblist::RunReport& report, const joblist::JobList& jobs);

}  // namespace skelvane::ui
