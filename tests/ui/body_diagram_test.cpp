#include <gtest/gtest.h>

#include <string>

#include <QListWidget>

#include "joblist/body_parts.h"
#include "ui/list_box.h"
#include "ui/picture_box.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

using joblist::kBodyParts;

const QColor kGreenFill(64, 255, 64);
const QColor kRedFill(255, 0, 0);

PictureBox& partImage(const Window& window, int part) {
    return window.control<PictureBox>(std::string(kBodyParts.at(part - 1).imageName).c_str());
}

// The colour a part image shows on screen: the fill at the centre of its dot.
QColor shownFill(const Window& window, int part) {
    const QRect place = partImage(window, part).geometry();
    return window.form->grab(place).toImage().pixelColor(4, 4);
}

// Selects a row the way the window's handlers leave it, then redraws the diagram.
void showRow(Window& window, int row) {
    window.control<ListBox>("List1").selectRow(row);
    window.form->SetSelection();
}

void addThreeSources(Window& window) {
    for (const char* path : {"/data/a.bvh", "/data/b.bvh", "/data/c.bvh"}) addSource(window, path);
}

TEST(BodyDiagram, PartImagesAppearOnlyOnceARowIsShown) {
    Window window;
    auto allHidden = [&] {
        for (const auto& part : kBodyParts) {
            if (partImage(window, part.number).isVisible()) return false;
        }
        return true;
    };
    EXPECT_TRUE(allHidden());
    EXPECT_TRUE(window.control("green").isVisible());
    EXPECT_TRUE(window.control("red").isVisible());

    addThreeSources(window);
    window.form->SetSelection();  // no row selected yet
    EXPECT_TRUE(allHidden());

    showRow(window, 1);
    for (const auto& part : kBodyParts) {
        SCOPED_TRACE(std::string(part.imageName));
        EXPECT_TRUE(partImage(window, part.number).isVisible());
        EXPECT_EQ(shownFill(window, part.number),
                  joblist::isFixedPart(part.number) ? kRedFill : kGreenFill);
    }
}

TEST(BodyDiagram, ShowsRedExactlyWhereTheSelectedRowsFlagIsOne) {
    Window window;
    addThreeSources(window);
    window.form->jobs().setPartOff(7, 2, 1.0F);   // rShoulder, row 2
    window.form->jobs().setPartOff(16, 0, 0.5F);  // rThiqh, row 0: not exactly 1
    window.form->jobs().setPartOff(10, 1, 0.0F);  // Fingers, row 1: fixed, stays red
    window.form->jobs().setPartOff(15, 1, 0.0F);

    struct Case {
        int row;
        int redRefreshedPart;  // 0: none
    };
    for (const Case& c : {Case{2, 7}, Case{1, 0}, Case{0, 0}, Case{2, 7}}) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        showRow(window, c.row);
        for (const auto& part : kBodyParts) {
            SCOPED_TRACE(std::string(part.imageName));
            const bool red = joblist::isFixedPart(part.number) || part.number == c.redRefreshedPart;
            EXPECT_EQ(shownFill(window, part.number), red ? kRedFill : kGreenFill);
        }
    }
}

TEST(BodyDiagram, MarkersLieOnTheirBodyPartsAndLetTheFigureShowThrough) {
    Window window;
    const QLabel& figure = window.control<QLabel>("Image1");
    const QImage body = figure.pixmap().toImage();
    ASSERT_EQ(body.size(), QSize(193, 300));
    const QPoint pictureOrigin = figure.pos() + figure.contentsRect().topLeft();

    addThreeSources(window);
    showRow(window, 0);
    const QImage screen = window.form->grab().toImage();
    for (const auto& part : kBodyParts) {
        SCOPED_TRACE(std::string(part.imageName));
        const QRect place = partImage(window, part.number).geometry();
        // The background is orange, darkened near the figure; the figure is blue-grey or dark.
        const QColor under = body.pixelColor(place.center() - pictureOrigin);
        const bool onBackground =
            under.hue() >= 15 && under.hue() <= 45 && under.saturation() > 110;
        const bool besideTheBody = part.number == 10 || part.number == 19;  // Fingers, Toes
        EXPECT_EQ(onBackground, besideTheBody) << qPrintable(under.name());
        // The dot's transparent corner shows the figure picture beneath it.
        EXPECT_EQ(screen.pixelColor(place.topLeft()),
                  body.pixelColor(place.topLeft() - pictureOrigin));
    }
}

TEST(BodyDiagram, ClickOnARefreshedPartTogglesItsFlagForTheSelectedRow) {
    Window window;
    addThreeSources(window);
    const auto& jobs = window.form->jobs();
    PictureBox& rShoulder = partImage(window, 7);

    clickCentre(rShoulder);  // no row selected: nothing happens
    EXPECT_EQ(jobs.PartOff(7, 0) + jobs.PartOff(7, 1) + jobs.PartOff(7, 2), 0.0F);

    showRow(window, 1);
    clickCentre(rShoulder);
    EXPECT_EQ(shownFill(window, 7), kRedFill);
    EXPECT_EQ(jobs.PartOff(7, 1), 1.0F);
    EXPECT_EQ(jobs.PartOff(7, 0), 0.0F);

    showRow(window, 0);
    EXPECT_EQ(shownFill(window, 7), kGreenFill);
    showRow(window, 1);
    EXPECT_EQ(shownFill(window, 7), kRedFill);
    clickCentre(rShoulder);
    EXPECT_EQ(shownFill(window, 7), kGreenFill);
    EXPECT_EQ(jobs.PartOff(7, 1), 0.0F);

    // The fixed parts and the legend take clicks without any effect.
    for (const char* name : {"Fingers", "rButtock", "Toes", "lButtock", "green", "red"}) {
        SCOPED_TRACE(name);
        clickCentre(window.control(name));
    }
    for (const auto& part : kBodyParts) {
        SCOPED_TRACE(std::string(part.imageName));
        EXPECT_EQ(jobs.PartOff(part.number, 1), 0.0F);
        EXPECT_EQ(shownFill(window, part.number),
                  joblist::isFixedPart(part.number) ? kRedFill : kGreenFill);
    }
    EXPECT_EQ(window.control<PictureBox>("green").grab().toImage().pixelColor(4, 4), kGreenFill);
    EXPECT_EQ(window.control<PictureBox>("red").grab().toImage().pixelColor(4, 4), kRedFill);
}

TEST(BodyDiagram, OffFindsThePartByTooltip) {
    Window window;
    addThreeSources(window);
    showRow(window, 2);
    auto& jobs = window.form->jobs();

    // A fixed part is toggled like any other; only the redraw leaves it alone.
    window.form->OFF(partImage(window, 10));
    EXPECT_EQ(shownFill(window, 10), kGreenFill);
    EXPECT_EQ(jobs.PartOff(10, 2), 0.0F);
    window.form->OFF(partImage(window, 10));
    EXPECT_EQ(shownFill(window, 10), kRedFill);
    EXPECT_EQ(jobs.PartOff(10, 2), 1.0F);
    showRow(window, 2);
    EXPECT_EQ(shownFill(window, 10), kRedFill);

    // The legend carries no tooltip, so it finds no part and writes the unused part 0.
    window.form->OFF(window.control<PictureBox>("green"));
    EXPECT_EQ(jobs.PartOff(0, 2), 1.0F);
    for (const auto& part : kBodyParts) {
        EXPECT_EQ(jobs.PartOff(part.number, 2), part.number == 10 ? 1.0F : 0.0F);
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
