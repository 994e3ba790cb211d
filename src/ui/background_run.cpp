#include "ui/background_run.h"

#include <utility>

#include <QtConcurrent/QtConcurrentRun>

#include "ui/text.h"

namespace skelvane::ui {

BackgroundRun::BackgroundRun(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcherBase::finished, this, &BackgroundRun::handOn);
}

BackgroundRun::~BackgroundRun() {
    disconnect();
    watcher_.waitForFinished();
}

void BackgroundRun::convert(joblist::JobList jobs) {
    start([this, jobs = std::move(jobs)]() -> Outcome { return joblist::convertAll(jobs, *this); });
}

void BackgroundRun::inspect(joblist::JobList jobs, int row) {
    start([jobs = std::move(jobs), row]() -> Outcome {
        return Inspected{row, joblist::inspectRow(jobs, row)};
    });
}

template <typename Work>
void BackgroundRun::start(Work work) {
    if (running_) return;
    running_ = true;
    emit runningChanged(true);
    watcher_.setFuture(QtConcurrent::run(std::move(work)));
}

// The watcher hears of the end from the worker thread after everything the work itself sent,
// so the window has seen all of its progress by now. The window takes input again before it
// shows the result, which may open a dialog over it.
void BackgroundRun::handOn() {
    const Outcome outcome = watcher_.result();
    running_ = false;
    emit runningChanged(false);
    if (const auto* report = std::get_if<joblist::RunReport>(&outcome)) {
        emit converted(*report);
    } else {
        const auto& [row, inspection] = std::get<Inspected>(outcome);
        emit inspected(row, inspection);
    }
}

void BackgroundRun::setProgressMaximum(float maximum) {
    emit progressMaximum(maximum);
}

void BackgroundRun::setProgressValue(float value) {
    emit progressValue(value);
}

void BackgroundRun::showInfo(std::string_view text) {
    emit info(fromBytes(text));
}

}  // namespace skelvane::ui
