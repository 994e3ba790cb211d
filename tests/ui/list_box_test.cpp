#include <gtest/gtest.h>

#include <QTest>

#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

// The pixel lines of a row with dark pixels among its last 13: a text cut off stops short at
// its last whole letter or runs through on every line of its letters; an ellipsis is one line.
int inkedLinesAtTheEnd(ListBox& list, int row) {
    const QRect place = list.rowRect(row);
    const QImage shown = list.viewport()->grab().toImage();
    int lines = 0;
    for (int y = place.top(); y <= place.bottom(); ++y) {
        bool inked = false;
        for (int x = place.right() - 12; x <= place.right(); ++x) {
            inked = inked || shown.pixelColor(x, y).lightness() < 100;
        }
        lines += inked ? 1 : 0;
    }
    return lines;
}

// Pixels of one of the list's colours along the top edge of a row.
int framePixels(ListBox& list, int row, QPalette::ColorRole colour) {
    const QRect place = list.rowRect(row);
    const QImage shown = list.viewport()->grab().toImage();
    int count = 0;
    for (int x = place.left(); x <= place.right(); ++x) {
        count += shown.pixelColor(x, place.top()) == list.palette().color(colour) ? 1 : 0;
    }
    return count;
}

TEST_F(JobRows, LongNamesEndInAnEllipsisAndTheListWithTheFocusFramesItsRow) {
    addSource(window, window.source(QString(60, 'w') + ".bvh"));
    addSources(1);
    for (ListBox* list : {&List1, &List2}) {
        EXPECT_EQ(inkedLinesAtTheEnd(*list, 0), 1) << list->objectName().toStdString();
        EXPECT_EQ(inkedLinesAtTheEnd(*list, 1), 0) << list->objectName().toStdString();
    }
    activate();
    List1.setFocus(Qt::MouseFocusReason);  // no current row: framed where the first row lies
    EXPECT_GT(framePixels(List1, 0, QPalette::Text), 20);
    EXPECT_EQ(framePixels(List2, 0, QPalette::Text), 0);
    QTest::keyClick(&List1, Qt::Key_Tab);
    QTest::keyClick(&List2, Qt::Key_Down);
    EXPECT_EQ(framePixels(List1, 0, QPalette::Text), 0);
    EXPECT_GT(framePixels(List2, 1, QPalette::HighlightedText), 20) << "on the selection";
    EXPECT_EQ(List2.grab().toImage().pixelColor(5, 200), QColor(247, 148, 29));
}

}  // namespace
}  // namespace skelvane::ui::testing
