#include "ui/run_progress.h"

#include <cmath>

#include <QProgressBar>

#include "ui/dialogs.h"
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

void RunProgress::setProgressMaximum(float maximum) {
    pbar_.setRange(0, toProgressUnits(maximum));
}

void RunProgress::setProgressValue(float value) {
    pbar_.setValue(toProgressUnits(value));
    pbar_.repaint();
}

void RunProgress::showInfo(std::string_view text) {
    dialogs_.showMessage(&window_, fromBytes(text), QString::fromLatin1(kInfoTitle));
}

QString failureMessage(const conversion::RunReport& report, const joblist::JobList& jobs) {
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
