#include "ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace skelvane::ui {

QStringList QtDialogs::openFiles(QWidget* parent, const OpenFileRequest& request) {
    QFileDialog comdlg(parent, request.title, request.initialFolder);
    comdlg.setObjectName("comdlg");
    comdlg.setAcceptMode(QFileDialog::AcceptOpen);
    comdlg.setFileMode(QFileDialog::ExistingFiles);
    comdlg.setNameFilters(request.filters);
    comdlg.selectFile(request.fileName);
    if (comdlg.exec() != QDialog::Accepted) return {};
    return comdlg.selectedFiles();
}

void QtDialogs::showMessage(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    // File names come from users and may contain anything, markup included.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace skelvane::ui
