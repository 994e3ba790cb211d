#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace skelvane::ui {

/// The title of every message box the window shows.
inline constexpr char kInfoTitle[] = "Info";

/// What the window asks of the open-file dialog each time it opens it.
struct OpenFileRequest {
    QString initialFolder;
    QString fileName;
    QString title;
    /// Filters in the order offered, each a description with its pattern in brackets.
    QStringList filters;
};

/// The modal dialogs of the window; tests answer them with an implementation of their own.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    /// Shows a modal open-file dialog for one or more existing files and returns the chosen
    /// files with their folders, in the order the dialog gives them; none when cancelled.
    virtual QStringList openFiles(QWidget* parent, const OpenFileRequest& request) = 0;
    /// Shows a modal message box with the text (plain, never markup) and title, an OK button
    /// only and no icon.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& title) = 0;
};

/// The dialogs of Qt: a QFileDialog named comdlg and a QMessageBox.
class QtDialogs final : public Dialogs {
public:
    QStringList openFiles(QWidget* parent, const OpenFileRequest& request) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title) override;
};

}  // namespace skelvane::ui
