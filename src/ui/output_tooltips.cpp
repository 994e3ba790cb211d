#include "ui/output_tooltips.h"

#include <QDir>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "common/title_rule.h"
#include "ui/plain_text.h"
#include "ui/text.h"

namespace skelvane::ui {

QString outputPath(const std::string& outputName) {
    const QString file = fromBytes(common::outputFileName(outputName));
    return QDir::toNativeSeparators(QDir::current().filePath(file));
}

OutputToolTips::OutputToolTips(QWidget& Command2) : Command2_(Command2) {
    Command2_.installEventFilter(this);
}

bool OutputToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &Command2_ || event->type() != QEvent::ToolTip) return false;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       plainToolTip(QStringLiteral("Writes the outputs into ") +
                                    QDir::toNativeSeparators(QDir::currentPath())),
                       &Command2_);
    return true;
}

}  // namespace skelvane::ui
