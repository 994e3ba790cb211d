#include "assets/tools/marker_check.h"

#include "assets/tools/body_picture.h"
#include "assets/tools/figure.h"
#include "assets/tools/marker_dots.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace skelvane::assets::tools {
namespace {

struct ExpectedSpot {
    std::string_view name;
    int x;
    int y;
    bool onFigure;
};

// Worked out by hand from the window's layout: 15 twips per pixel, the picture one pixel inside
// Image1 at (2205, 105) twips, 8-pixel markers.
constexpr std::array<ExpectedSpot, 23> kExpectedSpots{{
    {"Head", 101, 10, true},      {"Neck", 101, 52, true},      {"Chest", 101, 80, true},
    {"Abdomen", 101, 108, true},  {"Hip", 94, 136, true},       {"rCollar", 66, 66, true},
    {"rShoulder", 52, 94, true},  {"rForeArm", 31, 115, true},  {"rHand", 17, 136, true},
    {"Fingers", 10, 157, false},  {"lCollar", 129, 66, true},   {"lShoulder", 143, 94, true},
    {"lForeArm", 164, 115, true}, {"lHand", 171, 136, true},    {"rButtock", 73, 136, true},
    {"rThiqh", 80, 178, true},    {"rShin", 73, 241, true},     {"rFoot", 66, 283, true},
    {"Toes", 143, 290, false},    {"lButtock", 115, 136, true}, {"lThiqh", 115, 178, true},
    {"lShin", 122, 241, true},    {"lFoot", 129, 283, true},
}};

TEST(MarkerSpots, AreTheWindowsMarkerCentresInPicturePixels) {
    const std::vector<MarkerSpot> spots = markerSpots();
    ASSERT_EQ(spots.size(), kExpectedSpots.size());
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const ExpectedSpot& expected = kExpectedSpots[i];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(spots[i].partName, expected.name);
        EXPECT_EQ(spots[i].centre, QPoint(expected.x, expected.y));
        EXPECT_EQ(spots[i].onFigure, expected.onFigure);
    }
}

TEST(MarkerCentre, RoundsEachEdgeToTheNearestPixelLikeTheWindow) {
    // 2362 twips is 157.47 pixels, 2363 twips 157.53; Image1's left edge is at 147 pixels.
    EXPECT_EQ(markerCentre({2362, 2415}), QPoint(13, 157));
    EXPECT_EQ(markerCentre({2363, 2415}), QPoint(14, 157));
    EXPECT_EQ(markerCentre({2310, 2422}), QPoint(10, 157));
    EXPECT_EQ(markerCentre({2310, 2423}), QPoint(10, 158));
}

BodyPicture filledPicture(const QColor& colour, uchar coverage) {
    BodyPicture body{QImage(kBodyWidth, kBodyHeight, QImage::Format_RGB888),
                     QImage(kBodyWidth, kBodyHeight, QImage::Format_Grayscale8)};
    body.picture.fill(colour);
    body.mask.fill(coverage);
    return body;
}

TEST(CheckMarkers, PassesOnTheDrawnBody) {
    for (const MarkerCheck& check : checkMarkers(drawBody(standingMan()))) {
        EXPECT_TRUE(check.ok) << check.spot.partName;
    }
}

TEST(CheckMarkers, OnPlainBackgroundPassesOnlyTheMarkersBesideTheFigure) {
    for (const MarkerCheck& check : checkMarkers(filledPicture(kBodyBackground, 0))) {
        SCOPED_TRACE(check.spot.partName);
        EXPECT_EQ(check.ok, !check.spot.onFigure);
        EXPECT_EQ(check.pixel, kBodyBackground);
    }
}

TEST(CheckMarkers, OnFigureEverywherePassesOnlyTheMarkersOnTheFigure) {
    for (const MarkerCheck& check : checkMarkers(filledPicture(QColor(100, 113, 138), 255))) {
        SCOPED_TRACE(check.spot.partName);
        EXPECT_EQ(check.ok, check.spot.onFigure);
    }
}

TEST(CheckMarkers, WantsRoomAroundTheMarker) {
    // Figure everywhere but for one background pixel 2 pixels below the head marker's centre.
    BodyPicture body = filledPicture(QColor(100, 113, 138), 255);
    body.mask.scanLine(12)[101] = 0;
    const MarkerCheck head = checkMarkers(body).front();
    EXPECT_DOUBLE_EQ(head.clearance, 2.0);
    EXPECT_FALSE(head.ok);
}

TEST(DrawPreview, PutsGreenDotsOnTheFigureAndRedOnesBesideIt) {
    QImage body(kBodyWidth, kBodyHeight, QImage::Format_RGB888);
    body.fill(kBodyBackground);
    const QImage preview = drawPreview(body, drawGreenDot(), drawRedDot());
    EXPECT_EQ(preview.pixel(101, 10), qRgb(64, 255, 64));  // fill of the Head marker
    EXPECT_EQ(preview.pixel(10, 157), qRgb(255, 0, 0));    // fill of the Fingers marker
    EXPECT_EQ(preview.pixel(143, 290), qRgb(255, 0, 0));   // fill of the Toes marker
    // The Fingers dot spans (6, 153) to (13, 160): its top row is rim in the middle only.
    EXPECT_EQ(preview.pixel(9, 153), qRgb(128, 0, 0));
    EXPECT_EQ(preview.pixel(8, 153), kBodyBackground.rgb());
    EXPECT_EQ(preview.pixel(9, 152), kBodyBackground.rgb());
}

}  // namespace
}  // namespace skelvane::assets::tools
