#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "common/body_parts.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

TEST(Form1, PlacesControlsAtTheirTwipsInPixelsAndInTheLayoutsFont) {
    Window window;
    ASSERT_EQ(window.form->logicalDpiY(), 96) << "the pixels below are at 15 twips per pixel";
    const std::pair<const char*, QRect> places[] = {
        {"List3", {7, 7, 12, 296}},        {"List1", {23, 7, 113, 296}},
        {"Image1", {147, 7, 195, 302}},    {"List2", {350, 7, 128, 296}},
        {"Text1", {350, 196, 134, 17}},    {"Command1", {7, 308, 127, 15}},
        {"Command2", {350, 308, 127, 15}}, {"green", {154, 312, 8, 8}},
        {"red", {222, 312, 8, 8}},         {"pbar", {6, 342, 472, 7}},
        {"Label1", {147, 324, 195, 13}},   {"Hip", {238, 140, 8, 8}},
        {"Fingers", {154, 161, 8, 8}},     {"Toes", {287, 294, 8, 8}}};
    for (const auto& [name, pixels] : places) {
        SCOPED_TRACE(name);
        EXPECT_EQ(window.control(name).geometry(), pixels);
    }
    // The legend labels fit their text, which must still end before the next control.
    EXPECT_EQ(window.control("Label2").pos(), QPoint(165, 309));
    EXPECT_LT(window.control("Label2").geometry().right(), window.control("red").x());
    EXPECT_LE(window.control("Label3").geometry().right(),
              window.control("Image1").geometry().right());

    Form1& form = *window.form;
    EXPECT_EQ(form.windowTitle(), "Skelvane");
    EXPECT_EQ(form.minimumSize(), QSize(486, 353));
    EXPECT_EQ(form.maximumSize(), QSize(486, 353));
    EXPECT_FALSE(form.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(form.windowIcon().isNull());
    // Centred before the frame is known, so the frame may shift it by a few pixels.
    EXPECT_LE((form.frameGeometry().center() - form.screen()->availableGeometry().center())
                  .manhattanLength(),
              8);
    EXPECT_EQ(form.grab().toImage().pixelColor(1, 1), QColor(69, 96, 129));

    addSource(window, window.source("a.bvh"));
    for (const char* name : {"List1", "List2", "List3"}) {
        SCOPED_TRACE(name);
        auto& list = window.control<ListBox>(name);
        EXPECT_EQ(list.rowRect(0).height(), 13);
        EXPECT_EQ(list.viewport()->height() / 13, 22) << "22 whole rows and part of a 23rd";
        EXPECT_EQ(list.grab().toImage().pixelColor(5, 200), QColor(247, 148, 29));
    }
}

TEST(Form1, StacksTheEditorOverList2AndThePartImagesOverTheFigure) {
    Window window;
    const QObjectList backToFront = window.form->children();
    const auto depth = [&](std::string_view name) {
        return backToFront.indexOf(&window.control(std::string(name)));
    };
    EXPECT_GT(depth("Text1"), depth("List2"));
    EXPECT_EQ(depth("Image1"), 0);
    for (const auto& part : common::kBodyParts) {
        SCOPED_TRACE(std::string(part.imageName));
        EXPECT_GT(depth(part.imageName), depth("Label1"));
        EXPECT_LT(depth(part.imageName), depth("red"));
    }
}

TEST(Form1, TabMovesTheFocusInTabOrder) {
    Window window;
    QApplication::setActiveWindow(window.form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.form.get()));
    EXPECT_EQ(QApplication::focusWidget(), &window.control("List1"));
    for (const char* next : {"List2", "Command1", "Command2", "List3", "List1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), &window.control(next)) << next;
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
