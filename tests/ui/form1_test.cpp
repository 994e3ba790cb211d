#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include "ui/twips_layout.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

struct ExpectedPlace {
    const char* name;
    QRect pixels;
};

// At 96 dpi, 15 twips per pixel: the layout's twips divided by 15.
const ExpectedPlace kExpectedPlaces[] = {
    {"List3", {7, 7, 12, 296}},        {"List1", {23, 7, 113, 296}},
    {"Image1", {147, 7, 195, 302}},    {"List2", {350, 7, 128, 296}},
    {"Text1", {350, 196, 134, 17}},    {"Command1", {7, 308, 127, 15}},
    {"Command2", {350, 308, 127, 15}}, {"green", {154, 312, 8, 8}},
    {"red", {222, 312, 8, 8}},         {"pbar", {6, 342, 472, 7}},
    {"Label1", {147, 324, 195, 13}},   {"Head", {245, 14, 8, 8}},
    {"Neck", {245, 56, 8, 8}},         {"Hip", {238, 140, 8, 8}},
    {"rShoulder", {196, 98, 8, 8}},    {"Fingers", {154, 161, 8, 8}},
    {"lHand", {315, 140, 8, 8}},       {"rThiqh", {224, 182, 8, 8}},
    {"Toes", {287, 294, 8, 8}},        {"lFoot", {273, 287, 8, 8}},
};

TEST(Form1, PlacesControlsAtTheirTwipsConvertedToPixels) {
    Window window;
    ASSERT_EQ(window.form->logicalDpiY(), 96) << "the expected pixels assume 96 dpi";
    for (const auto& [name, pixels] : kExpectedPlaces) {
        SCOPED_TRACE(name);
        EXPECT_EQ(window.control(name).geometry(), pixels);
    }

    // The legend labels are sized to their text and must still end before the next control.
    auto& label2 = window.control<QLabel>("Label2");
    auto& label3 = window.control<QLabel>("Label3");
    EXPECT_EQ(label2.pos(), QPoint(165, 309));
    EXPECT_EQ(label3.pos(), QPoint(234, 309));
    EXPECT_GE(label2.width(), label2.fontMetrics().horizontalAdvance(label2.text()));
    EXPECT_LT(label2.geometry().right(), window.control("red").x());
    EXPECT_LE(label3.geometry().right(), window.control("Image1").geometry().right());

    // Every part image lies inside the figure's area.
    for (const auto& part : layout::kPartImages) {
        SCOPED_TRACE(std::string(part.name));
        const QRect image = window.control(std::string(part.name).c_str()).geometry();
        EXPECT_TRUE(window.control("Image1").geometry().contains(image));
    }
}

TEST(Form1, IsAFixedCentredWindowInTheLayoutsFont) {
    Window window;
    Form1& form = *window.form;
    EXPECT_EQ(form.windowTitle(), "Skelvane");
    EXPECT_EQ(form.size(), QSize(486, 353));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(form.windowIcon().isNull());
    const QPoint screenCentre = form.screen()->availableGeometry().center();
    // The window is centred before its frame is known, so the frame may shift it a little.
    EXPECT_LE((form.frameGeometry().center() - screenCentre).manhattanLength(), 8);

    EXPECT_EQ(form.font().family(), "DejaVu Sans");
    EXPECT_EQ(QFontMetrics(form.font()).height(), 13);
    EXPECT_EQ(form.grab().toImage().pixelColor(1, 1), QColor(69, 96, 129));

    addSource(window, "/data/a.bvh");
    for (const char* name : {"List1", "List2", "List3"}) {
        SCOPED_TRACE(name);
        auto& list = window.control<QListWidget>(name);
        EXPECT_EQ(list.visualItemRect(list.item(0)).height(), 13);
        EXPECT_EQ(list.viewport()->height() / 13, 22) << "22 whole rows and part of a 23rd";
        EXPECT_EQ(list.grab().toImage().pixelColor(list.rect().bottomLeft() + QPoint(5, -5)),
                  QColor(247, 148, 29));
    }
}

TEST(Form1, StacksEditorOverList2AndPartImagesOverTheFigure) {
    Window window;
    const QObjectList stack = window.form->children();  // back to front
    for (std::size_t i = 1; i < layout::kStackingFrontToBack.size(); ++i) {
        const std::string front(layout::kStackingFrontToBack.at(i - 1));
        const std::string behind(layout::kStackingFrontToBack.at(i));
        SCOPED_TRACE(front + " over " + behind);
        EXPECT_GT(stack.indexOf(&window.control(front.c_str())),
                  stack.indexOf(&window.control(behind.c_str())));
    }

    window.control("Text1").show();
    window.control("Head").show();
    for (const char* name : {"Text1", "Head"}) {
        SCOPED_TRACE(name);
        QWidget& widget = window.control(name);
        QWidget* top = window.form->childAt(widget.geometry().center());
        EXPECT_TRUE(top == &widget || widget.isAncestorOf(top));
    }
}

TEST(Form1, TabMovesFocusThroughListsButtonsAndSkipMarks) {
    Window window;
    QApplication::setActiveWindow(window.form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.form.get()));
    EXPECT_EQ(QApplication::focusWidget(), &window.control("List1"));
    for (const char* next : {"List2", "Command1", "Command2", "List3", "List1"}) {
        SCOPED_TRACE(next);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), &window.control(next));
    }
    // The editor joins the cycle, after Convert, only while it is shown.
    window.control("Text1").show();
    window.control("Command2").setFocus();
    for (const char* next : {"Text1", "List3"}) {
        SCOPED_TRACE(next);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), &window.control(next));
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
