#pragma once

#include <QString>

#include "joblist/batch_run.h"

class QProgressBar;
class QWidget;

namespace skelvane::ui {

class Dialogs;

/// Shows a batch run to the user: its progress in the window's progress bar, scaled by 1000 so
/// that the run's single-precision maximum (row count + 0.001) survives Qt's whole numbers, and
/// its messages in a message box. Called from another thread, it hands each report on to the
/// window's thread, in the order made, without waiting for it to be shown.
class RunProgress final : public joblist::RunObserver {
public:
    /// Reports to the progress bar and through the dialogs, on behalf of the window.
    RunProgress(QProgressBar& pbar, Dialogs& dialogs, QWidget& window);

    void setProgressMaximum(float maximum) override;
    void setProgressValue(float value) override;
    void showInfo(std::string_view text) override;

private:
    QProgressBar& pbar_;
    Dialogs& dialogs_;
    QWidget& window_;
};

/// The progress bar's account of a run once it has ended, such as "3 written, 1 skipped, 0
/// failed, into /home/me/motion": the skipped rows are counted and the folder is read when the
/// run starts.
class RunSummary {
public:
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
