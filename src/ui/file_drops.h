#pragma once

#include <QObject>
#include <QStringList>

class QDropEvent;
class QMimeData;
class QWidget;

namespace skelvane::ui {

/// Takes files dragged from a file manager onto a window, over whichever of its controls they
/// land: the window accepts drops for every control that does not accept them itself, and a
/// control that does (a line edit would insert the file names as text) is watched so that file
/// drags reach the window instead. Drags without files are left to the control.
class FileDrops final : public QObject {
    Q_OBJECT

public:
    /// Makes the window accept file drops; the window's owner keeps this object (a child would
    /// count among the window's controls).
    explicit FileDrops(QWidget& window);

    /// Takes file drags over a control that accepts drops of its own away from it.
    void watch(QWidget& control);

    /// While disabled, file drags are refused everywhere on the window.
    void setEnabled(bool enabled);

signals:
    /// Files were dropped: the local files that are not folders, in the order given.
    void filesDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answer(QDropEvent& event) const;

    bool enabled_ = true;
};

/// The local files named by dragged data, in the order given, less folders and anything that
/// is not a local file.
QStringList droppedFiles(const QMimeData& data);

}  // namespace skelvane::ui
