#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "ui/dialogs.h"

namespace skelvane::ui {
namespace {

TEST(QtDialogs, MessageBoxShowsTextLiterallyWithinTheScreenAndLongListsInItsDetails) {
    const QString path = "/tmp/" + QString(248, 'w') + "/<h1>x</h1>.bvh";
    const QString failure = "Not converted:\n\nRow 1 (<h1>x</h1>): " + path + "\nNo such file";
    const QStringList lines = QStringList("Not added:\n") << QStringList(40, path);
    const QString many = lines.join('\n');
    const QString manyShown = lines.mid(0, 5).join('\n') + "\n...";  // each path 5 lines

    for (const auto& [text, shown, details] :
         {std::tuple{failure, failure, QString()}, {many, manyShown, many}}) {
        QTimer::singleShot(0, [&, &shown = shown, &details = details] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return QApplication::closeAllWindows();
            const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            const QSize screen = box->screen()->availableGeometry().size();
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(label->text().remove(QChar(0x200B)), shown);
            EXPECT_EQ(box->detailedText(), details);
            EXPECT_LE(label->minimumSizeHint().width(), label->width()) << "nothing cut off";
            EXPECT_LT(box->width(), screen.width());
            EXPECT_LT(box->height(), screen.height());
            box->accept();
        });
        QtDialogs().showMessage(nullptr, text, "Info");
    }
}

}  // namespace
}  // namespace skelvane::ui
