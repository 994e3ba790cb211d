#include <gtest/gtest.h>

#include <string_view>

#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "ui/list_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

const QUrl kRemote("https://example.invalid/x.bvh");

QMimeData& withFiles(QMimeData& data, const QStringList& paths, QList<QUrl> urls = {}) {
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    data.setText(paths.join('\n'));  // file managers offer the names as text as well
    return data;
}

TEST(AddSources, CommandLineDialogAndDropAddInOrderUpToTheLimitAndListUnusableFilesOnce) {
    for (const std::string_view way : {"command line", "open dialog", "drop"}) {
        SCOPED_TRACE(way);
        Window window;
        const QString folder = QString::fromStdString(window.folder.path().string());
        QStringList paths({window.source("take0.bvh"), folder + "/missing.bvh", folder});
        for (int i = 1; i < 24; ++i) paths << window.source(QString("take%1.bvh").arg(i));
        QString unusable = folder + "/missing.bvh\n" + folder;
        if (way == "command line") {
            window.form->addSources(paths);
        } else if (way == "open dialog") {
            window.dialogs->answers.push_back(paths);
            clickCentre(window.control("Command1"));
        } else {  // a drop passes over folders and other machines' files without a word
            QMimeData data;
            EXPECT_EQ(dropOn(window.control("List2"), withFiles(data, paths, {kRemote})),
                      Qt::CopyAction);
            unusable.chop(folder.size() + 1);
        }
        const QStringList titles = texts(window.control<ListBox>("List1"));
        EXPECT_EQ(titles.size(), 22);
        EXPECT_EQ(QStringList({titles.front(), titles.at(1), titles.back()}),
                  QStringList({"take0", "take1", "take21"}));
        EXPECT_EQ(Form1Access::jobs(*window.form).sourcePath(21), paths.at(23).toStdString());
        EXPECT_EQ(window.dialogs->messages,
                  QStringList({"Info: No more than 22 Items suported!",
                               "Info: These files were not added: they do not exist or are not "
                               "regular files.\n\n" +
                                   unusable}));
    }
}

TEST(FileDrops, LandOnEveryControlAsCopiesAndNeverAsTextInTheEditor) {
    Window window;
    addSource(window, window.source("first.bvh"));
    auto& Text1 = window.control<QLineEdit>("Text1");
    doubleClickRow(window.control<ListBox>("List2"), 0);
    QStringList titles("first");
    for (const char* name : {"Text1", "List1", "List2", "List3", "Image1", "Head", "Command1"}) {
        SCOPED_TRACE(name);
        QMimeData data;
        withFiles(data, {window.source(QString(name) + ".bvh")});
        EXPECT_EQ(dropOn(window.control(name), data), Qt::CopyAction);
        EXPECT_EQ(texts(window.control<ListBox>("List1")), titles << name);
    }
    // Refused: a move (the file manager would delete the files), a folder, a remote file.
    QMimeData folder, remote;
    withFiles(folder, {QString::fromStdString(window.folder.path().string())});
    remote.setUrls({kRemote});
    EXPECT_EQ(dropOn(Text1, remote), Qt::IgnoreAction);
    EXPECT_EQ(dropOn(Text1, folder), Qt::IgnoreAction);
    EXPECT_EQ(dropOn(Text1, withFiles(remote, {window.source("moved.bvh")}), Qt::MoveAction),
              Qt::IgnoreAction);
    EXPECT_EQ(window.control<ListBox>("List1").model()->rowCount(), 8);
    EXPECT_EQ(Text1.text(), "first_max");
    EXPECT_TRUE(Text1.isVisible());
}

}  // namespace
}  // namespace skelvane::ui::testing
