#include "assets/tools/solids.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

// Neck, arms, hands and legs are chains of balls joined by the cones tangent to neighbouring
// balls, head, ears and deltoids are ellipsoids, torso and feet are outlines puffed up like
// cushions, and reliefs add muscles and face features on top. Because the height of the front
// surface is known at every point, the figure can be lit like a rendered model.

namespace skelvane::assets::tools {
namespace {

double square(double v) {
    return v * v;
}

// Squared elliptic radius of `p` in an ellipse centred at `centre` and turned by `angle`.
double ellipticRadiusSq(const QPointF& p, const QPointF& centre, double rx, double ry,
                        double angle) {
    const double a = angle * std::numbers::pi / 180.0;
    const QPointF d = p - centre;
    const double u = std::cos(a) * d.x() + std::sin(a) * d.y();
    const double v = -std::sin(a) * d.x() + std::cos(a) * d.y();
    return square(u / rx) + square(v / ry);
}

QPainterPath ellipsePath(const QPointF& centre, double rx, double ry, double angle) {
    QPainterPath path;
    path.addEllipse(QPointF(0, 0), rx, ry);
    return QTransform().translate(centre.x(), centre.y()).rotate(angle).map(path);
}

// Squared height of the front surface of the solid swept by a ball moving from `a` to `b` while
// its radius changes linearly (the two balls and the cone tangent to both); negative outside.
double sweptBallHeightSq(const Ball& a, const Ball& b, const QPointF& p) {
    const QPointF axis = b.centre - a.centre;
    const QPointF q = p - a.centre;
    const double dr = b.radius - a.radius;
    auto heightSqAt = [&](double t) {
        const QPointF off = q - t * axis;
        return square(a.radius + t * dr) - QPointF::dotProduct(off, off);
    };
    // The squared height is a concave quadratic in t; take its peak inside [0, 1].
    const double curvature = QPointF::dotProduct(axis, axis) - dr * dr;
    double best = std::max(heightSqAt(0), heightSqAt(1));
    if (curvature > 1e-9) {
        const double t = (a.radius * dr + QPointF::dotProduct(q, axis)) / curvature;
        best = std::max(best, heightSqAt(std::clamp(t, 0.0, 1.0)));
    }
    return best;
}

// The outline of the solid above: both circles and the quadrilateral between their outer tangents.
void addSweptBallOutline(const Ball& a, const Ball& b, std::vector<QPainterPath>& pieces) {
    const QPointF axis = b.centre - a.centre;
    const double length = std::hypot(axis.x(), axis.y());
    const double k = (a.radius - b.radius) / length;
    if (std::abs(k) >= 1) return;  // one ball holds the other; the circles cover it
    const QPointF u = axis / length;
    const QPointF across(-u.y(), u.x());
    const double s = std::sqrt(1 - k * k);
    const QPointF n1 = k * u + s * across;
    const QPointF n2 = k * u - s * across;
    QPainterPath quad;
    quad.addPolygon(QPolygonF{a.centre + a.radius * n1, b.centre + b.radius * n1,
                              b.centre + b.radius * n2, a.centre + a.radius * n2});
    quad.closeSubpath();
    pieces.push_back(quad);
}

double distanceToSegmentSq(const QPointF& p, const QPointF& a, const QPointF& b) {
    const QPointF ab = b - a;
    const double lengthSq = QPointF::dotProduct(ab, ab);
    const double t =
        lengthSq > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / lengthSq, 0.0, 1.0) : 0.0;
    const QPointF off = p - (a + t * ab);
    return QPointF::dotProduct(off, off);
}

}  // namespace

std::vector<Ball> smoothLimb(const std::vector<Ball>& keys) {
    constexpr int kSteps = 6;
    const int n = static_cast<int>(keys.size());
    if (n < 2) return keys;
    auto key = [&](int i) { return keys[std::clamp(i, 0, n - 1)]; };
    std::vector<Ball> result;
    for (int i = 0; i + 1 < n; ++i) {
        const Ball b0 = key(i - 1), b1 = key(i), b2 = key(i + 1), b3 = key(i + 2);
        for (int s = 0; s < kSteps; ++s) {
            const double t = static_cast<double>(s) / kSteps;
            const double t2 = t * t, t3 = t2 * t;
            const double w0 = (-t3 + 2 * t2 - t) / 2;
            const double w1 = (3 * t3 - 5 * t2 + 2) / 2;
            const double w2 = (-3 * t3 + 4 * t2 + t) / 2;
            const double w3 = (t3 - t2) / 2;
            result.push_back({w0 * b0.centre + w1 * b1.centre + w2 * b2.centre + w3 * b3.centre,
                              w0 * b0.radius + w1 * b1.radius + w2 * b2.radius + w3 * b3.radius});
        }
    }
    result.push_back(keys.back());
    return result;
}

QPainterPath smoothClosedPath(const std::vector<QPointF>& points) {
    const int n = static_cast<int>(points.size());
    auto at = [&](int i) { return points[(i % n + n) % n]; };
    QPainterPath path(points.front());
    for (int i = 0; i < n; ++i) {
        const QPointF c1 = at(i) + (at(i + 1) - at(i - 1)) / 6;
        const QPointF c2 = at(i + 1) - (at(i + 2) - at(i)) / 6;
        path.cubicTo(c1, c2, at(i + 1));
    }
    path.closeSubpath();
    return path;
}

CushionSolid::CushionSolid(const Cushion& cushion)
    : outline_(smoothClosedPath(cushion.outline)),
      polygon_(outline_.toFillPolygon()),
      bounds_(outline_.boundingRect()),
      rounding_(cushion.rounding),
      depth_(cushion.depth) {}

double CushionSolid::height(const QPointF& p) const {
    if (!bounds_.contains(p) || !polygon_.containsPoint(p, Qt::OddEvenFill)) return 0;
    double nearestSq = square(rounding_);
    const qsizetype n = polygon_.size();
    for (qsizetype i = 0; i < n; ++i) {
        nearestSq = std::min(nearestSq, distanceToSegmentSq(p, polygon_[i], polygon_[(i + 1) % n]));
    }
    const double inward = std::sqrt(nearestSq) / rounding_;
    return depth_ * std::sqrt(1 - square(1 - inward));
}

FigureSolids::FigureSolids(const FigureDescription& figure)
    : ellipsoids_(figure.ellipsoids), reliefs_(figure.reliefs), briefs_(figure.briefs) {
    for (const auto& limb : figure.limbs) limbs_.push_back(smoothLimb(limb));
    for (const auto& cushion : figure.cushions) cushions_.emplace_back(cushion);
}

std::vector<QPainterPath> FigureSolids::outlinePieces() const {
    std::vector<QPainterPath> pieces;
    for (const auto& limb : limbs_) {
        for (std::size_t i = 0; i < limb.size(); ++i) {
            QPainterPath circle;
            circle.addEllipse(limb[i].centre, limb[i].radius, limb[i].radius);
            pieces.push_back(circle);
            if (i > 0) addSweptBallOutline(limb[i - 1], limb[i], pieces);
        }
    }
    for (const auto& e : ellipsoids_) pieces.push_back(ellipsePath(e.centre, e.rx, e.ry, e.angle));
    for (const auto& c : cushions_) pieces.push_back(c.outline());
    return pieces;
}

// Solids are merged with a soft maximum so that where two of them meet the surface rounds over
// instead of creasing.
double FigureSolids::surfaceHeight(const QPointF& p) const {
    constexpr double kBlend = 8;  // power of the soft maximum; higher is harder
    double sum = 0;
    auto merge = [&](double h) {
        if (h > 0) sum += std::pow(h, kBlend);
    };
    for (const auto& limb : limbs_) {
        double best = square(limb.front().radius) -
                      QPointF::dotProduct(p - limb.front().centre, p - limb.front().centre);
        for (std::size_t i = 1; i < limb.size(); ++i) {
            best = std::max(best, sweptBallHeightSq(limb[i - 1], limb[i], p));
        }
        if (best > 0) merge(std::sqrt(best));
    }
    for (const auto& e : ellipsoids_) {
        const double r2 = ellipticRadiusSq(p, e.centre, e.rx, e.ry, e.angle);
        if (r2 < 1) merge(e.depth * std::sqrt(1 - r2));
    }
    for (const auto& c : cushions_) merge(c.height(p));
    if (sum <= 0) return 0;
    double height = std::pow(sum, 1 / kBlend);
    for (const auto& r : reliefs_) {
        const double r2 = ellipticRadiusSq(p, r.centre, r.rx, r.ry, r.angle);
        if (r2 < 1) height += r.height * square(1 - r2);
    }
    return std::max(height, 0.01);
}

}  // namespace skelvane::assets::tools
