#include "ui/output_tooltips.h"

#include <QDir>
#include <QHelpEvent>
#include <QToolTip>

#include "common/title_rule.h"
#include "ui/list_box.h"
#include "ui/plain_text.h"
#include "ui/text.h"

namespace skelvane::ui {

OutputToolTips::OutputToolTips(const joblist::JobList& jobs, ListBox& List2, QWidget& Command2)
    : jobs_(jobs), List2_(List2), Command2_(Command2) {
    List2_.viewport()->installEventFilter(this);
    Command2_.installEventFilter(this);
}

// Joined as the run opens it: relative to the working directory, an absolute name as it is.
QString OutputToolTips::outputPath(int row) const {
    const QString file = fromBytes(common::outputFileName(jobs_.outputName(row)));
    return QDir::toNativeSeparators(QDir::current().filePath(file));
}

bool OutputToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    if (watched == &Command2_) {
        QToolTip::showText(help->globalPos(),
                           plainToolTip(QStringLiteral("Writes the outputs into ") +
                                        QDir::toNativeSeparators(QDir::currentPath())),
                           &Command2_);
        return true;
    }
    const QListWidgetItem* item = List2_.itemAt(help->pos());
    if (item == nullptr) {
        QToolTip::hideText();
        return true;
    }
    // Read from the job list, which holds what Convert writes: an edit not yet committed to
    // the row is not part of it.
    QToolTip::showText(help->globalPos(), plainToolTip(outputPath(List2_.row(item))),
                       List2_.viewport(), List2_.visualItemRect(item));
    return true;
}

}  // namespace skelvane::ui
