#include "assets/tools/marker_dots.h"

#include <QColor>

#include <array>

namespace skelvane::assets::tools {
namespace {

constexpr std::array<int, kDotSize> kDotRowWidths{2, 4, 6, 8, 8, 6, 4, 2};

// Drawn pixel by pixel, since at this size any antialiasing only blurs the dot: the top and
// bottom rows and the two end pixels of every other row are the rim, the rest is the fill,
// everything outside the rows stays transparent.
QImage drawDot(const QColor& rim, const QColor& fill) {
    QImage dot(kDotSize, kDotSize, QImage::Format_ARGB32);
    dot.fill(Qt::transparent);
    for (int y = 0; y < kDotSize; ++y) {
        const int first = (kDotSize - kDotRowWidths[y]) / 2;
        const int last = first + kDotRowWidths[y] - 1;
        const bool edgeRow = y == 0 || y == kDotSize - 1;
        for (int x = first; x <= last; ++x) {
            dot.setPixelColor(x, y, edgeRow || x == first || x == last ? rim : fill);
        }
    }
    return dot;
}

}  // namespace

QImage drawGreenDot() {
    return drawDot(QColor(0, 110, 0), QColor(64, 255, 64));
}

QImage drawRedDot() {
    return drawDot(QColor(128, 0, 0), QColor(255, 0, 0));
}

}  // namespace skelvane::assets::tools
