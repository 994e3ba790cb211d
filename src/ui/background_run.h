#pragma once

#include <variant>

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include "joblist/batch_run.h"

namespace skelvane::ui {

/// The window's work that reads files: Convert's batch run and a row's inspection for Show
/// joints, one at a time on a pool thread. Each works on a copy of the job list taken when it
/// starts. What the work reports reaches the window as signals, queued to the window's thread
/// in the order they were made; at the end come runningChanged(false), then the result.
class BackgroundRun final : public QObject, private joblist::RunObserver {
    Q_OBJECT

public:
    explicit BackgroundRun(QObject* parent = nullptr);
    /// Waits for work still going on, which is writing the user's files and must be allowed to
    /// put them in place and sweep its temporaries; the signals it still makes are dropped.
    ~BackgroundRun() override;

    /// True from the start of a piece of work until it has ended.
    bool isRunning() const { return running_; }

    /// Converts every row of the list (see joblist::convertAll); does nothing while running.
    void convert(joblist::JobList jobs);
    /// Reads what a row's source holds (see joblist::inspectRow); does nothing while running.
    void inspect(joblist::JobList jobs, int row);

signals:
    /// Work started (true) or ended (false), in the latter case just before its result.
    void runningChanged(bool running);
    /// The progress bar's maximum for the batch run: the row count + 0.001, before anything else.
    void progressMaximum(float maximum);
    /// The progress value i = 1..N at the start of row i - 1, skipped or not.
    void progressValue(float value);
    /// A message for the user ("Nothing to Convert!").
    void info(const QString& text);
    /// The batch run ended.
    void converted(const joblist::RunReport& report);
    /// The inspection of a row ended.
    void inspected(int row, const joblist::RowInspection& inspection);

private:
    struct Inspected {
        int row;
        joblist::RowInspection inspection;
    };
    using Outcome = std::variant<joblist::RunReport, Inspected>;

    template <typename Work>
    void start(Work work);
    void handOn();

    // Called on the worker thread: each emits a signal, queued to the window's thread.
    void setProgressMaximum(float maximum) override;
    void setProgressValue(float value) override;
    void showInfo(std::string_view text) override;

    QFutureWatcher<Outcome> watcher_;
    bool running_ = false;
};

}  // namespace skelvane::ui
