#include "assets/tools/marker_check.h"

#include "assets/tools/marker_dots.h"
#include "ui/twips_layout.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace skelvane::assets::tools {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClearanceLimit = 12;
constexpr double kMinFigureClearance = 3.0;
constexpr double kMinBackgroundClearance = 2.0;

// Rounds like the window's conversion of twips (lround of twips / twips per pixel).
int toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

// Distance from (x, y) to the nearest mask pixel that is not wholly figure (or, off the figure,
// not wholly background), searched up to `limit` pixels.
double clearance(const QImage& mask, int x, int y, bool onFigure, int limit) {
    double nearest = limit;
    for (int dy = -limit; dy <= limit; ++dy) {
        for (int dx = -limit; dx <= limit; ++dx) {
            const int px = x + dx;
            const int py = y + dy;
            if (px < 0 || py < 0 || px >= mask.width() || py >= mask.height()) continue;
            const uchar m = mask.constScanLine(py)[px];
            if (onFigure ? m != 255 : m != 0) nearest = std::min(nearest, std::hypot(dx, dy));
        }
    }
    return nearest;
}

}  // namespace

QPoint markerCentre(const ui::layout::PartPlace& place) {
    using ui::layout::Image1;
    constexpr int kBorder = 1;
    const int half = toPixels(ui::layout::kPartImageSize) / 2;
    return {toPixels(place.left) - toPixels(Image1.left) - kBorder + half,
            toPixels(place.top) - toPixels(Image1.top) - kBorder + half};
}

std::vector<MarkerSpot> markerSpots() {
    std::vector<MarkerSpot> spots;
    for (const common::BodyPart& part : common::kBodyParts) {
        const ui::layout::PartPlace& place = ui::layout::kPartImagePlaces.at(part.number - 1);
        spots.push_back({part.imageName, markerCentre(place), !place.besideFigure});
    }
    return spots;
}

std::vector<MarkerCheck> checkMarkers(const BodyPicture& body) {
    std::vector<MarkerCheck> checks;
    for (const MarkerSpot& spot : markerSpots()) {
        const int x = spot.centre.x();
        const int y = spot.centre.y();
        const QColor pixel = body.picture.pixelColor(x, y);
        // The figure is bluish grey (or near black on the briefs), the background orange.
        const bool colourOk =
            spot.onFigure ? pixel.blue() >= pixel.red() : pixel.red() - pixel.blue() > 60;
        const double room = clearance(body.mask, x, y, spot.onFigure, kClearanceLimit);
        const double wanted = spot.onFigure ? kMinFigureClearance : kMinBackgroundClearance;
        checks.push_back({spot, pixel, room, colourOk && room >= wanted});
    }
    return checks;
}

QImage drawPreview(const QImage& body, const QImage& green, const QImage& red) {
    QImage preview = body.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&preview);
    for (const MarkerSpot& spot : markerSpots()) {
        painter.drawImage(spot.centre.x() - kDotSize / 2, spot.centre.y() - kDotSize / 2,
                          spot.onFigure ? green : red);
    }
    return preview;
}

}  // namespace skelvane::assets::tools
