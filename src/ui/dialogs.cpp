#include "ui/dialogs.h"

#include <algorithm>

#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/joints_dialog.h"
#include "ui/plain_text.h"

namespace skelvane::ui {

namespace {

// Beyond this many lines a message box outgrows a small screen; the rest scrolls in the box's
// details instead. A long line counts as the lines it wraps into, at about the characters that
// fit the box's width.
constexpr qsizetype kMostLinesInMessage = 24;
constexpr qsizetype kCharactersPerLine = 60;

// The leading lines of the text that fit the box, or the whole text when all fit.
QString leadingLines(const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype used = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        used += std::max<qsizetype>(
            1, (lines.at(i).size() + kCharactersPerLine - 1) / kCharactersPerLine);
        if (used > kMostLinesInMessage) {
            return lines.mid(0, i).join(QLatin1Char('\n')) + QStringLiteral("\n...");
        }
    }
    return text;
}

}  // namespace

QStringList QtDialogs::openFiles(QWidget* parent, const OpenFileRequest& request) {
    QFileDialog comdlg(parent, request.title, request.initialFolder);
    comdlg.setObjectName("comdlg");
    comdlg.setAcceptMode(QFileDialog::AcceptOpen);
    comdlg.setFileMode(request.manyFiles ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    comdlg.setNameFilters(request.filters);
    comdlg.selectFile(request.fileName);
    QList<QUrl> sidebar;
    for (const QString& folder : request.sidebarFolders) sidebar << QUrl::fromLocalFile(folder);
    for (const QUrl& place : comdlg.sidebarUrls()) {
        if (!sidebar.contains(place)) sidebar << place;
    }
    comdlg.setSidebarUrls(sidebar);
    if (comdlg.exec() != QDialog::Accepted) return {};
    return comdlg.selectedFiles();
}

void QtDialogs::showMessage(QWidget* parent, const QString& text, const QString& title) {
    const QString shown = leadingLines(text);
    // The box widens to its longest word, up to the screen's width and past what it can show;
    // breaks inside long paths let it wrap them instead.
    QMessageBox box(QMessageBox::NoIcon, title, breakableText(shown), QMessageBox::Ok, parent);
    // File names come from users and may contain anything, markup included.
    box.setTextFormat(Qt::PlainText);
    if (shown != text) box.setDetailedText(text);
    box.exec();
}

void QtDialogs::showJoints(QWidget* parent, const JointsRequest& request) {
    JointsDialog dialog(request, parent);
    dialog.exec();
}

}  // namespace skelvane::ui
