#include "ui/run_progress.h"

#include <cmath>

#include <QDir>
#include <QProgressBar>

#include "ui/dialogs.h"
#include "ui/plain_text.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

constexpr double kProgressScale = 1000.0;

int toProgressUnits(float value) {
    return static_cast<int>(std::lround(static_cast<double>(value) * kProgressScale));
}

}  // namespace

RunProgress::RunProgress(QProgressBar& pbar, Dialogs& dialogs, QWidget& window)
    : pbar_(pbar), dialogs_(dialogs), window_(window) {}

// Queued calls from one thread to objects of another arrive in the order they were made. None
// waits: a run that waited for the window could never end while the window waits for the run.
void RunProgress::setProgressMaximum(float maximum) {
    QMetaObject::invokeMethod(
        &pbar_, [&pbar = pbar_, units = toProgressUnits(maximum)] { pbar.setRange(0, units); });
}

void RunProgress::setProgressValue(float value) {
    QMetaObject::invokeMethod(
        &pbar_, [&pbar = pbar_, units = toProgressUnits(value)] { pbar.setValue(units); });
}

void RunProgress::showInfo(std::string_view text) {
    QMetaObject::invokeMethod(
        &window_, [&dialogs = dialogs_, &window = window_, message = fromBytes(text)] {
            dialogs.showMessage(&window, message, QString::fromLatin1(kInfoTitle));
        });
}

RunSummary::RunSummary(const joblist::JobList& jobs)
    : folder_(QDir::toNativeSeparators(QDir::currentPath())) {
    for (int row = 0; row < jobs.rowCount(); ++row) skipped_ += jobs.isSkipped(row) ? 1 : 0;
}

QString RunSummary::of(const joblist::RunReport& report) const {
    return plainToolTip(QStringLiteral("%1 written, %2 skipped, %3 failed, into %4")
                            .arg(report.written.size())
                            .arg(skipped_)
                            .arg(report.failures.size())
                            .arg(folder_));
}

QString failureMessage(const joblist::RunReport& report, const joblist::JobList& jobs) {
    if (report.ok()) return {};
    QString message = QStringLiteral("These rows were not converted:");
    for (const auto& failure : report.failures) {
        message += QStringLiteral("\n\nRow %1 (%2): %3\n%4")
                       .arg(failure.row + 1)
                       .arg(fromBytes(jobs.title(failure.row)), fromBytes(failure.path),
                            QString::fromLocal8Bit(failure.reason));
    }
    return message;
}

}  // namespace skelvane::ui
