#include "ui/run_progress.h"

#include <cmath>

#include <QDir>

#include "ui/plain_text.h"
#include "ui/text.h"

namespace skelvane::ui {

int progressUnits(float value) {
    constexpr double kProgressScale = 1000.0;
    return static_cast<int>(std::lround(static_cast<double>(value) * kProgressScale));
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
