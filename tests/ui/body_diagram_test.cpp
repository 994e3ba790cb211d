#include <gtest/gtest.h>

#include <string>

#include "common/body_parts.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

using common::isFixedPart;
using common::kBodyParts;

const QColor kGreen(64, 255, 64);  // the fill at a dot's centre
const QColor kRed(255, 0, 0);

PictureBox& partImage(const Window& window, int part) {
    return window.control<PictureBox>(std::string(kBodyParts.at(part - 1).imageName));
}

// What the window shows at a part image's centre, or black while the image is hidden.
QColor shown(const Window& window, int part) {
    const PictureBox& image = partImage(window, part);
    if (!image.isVisible()) return Qt::black;
    return window.form->grab(image.geometry()).toImage().pixelColor(4, 4);
}

void showRow(Window& window, int row) {
    window.control<ListBox>("List1").selectRow(row);
    Form1Access::SetSelection(*window.form);
}

struct DiagramWithRows : ::testing::Test {
    DiagramWithRows() {
        for (const char* name : {"a.bvh", "b.bvh", "c.bvh"}) addSource(window, window.source(name));
    }
    Window window;
    joblist::JobList& jobs = Form1Access::jobs(*window.form);
};

TEST_F(DiagramWithRows, ShowsRedExactlyWhereTheSelectedRowsFlagIsOneAndFixedPartsAlwaysRed) {
    Form1Access::SetSelection(*window.form);  // no row selected: stays bare
    for (const auto& part : kBodyParts) EXPECT_EQ(shown(window, part.number), Qt::black);
    jobs.setPartFlag(2, 7, 1.0F);   // rShoulder
    jobs.setPartFlag(0, 16, 0.5F);  // rThiqh: not exactly 1
    jobs.setPartFlag(1, 10, 0.0F);  // Fingers: fixed
    for (const auto& [row, redPart] : {std::pair{2, 7}, {1, 0}, {0, 0}, {2, 7}}) {
        showRow(window, row);
        for (const auto& part : kBodyParts) {
            SCOPED_TRACE("row " + std::to_string(row) + " " + std::string(part.imageName));
            const bool red = isFixedPart(part.number) || part.number == redPart;
            EXPECT_EQ(shown(window, part.number), red ? kRed : kGreen);
        }
    }
}

TEST_F(DiagramWithRows, MarkersLieOnTheirBodyPartsAndLetTheFigureShowThrough) {
    const auto& figure = window.control<QLabel>("Image1");
    const QImage body = figure.pixmap().toImage();
    const QPoint origin = figure.pos() + figure.contentsRect().topLeft();
    showRow(window, 0);
    const QImage screen = window.form->grab().toImage();
    for (const auto& part : kBodyParts) {
        SCOPED_TRACE(std::string(part.imageName));
        const QRect place = partImage(window, part.number).geometry();
        // Orange, darkened near the figure, is background; the figure is blue-grey or dark.
        const QColor under = body.pixelColor(place.center() - origin);
        const bool onBackground =
            under.hue() >= 15 && under.hue() <= 45 && under.saturation() > 110;
        EXPECT_EQ(onBackground, part.number == 10 || part.number == 19) << qPrintable(under.name());
        EXPECT_EQ(screen.pixelColor(place.topLeft()), body.pixelColor(place.topLeft() - origin));
    }
}

TEST_F(DiagramWithRows, ClickOnARefreshedPartTogglesItsFlagForTheSelectedRowOnly) {
    PictureBox& rShoulder = partImage(window, 7);
    clickCentre(rShoulder);  // no row selected
    showRow(window, 1);
    clickCentre(rShoulder);
    EXPECT_EQ(shown(window, 7), kRed);
    EXPECT_EQ(std::vector<float>({jobs.partFlag(0, 7), jobs.partFlag(1, 7)}),
              std::vector<float>({0, 1}));
    showRow(window, 0);
    EXPECT_EQ(shown(window, 7), kGreen);
    showRow(window, 1);
    EXPECT_EQ(shown(window, 7), kRed);
    clickCentre(rShoulder);
    EXPECT_EQ(shown(window, 7), kGreen);
    EXPECT_EQ(jobs.partFlag(1, 7), 0.0F);

    for (const char* name : {"Fingers", "rButtock", "Toes", "lButtock", "green", "red"}) {
        clickCentre(window.control(name));
    }
    for (const auto& part : kBodyParts) {
        SCOPED_TRACE(std::string(part.imageName));
        EXPECT_EQ(jobs.partFlag(1, part.number), 0.0F);
        EXPECT_EQ(shown(window, part.number), isFixedPart(part.number) ? kRed : kGreen);
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
