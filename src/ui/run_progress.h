#pragma once

#include <QString>

#include "conversion/batch_run.h"

class QProgressBar;
class QWidget;

namespace skelvane::ui {

class Dialogs;

/// Shows a batch run to the user: its progress in the window's progress bar, scaled by 1000 so
/// that the run's single-precision maximum (row count + 0.001) survives Qt's whole numbers, and
/// its messages in a message box. Called from another thread, it hands each report on to the
/// window's thread, in the order made, without waiting for it to be shown.
class RunProgress final : public conversion::RunObserver {
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

/// The message that lists the rows a run could not convert, one line each with its file and
/// the reason; empty when every row went through.
QString failureMessage(const conversion::RunReport& report, const joblist::JobList& jobs);

}  // namespace skelvane::ui
