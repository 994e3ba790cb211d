#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>

#include "ui/picture_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

QMenu& menuFromKeyboard(ListBox& list) {
    QTest::keyClick(&list, Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) throw std::runtime_error("no menu opened");
    return *menu;
}

bool undoEnabled(ListBox& list) {
    QMenu& menu = openRowMenu(list, -1);
    const bool enabled = enabledEntries(menu).contains("Undo");
    menu.close();
    return enabled;
}

TEST_F(JobRows, KeysToggleMarksAndPartsUndoRemovalsAndStayTheEditorsInIt) {
    addSources(2);
    activate();
    List3.setFocus(Qt::TabFocusReason);  // the first row is current, not yet selected
    QTest::keyClick(&List3, Qt::Key_Space);
    QTest::keyClick(&List1, Qt::Key_Space);
    EXPECT_EQ(texts(List3), QStringList({"x", " "}));
    EXPECT_EQ(selectedRows(), std::vector<int>(3, 0));

    QMenu& parts = openSubmenu(menuFromKeyboard(List3), "Parts");
    const QList<QAction*> entries = parts.actions();
    ASSERT_EQ(entries.size(), 23);
    EXPECT_EQ(entries.at(6)->text(), "Right Shoulder");
    EXPECT_TRUE(entries.at(6)->isChecked() && entries.at(6)->isEnabled());
    EXPECT_EQ(entries.at(9)->text(), "Fingers");
    EXPECT_FALSE(entries.at(9)->isChecked() || entries.at(9)->isEnabled());
    choose(parts, "Right Shoulder");
    EXPECT_EQ(std::vector<float>({jobs.partFlag(0, 7), jobs.partFlag(1, 7)}),
              std::vector<float>({1, 0}));

    QTest::keyClick(&List3, Qt::Key_Delete);
    doubleClickRow(List2, 0);
    type("walk");
    QTest::keyClick(&Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text1.text(), "take1_max") << "the text field's own undo";
    EXPECT_EQ(texts(List1), QStringList("take1"));
    clickRow(List2, 0);
    QTest::keyClick(&List2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(texts(List3), QStringList({"x", " "}));
    EXPECT_EQ(jobs.partFlag(0, 7), 1.0F);
    EXPECT_EQ(selectedRows(), std::vector<int>(3, 0));
    EXPECT_EQ(window.control<PictureBox>("rShoulder").pixmap().cacheKey(),
              window.control<PictureBox>("red").pixmap().cacheKey());
}

TEST_F(JobRows, UndoPutsRemovedRowsBackWholeInTheirPlacesWhileTheyFit) {
    addSources(3);
    doubleClickRow(List2, 1);
    type("renamed");
    clickRow(List2, 1);
    choose(openRowMenu(List1, 1), "Remove row");
    choose(openRowMenu(List1, -1), "Clear list");
    addSource(window, window.source("late.bvh"));
    activate();
    QTest::keyClick(&List1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(texts(List1), QStringList({"take0", "take2", "late"}));
    choose(openRowMenu(List2, 2), "Undo");
    EXPECT_EQ(texts(List2), QStringList({"take0_max", "renamed", "take2_max", "late_max"}));
    EXPECT_EQ(jobs.outputName(1), "renamed");
    EXPECT_EQ(jobs.sourcePath(1), (window.folder / "take1.bvh").string());
    EXPECT_EQ(selectedRows(), std::vector<int>(3, 1));
    EXPECT_FALSE(undoEnabled(List1));

    choose(openRowMenu(List1, -1), "Clear list");
    addSources(18);
    EXPECT_TRUE(undoEnabled(List1)) << "18 + 4 rows";
    addSource(window, window.source("one more.bvh"));
    EXPECT_FALSE(undoEnabled(List1)) << "19 + 4 rows";
    activate();
    QTest::keyClick(&List1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(List1.model()->rowCount(), 19);
}

}  // namespace
}  // namespace skelvane::ui::testing
