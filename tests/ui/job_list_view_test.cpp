#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

#include "support/test_files.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

TEST_F(JobRows, AddPreparesTheDialogEachTimeAndAppendsAWholeRowOrNothing) {
    // Each row as the three lists show it when they are told of it: one insertion, whole.
    QStringList inserted;
    QObject recording;
    QObject::connect(List1.model(), &QAbstractItemModel::rowsInserted, &recording,
                     [&](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row) {
                             inserted << QStringList({texts(List1).at(row), texts(List2).at(row),
                                                      texts(List3).at(row)})
                                             .join('|');
                         }
                     });
    for (const auto& [name, title] : {std::pair{"walk.bvh", "walk"},
                                      {"RUN.BVH", "RUN"},
                                      {"abcd", ""},
                                      {"a\xf0\x9f\x98\x80.bv", "a"},
                                      {"ab", ""}}) {
        SCOPED_TRACE(name);
        inserted.clear();
        const QString path = window.source(name);
        const bool firstAdd = List1.model()->rowCount() == 0;
        addSource(window, path);
        const OpenFileRequest& request = window.dialogs->requests.back();
        EXPECT_EQ(request.initialFolder, QCoreApplication::applicationDirPath());
        EXPECT_EQ(request.fileName, "");
        EXPECT_EQ(request.title, "Open Poser BVH file:");
        EXPECT_EQ(request.filters, QStringList({"Poser BVH File (*.bvh)", "All files (*.*)"}));
        // The folder of the file added last, then the home folder.
        EXPECT_EQ(request.sidebarFolders,
                  firstAdd ? QStringList(QDir::homePath())
                           : QStringList({QString::fromStdString(window.folder.path().string()),
                                          QDir::homePath()}));
        EXPECT_EQ(inserted, QStringList(QString(title) + "|" + title + "_max| "));
        const int row = List1.model()->rowCount() - 1;
        EXPECT_EQ(jobs.title(row), title);
        EXPECT_EQ(jobs.sourcePath(row), path.toStdString());
        EXPECT_EQ(jobs.outputName(row), std::string(title) + "_max");
    }
    EXPECT_EQ(selectedRows(), std::vector<int>({-1, -1, -1}));
    EXPECT_FALSE(window.control("Head").isVisible());

    clickCentre(window.control("Command1"));  // cancelled
    EXPECT_EQ(window.dialogs->requests.size(), 6U);
    EXPECT_EQ(std::vector<int>({List1.model()->rowCount(), List2.model()->rowCount(),
                                List3.model()->rowCount(), jobs.rowCount()}),
              std::vector<int>(4, 5));
}

TEST_F(JobRows, TheTwentyThirdAddIsRefusedWithAMessageAndNoDialog) {
    addSources(23);
    EXPECT_EQ(window.dialogs->requests.size(), 22U);
    EXPECT_EQ(window.dialogs->messages, QStringList("Info: No more than 22 Items suported!"));
    EXPECT_EQ(std::vector<int>({List1.model()->rowCount(), List2.model()->rowCount(),
                                List3.model()->rowCount()}),
              std::vector<int>(3, 22));
    EXPECT_EQ(jobs.sourcePath(21), (window.folder / "take21.bvh").string());
    EXPECT_EQ(jobs.rowCount(), 22);
}

TEST_F(JobRows, SelectingInAnyListPutsAllThreeAndTheDiagramOnTheRow) {
    addSources(5);
    Form1Access::jobs(*window.form).setPartFlag(3, 7, 1.0F);
    const auto& rShoulder = window.control<PictureBox>("rShoulder");
    const auto& red = window.control<PictureBox>("red");
    const auto press = [](ListBox& list, Qt::KeyboardModifiers modifiers, QPoint at) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, at);
    };
    const std::tuple<const char*, std::function<void()>, int> steps[] = {
        {"click List3 row 3", [&] { clickRow(List3, 3); }, 3},
        {"click List1 row 1", [&] { clickRow(List1, 1); }, 1},
        {"click List2 row 4", [&] { clickRow(List2, 4); }, 4},
        {"Up on List1", [&] { QTest::keyClick(&List1, Qt::Key_Up); }, 3},
        {"Down on List3", [&] { QTest::keyClick(&List3, Qt::Key_Down); }, 4},
        {"double click List1 row 0", [&] { doubleClickRow(List1, 0); }, 0},
        // A list never loses its selected row to the user.
        {"Ctrl+click the selected row",
         [&] {
             press(List2, Qt::ControlModifier, {20, 6});
         },
         0},
        {"click below the last row",
         [&] {
             press(List1, {}, {20, 200});
         },
         0}};
    for (const auto& [how, select, row] : steps) {
        SCOPED_TRACE(how);
        select();
        EXPECT_EQ(selectedRows(), std::vector<int>(3, row));
        EXPECT_EQ(rShoulder.isVisible() && rShoulder.pixmap().cacheKey() == red.pixmap().cacheKey(),
                  row == 3);
    }

    QSignalSpy spy1(&List1, &ListBox::itemSelectionChanged);
    QSignalSpy spy2(&List2, &ListBox::itemSelectionChanged);
    QSignalSpy spy3(&List3, &ListBox::itemSelectionChanged);
    clickRow(List2, 0);  // already selected: nothing is raised
    EXPECT_EQ(spy1.count() + spy2.count() + spy3.count(), 0);
    clickRow(List2, 2);  // each list is raised once, however the handlers nest
    EXPECT_EQ(QList<qsizetype>({spy1.count(), spy2.count(), spy3.count()}),
              QList<qsizetype>({1, 1, 1}));
}

TEST_F(JobRows, DoubleClickOnList3TogglesTheSkipMarkAndNeedsASelectedRow) {
    addSources(3);
    for (ListBox* list : {&List2, &List3}) {  // below the rows, with no row selected
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, {6, 200});
    }
    EXPECT_EQ(texts(List3), QStringList({" ", " ", " "}));
    EXPECT_FALSE(Text1.isVisible());
    for (const char* mark : {"x", " ", "x"}) {
        doubleClickRow(List3, 1);
        EXPECT_EQ(texts(List3), QStringList({" ", mark, " "}));
        EXPECT_EQ(jobs.skipMark(1), mark);
    }
}

TEST_F(JobRows, EditorOpensOverTheRowAtTheTwipsFormulasTopWithoutFocus) {
    addSources(3);
    const QRect layoutPlace = Text1.geometry();
    for (const auto& [row, topTwips] : {std::pair{0, 105}, {1, 285}, {2, 480}}) {
        SCOPED_TRACE(row);
        doubleClickRow(List2, row);
        EXPECT_TRUE(Text1.isVisible());
        EXPECT_FALSE(Text1.hasFocus());
        EXPECT_EQ(Text1.text(), QString("take%1_max").arg(row));
        EXPECT_EQ(Text1.y() * 15, topTwips);
        EXPECT_EQ(Text1.geometry(), layoutPlace.translated(0, Text1.y() - layoutPlace.y()));
    }
}

TEST_F(JobRows, OnlyAPressOnList2CommitsTheEditorIntoTheRowItWasOpenedOn) {
    addSources(3);
    clickRow(List2, 1);  // the editor is idle: nothing is written
    doubleClickRow(List2, 2);
    type("walk2");
    QTest::keyClick(&Text1, Qt::Key_Return);
    QTest::keyClick(&Text1, Qt::Key_Escape);
    clickRow(List1, 1);  // moves the selection away from the row the editor covers
    EXPECT_EQ(texts(List2), QStringList({"take0_max", "take1_max", "take2_max"}));
    EXPECT_TRUE(Text1.isVisible());

    clickRow(List2, 0);  // the press is handled before it moves the selection
    EXPECT_EQ(texts(List2), QStringList({"take0_max", "take1_max", "walk2"}));
    EXPECT_EQ(jobs.outputName(1), "take1_max");
    EXPECT_EQ(jobs.outputName(2), "walk2");
    EXPECT_EQ(selectedRows(), std::vector<int>(3, 0));
    EXPECT_FALSE(Text1.isVisible());
    EXPECT_EQ(Text1.text(), " ");

    for (const auto& [typed, kept] : {std::pair{" ", "take0_max"}, {"", ""}}) {
        SCOPED_TRACE("typed \"" + std::string(typed) + "\"");
        doubleClickRow(List2, 0);
        type(typed);
        clickRow(List2, 0);
        EXPECT_EQ(texts(List2).at(0), kept);
        EXPECT_EQ(jobs.outputName(0), kept);
    }
}

TEST_F(JobRows, RightClickSelectsTheRowEverywhereAndItsMenuOrDeleteRemovesRows) {
    addSources(5);
    const auto expectRows = [&](const QStringList& titles, int selected) {
        QStringList names, marks;
        for (const QString& title : titles) names << title + "_max", marks << " ";
        EXPECT_EQ(QList<QStringList>({texts(List1), texts(List2), texts(List3)}),
                  QList<QStringList>({titles, names, marks}));
        EXPECT_EQ(jobs.rowCount(), titles.size());
        EXPECT_EQ(selectedRows(), std::vector<int>(3, selected));
        EXPECT_EQ(window.control("Head").isVisible(), selected >= 0);
    };
    const std::tuple<ListBox*, int, QStringList, int> removals[] = {
        {&List1, 1, {"take0", "take2", "take3", "take4"}, 1},
        {&List2, 3, {"take0", "take2", "take3"}, 2},  // the last: the new last is selected
        {&List3, 0, {"take2", "take3"}, 0}};
    QStringList entries{"Show joints...", "Parts", "Mapping", "Remove row", "Clear list"};
    for (const auto& [list, row, titles, selected] : removals) {
        SCOPED_TRACE(list->objectName().toStdString() + " row " + std::to_string(row));
        QMenu& menu = openRowMenu(*list, row);
        EXPECT_EQ(selectedRows(), std::vector<int>(3, row));
        EXPECT_EQ(enabledEntries(menu), entries);
        entries =
            QStringList({"Show joints...", "Parts", "Mapping", "Remove row", "Clear list", "Undo"});
        choose(menu, "Remove row");
        expectRows(titles, selected);
    }
    QTest::keyClick(&List2, Qt::Key_Delete);
    expectRows({"take3"}, 0);

    QMenu& belowRows = openRowMenu(List1, -1);
    EXPECT_EQ(enabledEntries(belowRows), QStringList({"Mapping", "Clear list", "Undo"}));
    choose(belowRows, "Clear list");
    expectRows({}, -1);
}

TEST_F(JobRows, RemovalClosesTheEditorOnItsRowUnwrittenAndMovesItWithALaterRow) {
    addSources(3);
    doubleClickRow(List2, 2);
    type("walk2");
    clickRow(List1, 0);
    QTest::keyClick(&List1, Qt::Key_Delete);
    EXPECT_TRUE(Text1.isVisible());
    EXPECT_EQ(Text1.y() * 15, 285) << "over its row, now row 1";
    QMenu& menu = openRowMenu(List2, 0);  // a press on List2 like any other: it commits
    EXPECT_EQ(texts(List2), QStringList({"take1_max", "walk2"}));
    EXPECT_EQ(jobs.outputName(1), "walk2");
    QTest::keyClick(&menu, Qt::Key_Escape);

    doubleClickRow(List2, 1);
    type("lost");
    choose(openRowMenu(List1, 1), "Remove row");
    EXPECT_FALSE(Text1.isVisible());
    clickRow(List2, 0);
    EXPECT_EQ(texts(List2), QStringList("take1_max"));
    EXPECT_EQ(jobs.outputName(0), "take1_max");
}

TEST_F(JobRows, TitleTooltipShowsTheFullSourcePathLiterallyAndTheMapping) {
    std::filesystem::create_directory(window.folder / "<h1>x<");
    for (const QString& name :
         {QString("<h1>x</h1>.bvh"), QString(240, 'w') + ".bvh", QString("a  &amp; <b>.bvh")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = window.source(name);
        skelvane::testing::writeFile(path.toStdString(), "HIERARCHY\n");
        addSource(window, path);
        ASSERT_EQ(List1.model()->rowCount(), jobs.rowCount());
        EXPECT_EQ(toolTipShown(List1, List1.model()->rowCount() - 1),
                  path + "\nMapping: poser-max");
    }
}

TEST_F(JobRows, AddSkipRenameUnconvertAPartAndConvert) {
    namespace t = skelvane::testing;
    t::TempFolder sources, outputs;
    const t::WorkingDirectory inOutputs(outputs.path());
    t::writeFile(sources / "walk.bvh", "HIERARCHY\r\nROOT hip\r\n\tJOINT abdomen\r\n");
    t::writeFile(sources / "skip.bvh", "ROOT hip\r\n");
    t::writeFile(sources / "run.bvh", "ROOT hip\n\tJOINT rShldr\n\t\tJOINT rThumb2");
    t::writeFile(sources / "mistake.bvh", "ROOT hip\r\n");
    for (const char* name : {"walk.bvh", "mistake.bvh", "skip.bvh", "run.bvh"}) {
        addSource(window, QString::fromStdString((sources / name).string()));
    }
    doubleClickRow(List3, 2);
    doubleClickRow(List2, 0);
    type("walk2");
    clickRow(List2, 3);
    clickCentre(window.control("rShoulder"));
    // A row added by mistake, with a flag of its own, goes; the rows after it keep theirs.
    clickRow(List1, 1);
    clickCentre(window.control("Hip"));
    choose(openRowMenu(List3, 1), "Remove row");

    std::vector<int> progress;
    QObject::connect(&window.control<QProgressBar>("pbar"), &QProgressBar::valueChanged,
                     [&](int value) { progress.push_back(value); });
    clickCentre(window.control("Command2"));
    EXPECT_EQ(progress, std::vector<int>({1000, 2000, 3000}));
    EXPECT_TRUE(window.dialogs->messages.isEmpty());
    EXPECT_EQ(t::fileNamesIn(outputs.path()),
              std::vector<std::string>({"run_max.bvh", "walk2.bvh"}));
    EXPECT_EQ(t::readFile(outputs / "walk2.bvh"), "HIERARCHY\r\nROOT Hips\r\n\tJOINT Chest\r\n");
    EXPECT_EQ(t::readFile(outputs / "run_max.bvh"),
              "ROOT Hips\r\n\tJOINT nothing\r\n\t\tJOINT nothing2\r\n");
}

}  // namespace
}  // namespace skelvane::ui::testing
