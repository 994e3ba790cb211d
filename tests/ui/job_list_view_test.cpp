#include <gtest/gtest.h>

#include <filesystem>

#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/test_files.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

QStringList texts(const QListWidget& list) {
    QStringList all;
    for (int row = 0; row < list.count(); ++row) all << list.item(row)->text();
    return all;
}

struct Lists {
    explicit Lists(const Window& window)
        : List1(window.control<ListBox>("List1")),
          List2(window.control<ListBox>("List2")),
          List3(window.control<ListBox>("List3")),
          Text1(window.control<QLineEdit>("Text1")) {}
    std::vector<int> selectedRows() const {
        return {List1.selectedRow(), List2.selectedRow(), List3.selectedRow()};
    }
    ListBox& List1;
    ListBox& List2;
    ListBox& List3;
    QLineEdit& Text1;
};

void addSources(Window& window, int count) {
    for (int i = 0; i < count; ++i) addSource(window, QString("/data/take%1.bvh").arg(i));
}

// Replaces the editor's text the way a user does: click into it, select all, type.
void typeIntoEditor(QLineEdit& editor, const QString& text) {
    clickCentre(editor);
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) QTest::keyClick(&editor, Qt::Key_Backspace);
    QTest::keyClicks(&editor, text);
}

TEST(AddSource, PreparesTheDialogEachTimeAndAppendsOneWholeRow) {
    struct Case {
        const char* chosenPath;
        const char* title;
    };
    Window window;
    Lists lists(window);
    QStringList expectedTitles;
    for (const Case& c : {Case{"/data/walk.bvh", "walk"}, Case{"/data/RUN.BVH", "RUN"},
                          Case{"/data/abcd", ""}, Case{"/data/ab", ""}}) {
        SCOPED_TRACE(c.chosenPath);
        std::vector<QString> writes;
        QObject recording;  // its connections end with it
        for (ListBox* list : {&lists.List1, &lists.List2, &lists.List3}) {
            QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, &recording,
                             [&, list] {
                                 const int rows = window.form->jobs().rowCount();
                                 writes.push_back(list->objectName() +
                                                  (rows == lists.List1.count() ? "+path" : ""));
                             });
        }
        addSource(window, c.chosenPath);

        const OpenFileRequest& request = window.dialogs->requests.back();
        EXPECT_EQ(request.initialFolder, QCoreApplication::applicationDirPath());
        EXPECT_EQ(request.fileName, "");
        EXPECT_EQ(request.title, "Open Poser BVH file:");
        EXPECT_EQ(request.filters, QStringList({"Poser BVH File (*.bvh)", "All files (*.*)"}));

        // List1 first, then the path with the model's row, then List3, then List2.
        EXPECT_EQ(writes, (std::vector<QString>{"List1", "List3+path", "List2+path"}));
        const int row = lists.List1.count() - 1;
        expectedTitles << c.title;
        EXPECT_EQ(texts(lists.List1), expectedTitles);
        EXPECT_EQ(lists.List2.item(row)->text(), QString(c.title) + "_max");
        EXPECT_EQ(lists.List3.item(row)->text(), " ");
        EXPECT_EQ(window.form->jobs().SourcePath(row + 1), c.chosenPath);
        EXPECT_EQ(window.form->jobs().outputName(row), (QString(c.title) + "_max").toStdString());
        EXPECT_EQ(lists.selectedRows(), (std::vector<int>{-1, -1, -1}));
        EXPECT_FALSE(window.control("Head").isVisible());
    }

    clickCentre(window.control("Command1"));  // the dialog is cancelled
    EXPECT_EQ(window.dialogs->requests.size(), 5U);
    EXPECT_EQ(lists.List1.count(), 4);
    EXPECT_EQ(lists.List2.count(), 4);
    EXPECT_EQ(lists.List3.count(), 4);
    EXPECT_EQ(window.form->jobs().rowCount(), 4);
    EXPECT_EQ(window.form->jobs().SourcePath(5), "");
}

TEST(AddSource, RefusesTheTwentyThirdWithAMessageAndNoDialog) {
    Window window;
    addSources(window, 22);
    EXPECT_EQ(window.dialogs->requests.size(), 22U);
    EXPECT_TRUE(window.dialogs->messages.empty());

    window.dialogs->answers.push_back({true, "/data/extra.bvh", "extra.bvh"});
    clickCentre(window.control("Command1"));
    EXPECT_EQ(window.dialogs->requests.size(), 22U);
    ASSERT_EQ(window.dialogs->messages.size(), 1U);
    EXPECT_EQ(window.dialogs->messages[0].text, "No more than 22 Items suported!");
    EXPECT_EQ(window.dialogs->messages[0].title, "Info");
    Lists lists(window);
    for (ListBox* list : {&lists.List1, &lists.List2, &lists.List3}) EXPECT_EQ(list->count(), 22);
    EXPECT_EQ(window.form->jobs().SourcePath(22), "/data/take21.bvh");
    EXPECT_EQ(window.form->jobs().SourcePath(23), "");
}

TEST(FollowSelection, AnyListPutsAllThreeAndTheDiagramOnItsRow) {
    Window window;
    addSources(window, 5);
    window.form->jobs().setPartOff(7, 3, 1.0F);
    Lists lists(window);
    auto& rShoulder = window.control<PictureBox>("rShoulder");
    auto& red = window.control<PictureBox>("red");

    struct Step {
        const char* how;
        std::function<void()> select;
        int row;
    };
    const Step steps[] = {
        {"click List3 row 3", [&] { clickRow(lists.List3, 3); }, 3},
        {"click List1 row 1", [&] { clickRow(lists.List1, 1); }, 1},
        {"click List2 row 4", [&] { clickRow(lists.List2, 4); }, 4},
        {"Up key on List1", [&] { QTest::keyClick(&lists.List1, Qt::Key_Up); }, 3},
        {"Down key on List3", [&] { QTest::keyClick(&lists.List3, Qt::Key_Down); }, 4},
        {"double click List1 row 0", [&] { doubleClickRow(lists.List1, 0); }, 0},
        {"Ctrl+click on the selected row",
         [&] {
             QTest::mouseClick(lists.List2.viewport(), Qt::LeftButton, Qt::ControlModifier,
                               lists.List2.visualItemRect(lists.List2.item(0)).center());
         },
         0},
        {"click below the last row",
         [&] {
             QTest::mouseClick(lists.List1.viewport(), Qt::LeftButton, {}, {20, 200});
         },
         0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.how);
        step.select();
        EXPECT_EQ(lists.selectedRows(), std::vector<int>(3, step.row));
        EXPECT_TRUE(rShoulder.isVisible());
        EXPECT_EQ(rShoulder.pixmap().cacheKey() == red.pixmap().cacheKey(), step.row == 3);
    }

    // Selecting the row that is already selected raises no selection handler at all.
    QSignalSpy list1(&lists.List1, &QListWidget::itemSelectionChanged);
    QSignalSpy list2(&lists.List2, &QListWidget::itemSelectionChanged);
    QSignalSpy list3(&lists.List3, &QListWidget::itemSelectionChanged);
    clickRow(lists.List2, 0);
    EXPECT_EQ(list1.count() + list2.count() + list3.count(), 0);
    clickRow(lists.List2, 2);
    EXPECT_EQ(std::vector<int>({int(list1.count()), int(list2.count()), int(list3.count())}),
              std::vector<int>({1, 1, 1}));
}

TEST(SkipMark, DoubleClickTogglesItAndTheRunFollows) {
    Window window;
    addSources(window, 3);
    Lists lists(window);
    const QPoint belowRows(6, 200);

    for (const char* list : {"List2", "List3"}) {
        SCOPED_TRACE(std::string("no row selected: double click on ") + list);
        QTest::mouseDClick(window.control<ListBox>(list).viewport(), Qt::LeftButton, {}, belowRows);
        EXPECT_EQ(texts(lists.List3), QStringList({" ", " ", " "}));
        EXPECT_FALSE(lists.Text1.isVisible());
    }
    for (const char* expected : {"x", " ", "x"}) {
        SCOPED_TRACE(expected);
        doubleClickRow(lists.List3, 1);
        EXPECT_EQ(texts(lists.List3), QStringList({" ", expected, " "}));
        EXPECT_EQ(window.form->jobs().skipMark(1), expected);
    }
}

TEST(InPlaceEditor, OpensOverTheSelectedRowAtTheTwipsFormulasTop) {
    Window window;
    addSources(window, 3);
    Lists lists(window);
    const QRect layoutPlace = lists.Text1.geometry();
    for (const auto& [row, topTwips] : {std::pair{0, 105}, {1, 285}, {2, 480}}) {
        SCOPED_TRACE(row);
        clickCentre(window.control("Command1"));  // moves the focus away; the dialog is cancelled
        doubleClickRow(lists.List2, row);
        EXPECT_TRUE(lists.Text1.isVisible());
        EXPECT_FALSE(lists.Text1.hasFocus());
        EXPECT_EQ(lists.Text1.text(), QString("take%1_max").arg(row));
        EXPECT_EQ(lists.Text1.y() * 15, topTwips);
        EXPECT_EQ(lists.Text1.geometry(),
                  layoutPlace.translated(0, lists.Text1.y() - layoutPlace.y()));
    }
}

TEST(InPlaceEditor, OnlyAPressOnList2CommitsAndItWritesTheRowTheEditorWasOpenedOn) {
    Window window;
    addSources(window, 3);
    Lists lists(window);
    const auto outputNames = [&] { return texts(lists.List2); };

    {
        SCOPED_TRACE("a press with the editor idle changes nothing");
        clickRow(lists.List2, 1);
        EXPECT_EQ(outputNames(), QStringList({"take0_max", "take1_max", "take2_max"}));
    }
    {
        SCOPED_TRACE("Enter, Escape, focus changes and Convert do not commit");
        doubleClickRow(lists.List2, 2);
        typeIntoEditor(lists.Text1, "walk2");
        QTest::keyClick(&lists.Text1, Qt::Key_Return);
        QTest::keyClick(&lists.Text1, Qt::Key_Escape);
        clickRow(lists.List1, 2);
        EXPECT_EQ(outputNames(), QStringList({"take0_max", "take1_max", "take2_max"}));
        EXPECT_TRUE(lists.Text1.isVisible());
    }
    {
        SCOPED_TRACE("a press on another row commits to the row the editor is over");
        clickRow(lists.List2, 0);
        EXPECT_EQ(outputNames(), QStringList({"take0_max", "take1_max", "walk2"}));
        EXPECT_EQ(window.form->jobs().outputName(2), "walk2");
        EXPECT_FALSE(lists.Text1.isVisible());
        EXPECT_EQ(lists.Text1.text(), " ");
        EXPECT_EQ(lists.selectedRows(), std::vector<int>(3, 0));
    }
    for (const auto& [typed, expected] :
         {std::pair<QString, QString>{" ", "take0_max"}, {"", ""}}) {
        SCOPED_TRACE("typed \"" + typed.toStdString() + "\"");
        doubleClickRow(lists.List2, 0);
        typeIntoEditor(lists.Text1, typed);
        clickRow(lists.List2, 0);
        EXPECT_EQ(lists.List2.item(0)->text(), expected);
        EXPECT_EQ(window.form->jobs().outputName(0), expected.toStdString());
    }
}

TEST(JobList, AddMarkRenameAndConvertEndToEnd) {
    using skelvane::testing::fileNamesIn;
    using skelvane::testing::readFile;
    using skelvane::testing::writeFile;
    skelvane::testing::TempFolder sources;
    skelvane::testing::TempFolder outputs;
    const skelvane::testing::WorkingDirectory inOutputs(outputs.path());
    writeFile(sources / "walk.bvh", "HIERARCHY\r\nROOT hip\r\n\tJOINT abdomen\r\n");
    writeFile(sources / "skip.bvh", "ROOT hip\r\n");
    writeFile(sources / "run.bvh", "ROOT hip\n\tJOINT rShldr\n\t\tJOINT rThumb2");

    Window window;
    Lists lists(window);
    for (const char* name : {"walk.bvh", "skip.bvh", "run.bvh"}) {
        addSource(window, QString::fromStdString((sources / name).string()));
    }
    doubleClickRow(lists.List3, 1);
    doubleClickRow(lists.List2, 0);
    typeIntoEditor(lists.Text1, "walk2");
    clickRow(lists.List2, 2);
    clickCentre(window.control("rShoulder"));  // row 2 keeps its right shoulder unconverted

    std::vector<int> progress;
    QObject::connect(&window.control<QProgressBar>("pbar"), &QProgressBar::valueChanged,
                     [&](int value) { progress.push_back(value); });
    clickCentre(window.control("Command2"));

    EXPECT_EQ(progress, (std::vector<int>{1000, 2000, 3000}));
    EXPECT_TRUE(window.dialogs->messages.empty());
    EXPECT_EQ(fileNamesIn(outputs.path()), (std::vector<std::string>{"run_max.bvh", "walk2.bvh"}));
    EXPECT_EQ(readFile(outputs / "walk2.bvh"), "HIERARCHY\r\nROOT Hips\r\n\tJOINT Chest\r\n");
    EXPECT_EQ(readFile(outputs / "run_max.bvh"),
              "ROOT Hips\r\n\tJOINT nothing\r\n\t\tJOINT nothing2\r\n");
}

}  // namespace
}  // namespace skelvane::ui::testing
