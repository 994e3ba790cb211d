#include "ui/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace skelvane::ui {

OpenFileResult QtDialogs::openFile(QWidget* parent, const OpenFileRequest& request) {
    QFileDialog comdlg(parent, request.title, request.initialFolder);
    comdlg.setObjectName("comdlg");
    comdlg.setAcceptMode(QFileDialog::AcceptOpen);
    comdlg.setFileMode(QFileDialog::ExistingFile);
    comdlg.setNameFilters(request.filters);
    comdlg.selectFile(request.fileName);
    if (comdlg.exec() != QDialog::Accepted || comdlg.selectedFiles().isEmpty()) return {};
    const QString path = comdlg.selectedFiles().constFirst();
    return {true, path, QFileInfo(path).fileName()};
}

void QtDialogs::showMessage(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace skelvane::ui
