#include "assets/tools/icon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace skelvane::assets::tools {
namespace {

constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kYellow = qRgb(255, 255, 0);

class IconTest : public testing::TestWithParam<int> {};

// The pixel at `radius` design pixels from the centre in the direction `degrees`
// (counter-clockwise from 3 o'clock), at the icon's scale.
QRgb pixelAt(const QImage& icon, double radius, double degrees) {
    const double scale = icon.width() / 32.0;
    const double a = degrees * std::numbers::pi / 180;
    const double centre = icon.width() / 2.0;
    return icon.pixel(static_cast<int>(std::floor(centre + radius * scale * std::cos(a))),
                      static_cast<int>(std::floor(centre - radius * scale * std::sin(a))));
}

TEST_P(IconTest, ScalesTheDesignToFillTheSquare) {
    const int size = GetParam();
    const QImage icon = drawIcon(size);
    ASSERT_EQ(icon.size(), QSize(size, size));
    ASSERT_TRUE(icon.hasAlphaChannel());
    for (const int x : {0, size - 1}) {
        for (const int y : {0, size - 1}) EXPECT_EQ(qAlpha(icon.pixel(x, y)), 0) << x << "," << y;
    }

    // The arrows run along a ring from radius 8 to 12.5 of the 32-pixel design (the heads
    // reach in to 4.25): the hole in the middle and the space outside the ring stay clear.
    for (const double degrees : {45.0, 135.0, 225.0, 315.0}) {
        SCOPED_TRACE(testing::Message() << degrees << " degrees");
        EXPECT_EQ(qAlpha(pixelAt(icon, 3, degrees)), 0);
        EXPECT_EQ(qAlpha(pixelAt(icon, 15, degrees)), 0);
    }
    EXPECT_EQ(qAlpha(pixelAt(icon, 6, 135)), 0);
    EXPECT_EQ(qAlpha(pixelAt(icon, 6, 315)), 0);
    EXPECT_EQ(pixelAt(icon, 10.25, 90), kGreen);    // top
    EXPECT_EQ(pixelAt(icon, 10.25, 180), kGreen);   // left
    EXPECT_EQ(pixelAt(icon, 10.25, 270), kYellow);  // bottom
    EXPECT_EQ(pixelAt(icon, 10.25, 0), kYellow);    // right
    // The heads reach towards the other arrow's tail, past the end of their own arc.
    EXPECT_EQ(pixelAt(icon, 10.25, 40), kGreen);
    EXPECT_EQ(pixelAt(icon, 10.25, 220), kYellow);
    // Between a head and the other arrow's tail lies a gap, less than two pixels wide at 32.
    EXPECT_LT(qAlpha(pixelAt(icon, 10.25, 17)), 128);
    EXPECT_LT(qAlpha(pixelAt(icon, 10.25, 197)), 128);
}

TEST_P(IconTest, ArrowsAreTheSameShapeTurnedHalfway) {
    const int size = GetParam();
    const QImage icon = drawIcon(size);
    int green = 0;
    int yellow = 0;
    int unmatched = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (pixel == kGreen) {
                ++green;
                if (icon.pixel(size - 1 - x, size - 1 - y) != kYellow) ++unmatched;
            }
            if (pixel == kYellow) ++yellow;
        }
    }
    EXPECT_GT(green, size * size / 20);
    EXPECT_NEAR(yellow, green, green / 50);
    EXPECT_LE(unmatched, green / 50);
}

INSTANTIATE_TEST_SUITE_P(WindowAndThemeSizes, IconTest, testing::Values(32, 48, 64, 128, 256),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Size" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace skelvane::assets::tools
