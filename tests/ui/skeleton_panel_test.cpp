#include <gtest/gtest.h>

#include <filesystem>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "support/test_files.h"
#include "ui/joints_dialog.h"
#include "ui/skeleton_panel.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace t = skelvane::testing;

// The request Show joints makes for a source added to the window.
JointsRequest jointsRequestFor(Window& window, const QString& path) {
    addSource(window, path);
    auto& List1 = window.control<ListBox>("List1");
    choose(openRowMenu(List1, List1.model()->rowCount() - 1), "Show joints...");
    return window.dialogs->joints.back();
}

QString walkFile() {
    return QString::fromStdString(t::testdataDir() / "linden_avatar_walk_crlf.bvh");
}

template <typename T = QWidget>
T& part(QWidget& parent, const char* name) {
    return *parent.findChild<T*>(QLatin1String(name));
}

TEST(SkeletonPanel, OpensWithoutWaitingForTheFramesThenDrawsThemOrTheErrorsInstead) {
    Window window;
    const QString broken = window.source("broken.bvh");
    // A frame line of three numbers before the last of the walk's 143 lines.
    std::string text = t::readFile(walkFile().toStdString());
    text.insert(text.rfind("\r\n", text.size() - 3) + 2, "0 1 2\r\n");
    t::writeFile(broken.toStdString(), text);
    const QString gone = window.source("gone.bvh");
    t::writeFile(gone.toStdString(), t::readFile(walkFile().toStdString()));
    const std::pair<QString, QString> cases[] = {
        {walkFile(), "Frame 1 of 14"},
        {broken, "Line 143: 3 numbers where the joints' channels take 66"},
        {gone, "The frames cannot be read: No such file or directory"}};
    for (const auto& [path, shown] : cases) {
        SCOPED_TRACE(path.toStdString());
        const JointsRequest request = jointsRequestFor(window, path);
        // Gone between the joints' report and the frames.
        if (path == gone) std::filesystem::remove(gone.toStdString());
        JointsDialog dialog(request, window.form.get());
        dialog.show();
        auto& panel = part<SkeletonPanel>(dialog, "skeletonPanel");
        auto& view = part<SkeletonView>(dialog, "skeletonView");
        // Shown before any frame has come: the frames reach the dialog through its events.
        EXPECT_TRUE(panel.isLoading());
        EXPECT_TRUE(part(dialog, "skeletonProgress").isVisibleTo(&dialog));
        EXPECT_EQ(part<QLabel>(dialog, "skeletonStatus").text(), "Reading the frames\u2026");
        EXPECT_FALSE(view.hasSkeleton());
        QTRY_VERIFY(!panel.isLoading());
        EXPECT_FALSE(part(dialog, "skeletonProgress").isVisibleTo(&dialog));
        if (path == broken) {
            EXPECT_FALSE(view.hasSkeleton());
            EXPECT_EQ(part<QLabel>(dialog, "skeletonStatus").text(),
                      "Not drawn: the file has errors.");
            EXPECT_EQ(view.placeholder(), shown);
        } else if (path == gone) {
            EXPECT_FALSE(view.hasSkeleton());
            EXPECT_EQ(part<QLabel>(dialog, "skeletonStatus").text(), shown);
        } else {
            EXPECT_TRUE(view.hasSkeleton());
            EXPECT_EQ(part<QLabel>(dialog, "skeletonFrameLabel").text(), shown);
        }
    }
}

TEST(SkeletonPanel, JointsAndRowsSelectEachOtherAndAJointTellsItsNames) {
    Window window;
    JointsDialog dialog(jointsRequestFor(window, walkFile()), window.form.get());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto& panel = part<SkeletonPanel>(dialog, "skeletonPanel");
    QTRY_VERIFY(!panel.isLoading());
    auto& view = part<SkeletonView>(dialog, "skeletonView");
    auto& table = part<QTableWidget>(dialog, "jointTable");

    // lHand: row 10 of the table, joint 11 of the hierarchy after figureHair's End Site.
    constexpr int kRow = 10;
    constexpr int kJoint = 11;
    const QPoint hand = view.placeOf(kJoint).toPoint();
    EXPECT_EQ(toolTipAt(view, hand), "lHand\nWritten as: LeftWrist\nRole: left_hand");
    QTest::mouseClick(&view, Qt::LeftButton, {}, hand);
    EXPECT_EQ(table.currentRow(), kRow);
    EXPECT_EQ(view.highlightedJoint(), kJoint);

    const QRect lShldr = table.visualItemRect(table.item(8, 0));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, lShldr.center());
    EXPECT_EQ(view.highlightedJoint(), 9);
    EXPECT_EQ(toolTipAt(view, view.placeOf(9).toPoint()).section('\n', 0, 0), "lShldr");

    // A drag turns the picture and selects nothing.
    QTest::mousePress(&view, Qt::LeftButton, {}, hand);
    QTest::mouseMove(&view, hand + QPoint(40, 0));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, hand + QPoint(40, 0));
    EXPECT_EQ(table.currentRow(), 8);
    EXPECT_NE(view.placeOf(kJoint).toPoint(), hand);

    // Play goes through the frames at the file's frame time (1/15 s); Pause stops there.
    auto& play = part<QPushButton>(dialog, "skeletonPlay");
    auto& slider = part<QSlider>(dialog, "skeletonFrame");
    QTest::mouseClick(&play, Qt::LeftButton);
    QTRY_VERIFY(slider.value() >= 3);
    QTest::mouseClick(&play, Qt::LeftButton);
    const int stopped = slider.value();
    QTest::qWait(200);
    EXPECT_EQ(slider.value(), stopped);
    EXPECT_EQ(play.text(), "Play");
}

TEST(SkeletonPanel, MarksTheJointsWhoseRoleTheSkeletonsShapeFound) {
    // Every joint of the walk renamed j01, j02...: only the shape can say which is which.
    Window window;
    const auto numbered = QString::fromStdString(t::testdataDir() / "skeleton/walk_numbered.bvh");
    JointsDialog dialog(jointsRequestFor(window, numbered), window.form.get());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTRY_VERIFY(!part<SkeletonPanel>(dialog, "skeletonPanel").isLoading());
    auto& view = part<SkeletonView>(dialog, "skeletonView");
    // Joint 11 is the walk's lHand, after figureHair's End Site.
    EXPECT_EQ(toolTipAt(view, view.placeOf(11).toPoint()),
              "j11\nWritten as: j11\nRole: left_hand, found by the skeleton's shape");
}

TEST(SkeletonPanel, StandsTheSkeletonUprightWhicheverAxisIsUp) {
    // Poser's file stands along Y, the CMU jump along Z; hip or Hips is joint 0, then the head
    // is joint 5 or 6.
    const std::pair<std::filesystem::path, std::size_t> files[] = {
        {"linden_avatar_walk_crlf.bvh", 5}, {"other-rigs/cmu_humanik_names_jumping.bvh", 6}};
    for (const auto& [file, head] : files) {
        SCOPED_TRACE(file);
        SkeletonPanel panel(conversion::platform::bytesOfPath(t::testdataDir() / file), {});
        panel.resize(400, 500);
        QTRY_VERIFY(!panel.isLoading());
        auto& view = part<SkeletonView>(panel, "skeletonView");
        for (const char* facing : {"skeletonFront", "skeletonSide"}) {
            SCOPED_TRACE(facing);
            part<QToolButton>(panel, facing).click();
            EXPECT_LT(view.placeOf(head).y() + 20, view.placeOf(0).y());
        }
    }
}

TEST(SkeletonPanel, SaysWhenALongTakeIsSampled) {
    // 1440 frames of 84 values, 336 bytes each: 128 KB keeps every 4th.
    const auto jumping = t::testdataDir() / "other-rigs/cmu_humanik_names_jumping.bvh";
    SkeletonPanel panel(conversion::platform::bytesOfPath(jumping), {}, nullptr, 128 << 10);
    QTRY_VERIFY(!panel.isLoading());
    EXPECT_EQ(part<QLabel>(panel, "skeletonStatus").text(),
              "A long take: 1 frame in 4 of its 1440 is shown, to keep within 128 KB.");
    auto& slider = part<QSlider>(panel, "skeletonFrame");
    EXPECT_EQ(slider.maximum(), 359);
    slider.setValue(359);
    EXPECT_EQ(part<QLabel>(panel, "skeletonFrameLabel").text(), "Frame 1437 of 1440");
}

}  // namespace
}  // namespace skelvane::ui::testing
