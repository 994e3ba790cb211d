#pragma once

#include <variant>

#include <QString>
#include <QStringList>

#include "conversion/rename/joint_report.h"
#include "conversion/run/run.h"
#include "joblist/job_list.h"

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
    /// Folders offered first in the dialog's sidebar, in this order.
    QStringList sidebarFolders;
    /// True when the user may choose more than one file.
    bool manyFiles = true;
};

/// What the joints dialog shows of one row: its title, its source, its mapping and the source's
/// joint report under the row's part flags and mapping, or why the source could not be read.
struct JointsRequest {
    QString title;
    QString sourcePath;
    std::variant<conversion::JointReport, conversion::FileFailure> report;
    /// The row's choice of mapping.
    joblist::MappingChoice choice;
    /// The mapping the joints were named by: the chosen one, or for a best fit the one that
    /// fits.
    const conversion::Mapping* mapping = nullptr;
    /// The source's path as the file system names it, to read its frames by.
    std::string sourceBytes;
};

/// The modal dialogs of the window; tests answer them with an implementation of their own.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    /// Shows a modal open-file dialog for existing files (one, unless the request allows more)
    /// and returns the chosen files with their folders, in the order the dialog gives them; none
    /// when cancelled.
    virtual QStringList openFiles(QWidget* parent, const OpenFileRequest& request) = 0;
    /// Shows a modal message box with the text (plain, never markup) and title, an OK button
    /// only and no icon.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& title) = 0;
    /// Shows the read-only joints dialog of a row, modal.
    virtual void showJoints(QWidget* parent, const JointsRequest& request) = 0;
};

/// The dialogs of Qt: a QFileDialog named comdlg (the request's sidebar folders before its own
/// places; a native dialog keeps its own sidebar), a QMessageBox kept within the screen's width
/// (long paths break, very long lists scroll in its details) and the JointsDialog.
class QtDialogs final : public Dialogs {
public:
    QStringList openFiles(QWidget* parent, const OpenFileRequest& request) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title) override;
    void showJoints(QWidget* parent, const JointsRequest& request) override;
};

}  // namespace skelvane::ui
