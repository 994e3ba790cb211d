#include "assets/tools/icon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cmath>
#include <numbers>
#include <utility>

namespace skelvane::assets::tools {
namespace {

QPointF polar(const QPointF& centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

// A thick arc that runs clockwise from `startDeg` (degrees, counter-clockwise from 3 o'clock) for
// `sweepDeg` degrees and ends in an arrowhead; lengths are those of the 32-pixel design times
// `scale`.
QPainterPath clockwiseArrow(const QPointF& centre, double scale, double startDeg, double sweepDeg) {
    const double inner = 8.0 * scale;
    const double outer = 12.5 * scale;
    const double middle = (inner + outer) / 2;
    const double headHalfWidth = 6.0 * scale;
    constexpr double kHeadDegrees = 38.0;
    const QRectF outerRect(centre - QPointF(outer, outer), QSizeF(2 * outer, 2 * outer));
    const QRectF innerRect(centre - QPointF(inner, inner), QSizeF(2 * inner, 2 * inner));
    const double endDeg = startDeg - sweepDeg;

    QPainterPath path;
    path.arcMoveTo(outerRect, startDeg);
    path.arcTo(outerRect, startDeg, -sweepDeg);
    path.lineTo(polar(centre, middle + headHalfWidth, endDeg));
    path.lineTo(polar(centre, middle, endDeg - kHeadDegrees));
    path.lineTo(polar(centre, middle - headHalfWidth, endDeg));
    path.lineTo(polar(centre, inner, endDeg));
    path.arcTo(innerRect, endDeg, sweepDeg);
    path.closeSubpath();
    return path;
}

}  // namespace

QImage drawIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = static_cast<double>(size) / kWindowIconSize;
    const QPointF centre(size / 2.0, size / 2.0);
    // A line as thick as the arrows grow would turn them dark at the larger sizes; growing
    // with the square root keeps it a fine edge.
    const QPen outline(QColor(0, 0, 0, 150), std::sqrt(scale), Qt::SolidLine, Qt::RoundCap,
                       Qt::RoundJoin);

    // Green runs over the upper left to the upper right, yellow over the lower right to the lower
    // left; each head points at the other arrow's tail.
    const std::array<std::pair<QPainterPath, QColor>, 2> arrows{{
        {clockwiseArrow(centre, scale, 192, 132), QColor(0, 255, 0)},
        {clockwiseArrow(centre, scale, 12, 132), QColor(255, 255, 0)},
    }};
    for (const auto& [path, colour] : arrows) {
        painter.setPen(outline);
        painter.setBrush(colour);
        painter.drawPath(path);
    }
    return icon;
}

}  // namespace skelvane::assets::tools
