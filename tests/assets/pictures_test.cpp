#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <utility>

namespace skelvane::assets {
namespace {

QImage loadPicture(const char* name) {
    return QImage(QString(":/pictures/") + name);
}

TEST(PicturesTest, AllAreCompiledIn) {
    for (const char* name : {"body.png", "green.png", "red.png", "icon.png"}) {
        EXPECT_TRUE(QFile::exists(QString(":/pictures/") + name)) << name;
        EXPECT_FALSE(loadPicture(name).isNull()) << name;
    }
}

// ------------------------------------------------------------------------------------------------
// Part markers: 8 x 8 dots with a one-pixel rim, drawn without antialiasing.

struct DotCase {
    const char* file;
    QRgb rim;
    QRgb fill;
};

void PrintTo(const DotCase& dotCase, std::ostream* out) {
    *out << dotCase.file;
}

class DotTest : public testing::TestWithParam<DotCase> {};

TEST_P(DotTest, IsRoundWithRimAndFill) {
    const DotCase& dotCase = GetParam();
    const QImage dot = loadPicture(dotCase.file);
    ASSERT_EQ(dot.size(), QSize(8, 8));
    ASSERT_TRUE(dot.hasAlphaChannel());

    constexpr std::array<int, 8> kRowWidths{2, 4, 6, 8, 8, 6, 4, 2};
    for (int y = 0; y < 8; ++y) {
        const int first = (8 - kRowWidths[y]) / 2;
        const int last = first + kRowWidths[y] - 1;
        for (int x = 0; x < 8; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel (" << x << ", " << y << ")");
            const QRgb pixel = dot.pixel(x, y);
            if (x < first || x > last) {
                EXPECT_EQ(qAlpha(pixel), 0);
            } else {
                const bool onRim = y == 0 || y == 7 || x == first || x == last;
                EXPECT_EQ(pixel, onRim ? dotCase.rim : dotCase.fill);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Markers, DotTest,
                         testing::Values(DotCase{"green.png", qRgb(0, 110, 0), qRgb(64, 255, 64)},
                                         DotCase{"red.png", qRgb(128, 0, 0), qRgb(255, 0, 0)}),
                         [](const testing::TestParamInfo<DotCase>& info) {
                             return QString(info.param.file).section('.', 0, 0).toStdString();
                         });

// ------------------------------------------------------------------------------------------------
// Window icon: a green arrow over the top and a yellow one underneath on a transparent square.

TEST(IconTest, HasGreenArrowAboveAndYellowArrowBelow) {
    const QImage icon = loadPicture("icon.png");
    ASSERT_EQ(icon.size(), QSize(32, 32));
    ASSERT_TRUE(icon.hasAlphaChannel());
    for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}}) {
        EXPECT_EQ(qAlpha(icon.pixel(x, y)), 0) << "corner " << x << ", " << y;
    }

    const QRgb green = qRgb(0, 255, 0);
    const QRgb yellow = qRgb(255, 255, 0);
    std::array<int, 2> greenCount{};  // upper half, lower half
    std::array<int, 2> yellowCount{};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (pixel == green) ++greenCount[y / 16];
            if (pixel == yellow) ++yellowCount[y / 16];
        }
    }
    EXPECT_GT(greenCount[0], 40);
    EXPECT_GT(greenCount[0], 3 * greenCount[1]);
    EXPECT_GT(yellowCount[1], 40);
    EXPECT_GT(yellowCount[1], 3 * yellowCount[0]);
}

// ------------------------------------------------------------------------------------------------
// Body picture: shown unscaled; what lies under each marker is checked by the window's tests,
// which know where the markers are.

TEST(BodyPictureTest, IsOpaqueOnFlatOrange) {
    const QImage body = loadPicture("body.png");
    ASSERT_EQ(body.size(), QSize(193, 300));
    EXPECT_FALSE(body.hasAlphaChannel());
    const QRgb orange = qRgb(247, 148, 29);
    EXPECT_EQ(body.pixel(0, 0), orange);
    EXPECT_EQ(body.pixel(192, 0), orange);
}

}  // namespace
}  // namespace skelvane::assets

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    // Loading images needs a GUI application but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
