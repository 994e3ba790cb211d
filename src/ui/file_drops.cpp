#include "ui/file_drops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace skelvane::ui {

FileDrops::FileDrops(QWidget& window) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

void FileDrops::watch(QWidget& control) {
    control.installEventFilter(this);
}

void FileDrops::setEnabled(bool enabled) {
    enabled_ = enabled;
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto& drop = static_cast<QDropEvent&>(*event);
            if (!drop.mimeData()->hasUrls()) return false;
            answer(drop);
            if (drop.isAccepted() && event->type() == QEvent::Drop) {
                emit filesDropped(droppedFiles(*drop.mimeData()));
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

// Only a copy is ever accepted: accepting a move would tell the file manager to delete the
// files once they are in the job list, which still reads them at Convert.
void FileDrops::answer(QDropEvent& event) const {
    if (enabled_ && event.possibleActions().testFlag(Qt::CopyAction) &&
        !droppedFiles(*event.mimeData()).isEmpty()) {
        event.setDropAction(Qt::CopyAction);
        event.accept();
    } else {
        event.setDropAction(Qt::IgnoreAction);
        event.ignore();
    }
}

QStringList droppedFiles(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isDir()) paths << path;
    }
    return paths;
}

}  // namespace skelvane::ui
