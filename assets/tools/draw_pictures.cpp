// Draws the pictures of the main window and writes them as PNG files:
//
//   body.png   193 x 300  the body diagram: a lit figure of a standing man on orange
//   green.png    8 x 8    the green part marker
//   red.png      8 x 8    the red part marker
//   icon.png    32 x 32   the window icon
//
// Usage: draw_pictures OUTPUT_FOLDER [--preview FILE]
//
// The PNG files committed under assets/ were made with this program; the application build uses
// those files and never runs it. Besides drawing, the program checks that every part marker
// centre lands where the window expects it (on the figure, or beside it for Fingers and Toes),
// prints that check as a table and exits with 1 if a marker is misplaced. --preview also writes
// the body picture with a marker at every part, for checking the placement by eye.
//
// Runs without a display: QT_QPA_PLATFORM=offscreen draw_pictures assets

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

namespace skelvane::assets::tools {
namespace {

// ------------------------------------------------------------------------------------------------
// Part markers

constexpr int kDotSize = 8;
constexpr std::array<int, kDotSize> kDotRowWidths{2, 4, 6, 8, 8, 6, 4, 2};

// A round dot drawn pixel by pixel: the top and bottom rows and the two end pixels of every other
// row are the rim, the rest is the fill, everything outside the rows stays transparent.
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

// ------------------------------------------------------------------------------------------------
// Window icon: a green and a yellow arrow chasing each other clockwise around a circle.

constexpr int kIconSize = 32;

QPointF polar(const QPointF& centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

// A thick arc that runs clockwise from `startDeg` (degrees, counter-clockwise from 3 o'clock) for
// `sweepDeg` degrees and ends in an arrowhead.
QPainterPath clockwiseArrow(const QPointF& centre, double startDeg, double sweepDeg) {
    constexpr double kInner = 8.0;
    constexpr double kOuter = 12.5;
    constexpr double kMiddle = (kInner + kOuter) / 2;
    constexpr double kHeadHalfWidth = 6.0;
    constexpr double kHeadDegrees = 38.0;
    const QRectF outer(centre - QPointF(kOuter, kOuter), QSizeF(2 * kOuter, 2 * kOuter));
    const QRectF inner(centre - QPointF(kInner, kInner), QSizeF(2 * kInner, 2 * kInner));
    const double endDeg = startDeg - sweepDeg;

    QPainterPath path;
    path.arcMoveTo(outer, startDeg);
    path.arcTo(outer, startDeg, -sweepDeg);
    path.lineTo(polar(centre, kMiddle + kHeadHalfWidth, endDeg));
    path.lineTo(polar(centre, kMiddle, endDeg - kHeadDegrees));
    path.lineTo(polar(centre, kMiddle - kHeadHalfWidth, endDeg));
    path.lineTo(polar(centre, kInner, endDeg));
    path.arcTo(inner, endDeg, sweepDeg);
    path.closeSubpath();
    return path;
}

QImage drawIcon() {
    QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kIconSize / 2.0, kIconSize / 2.0);
    const QPen outline(QColor(0, 0, 0, 150), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Green runs over the upper left to the upper right, yellow over the lower right to the lower
    // left; each head points at the other arrow's tail.
    const std::array<std::pair<QPainterPath, QColor>, 2> arrows{{
        {clockwiseArrow(centre, 192, 132), QColor(0, 255, 0)},
        {clockwiseArrow(centre, 12, 132), QColor(255, 255, 0)},
    }};
    for (const auto& [path, colour] : arrows) {
        painter.setPen(outline);
        painter.setBrush(colour);
        painter.drawPath(path);
    }
    return icon;
}

// ------------------------------------------------------------------------------------------------
// Body picture
//
// The figure is modelled as a few simple solids seen from the front: neck, arms, hands and legs are
// chains of balls joined by the cones tangent to neighbouring balls, head, ears and deltoids are
// ellipsoids, torso and feet are outlines puffed up like cushions, and soft reliefs add muscles
// and face features on top. The outline of every solid is a QPainterPath; filling them all gives
// the figure mask. The height of the front surface above the picture plane is known at every
// point, so the figure can be lit like a rendered model.

constexpr int kBodyWidth = 193;
constexpr int kBodyHeight = 300;
constexpr int kSamples = 4;  // samples per pixel along each axis
const QColor kBackground(247, 148, 29);

struct Ball {
    QPointF centre;
    double radius;
};

struct Ellipsoid {
    QPointF centre;
    double rx;
    double ry;
    double depth;
    double angle = 0;  // degrees, clockwise on the picture
};

// A smooth bump (height > 0) or dent (height < 0) on the surface, elliptic in outline.
struct Relief {
    QPointF centre;
    double rx;
    double ry;
    double height;
    double angle = 0;
};

struct Vec3 {
    double x;
    double y;
    double z;
};

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 normalized(const Vec3& v) {
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

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

// A closed curve through `points` (Catmull-Rom, turned into cubic Bezier segments).
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

// `halfOutline` traced down the figure's right side (left of the picture), mirrored about
// x = `axis` and closed.
std::vector<QPointF> mirrored(const std::vector<QPointF>& halfOutline, double axis) {
    std::vector<QPointF> points = halfOutline;
    for (auto it = halfOutline.rbegin(); it != halfOutline.rend(); ++it) {
        points.emplace_back(2 * axis - it->x(), it->y());
    }
    return points;
}

// The balls of a limb, with more balls put in between along a Catmull-Rom spline through centres
// and radii so that the limb swells and bends smoothly instead of creasing at every ball.
std::vector<Ball> smoothLimb(std::initializer_list<Ball> balls) {
    constexpr int kSteps = 6;
    const std::vector<Ball> keys(balls);
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

// A flat shape given by its outline, puffed up: the surface rises from the outline over
// `rounding` pixels like the edge of a cushion and stays at `depth` further in.
class Cushion {
public:
    Cushion(const QPainterPath& outline, double rounding, double depth)
        : outline_(outline),
          polygon_(outline.toFillPolygon()),
          bounds_(outline.boundingRect()),
          rounding_(rounding),
          depth_(depth) {}

    const QPainterPath& outline() const { return outline_; }

    double height(const QPointF& p) const {
        if (!bounds_.contains(p) || !polygon_.containsPoint(p, Qt::OddEvenFill)) return 0;
        double nearestSq = square(rounding_);
        const qsizetype n = polygon_.size();
        for (qsizetype i = 0; i < n; ++i) {
            nearestSq =
                std::min(nearestSq, distanceToSegmentSq(p, polygon_[i], polygon_[(i + 1) % n]));
        }
        const double inward = std::sqrt(nearestSq) / rounding_;
        return depth_ * std::sqrt(1 - square(1 - inward));
    }

private:
    static double distanceToSegmentSq(const QPointF& p, const QPointF& a, const QPointF& b) {
        const QPointF ab = b - a;
        const double lengthSq = QPointF::dotProduct(ab, ab);
        const double t =
            lengthSq > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / lengthSq, 0.0, 1.0) : 0.0;
        const QPointF off = p - (a + t * ab);
        return QPointF::dotProduct(off, off);
    }

    QPainterPath outline_;
    QPolygonF polygon_;
    QRectF bounds_;
    double rounding_;
    double depth_;
};

class Figure {
public:
    void addLimb(std::initializer_list<Ball> balls) { limbs_.push_back(smoothLimb(balls)); }
    void addCushion(const Cushion& c) { cushions_.push_back(c); }
    void addEllipsoid(const Ellipsoid& e) { ellipsoids_.push_back(e); }
    void addRelief(const Relief& r) { reliefs_.push_back(r); }
    void setBriefs(const QPainterPath& briefs) { briefs_ = briefs; }
    const QPainterPath& briefs() const { return briefs_; }

    // Outlines of all solids; the figure is their union.
    std::vector<QPainterPath> outlinePieces() const {
        std::vector<QPainterPath> pieces;
        for (const auto& limb : limbs_) {
            for (std::size_t i = 0; i < limb.size(); ++i) {
                QPainterPath circle;
                circle.addEllipse(limb[i].centre, limb[i].radius, limb[i].radius);
                pieces.push_back(circle);
                if (i > 0) addSweptBallOutline(limb[i - 1], limb[i], pieces);
            }
        }
        for (const auto& e : ellipsoids_)
            pieces.push_back(ellipsePath(e.centre, e.rx, e.ry, e.angle));
        for (const auto& c : cushions_) pieces.push_back(c.outline());
        return pieces;
    }

    // Height of the front surface at `p`, or 0 off the figure. Solids are merged with a soft
    // maximum so that where two of them meet the surface rounds over instead of creasing.
    double surfaceHeight(const QPointF& p) const {
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

private:
    std::vector<std::vector<Ball>> limbs_;
    std::vector<Ellipsoid> ellipsoids_;
    std::vector<Cushion> cushions_;
    std::vector<Relief> reliefs_;
    QPainterPath briefs_;
};

// The figure faces the viewer, so its right side is on the left of the picture. Its body is
// centred on x = 97.5; the head sits a little to the figure's left of that.
constexpr double kAxis = 97.5;

Figure buildFigure() {
    Figure f;

    // Head, ears and neck.
    f.addEllipsoid({{100.5, 19.5}, 12.0, 15.0, 13.0});
    f.addEllipsoid({{100.5, 27.5}, 10.0, 11.5, 12.0});
    f.addEllipsoid({{88.5, 22.5}, 2.3, 4.5, 4.0, -8});
    f.addEllipsoid({{112.5, 22.5}, 2.3, 4.5, 4.0, 8});
    f.addLimb({{{100.5, 30}, 7.5}, {{100, 42}, 8.0}, {{99.5, 52}, 10.0}});

    // Torso from the base of the neck to the crotch: sloping shoulders, a broad chest, a narrow
    // waist and the hips.
    f.addCushion(Cushion(smoothClosedPath(mirrored({{kAxis - 1, 46},
                                                    {kAxis - 10, 47.5},
                                                    {kAxis - 19, 52},
                                                    {kAxis - 29, 57},
                                                    {kAxis - 36, 63},
                                                    {kAxis - 38, 72},
                                                    {kAxis - 34, 86},
                                                    {kAxis - 30, 99},
                                                    {kAxis - 25, 111},
                                                    {kAxis - 24.5, 121},
                                                    {kAxis - 27, 131},
                                                    {kAxis - 28, 141},
                                                    {kAxis - 22, 150},
                                                    {kAxis - 7, 154}},
                                                   kAxis)),
                         26.0, 20.0));

    // Deltoids cap the shoulders.
    f.addEllipsoid({{64.5, 73.5}, 10.0, 12.5, 10.5, 28});
    f.addEllipsoid({{130.5, 73.5}, 10.0, 12.5, 10.5, -28});

    // Right arm: shoulder, elbow at (31, 115), wrist at (17, 136), hand hanging beside the thigh.
    f.addLimb(
        {{{64, 75}, 9.5}, {{48, 95}, 8.2}, {{31, 115}, 6.4}, {{25, 124}, 6.0}, {{17, 136}, 4.3}});
    f.addEllipsoid({{15.5, 142.0}, 4.8, 7.2, 5.0, 16});
    f.addLimb({{{14.5, 145}, 4.1}, {{12.8, 149.8}, 2.8}});
    f.addLimb({{{19.6, 139}, 2.3}, {{20, 145}, 1.8}});

    // Left arm: elbow at (164, 115), wrist at (171, 136).
    f.addLimb({{{131, 75}, 9.5},
               {{147, 95}, 8.2},
               {{164, 115}, 6.4},
               {{167, 125}, 5.9},
               {{171, 136}, 4.3}});
    f.addEllipsoid({{172.5, 142.0}, 4.8, 7.2, 5.0, -12});
    f.addLimb({{{173.2, 145}, 4.1}, {{174.3, 149.8}, 2.8}});
    f.addLimb({{{168.2, 139}, 2.3}, {{168, 145}, 1.8}});

    // Legs, slightly apart: hip, knee near y = 207, ankle near y = 270.
    f.addLimb({{{81, 138}, 15.5},
               {{80, 170}, 12.8},
               {{77.5, 206}, 8.7},
               {{75.5, 225}, 8.6},
               {{73, 248}, 6.0},
               {{70.5, 268}, 4.8},
               {{69.5, 281}, 5.6}});
    f.addLimb({{{114, 138}, 15.5},
               {{115, 170}, 12.8},
               {{117.5, 206}, 8.7},
               {{119.5, 225}, 8.6},
               {{122, 248}, 6.0},
               {{124.5, 268}, 4.8},
               {{125.5, 281}, 5.6}});

    // Feet seen from the front, toes turned a little outwards; soles near y = 292.
    const std::vector<QPointF> rightFoot{{69, 271},     {64.5, 277}, {59.5, 282.5}, {56.5, 287.5},
                                         {57.5, 291.5}, {66, 292.5}, {74.5, 292},   {77, 288.5},
                                         {76.5, 282},   {73.5, 276}};
    std::vector<QPointF> leftFoot;
    for (const QPointF& p : rightFoot) leftFoot.emplace_back(2 * kAxis - p.x(), p.y());
    f.addCushion(Cushion(smoothClosedPath(rightFoot), 7.0, 6.5));
    f.addCushion(Cushion(smoothClosedPath(leftFoot), 7.0, 6.5));

    // Face.
    f.addRelief({{100.5, 17.0}, 9.0, 2.2, 0.7});
    f.addRelief({{95.5, 21.5}, 3.6, 2.4, -1.0});
    f.addRelief({{105.5, 21.5}, 3.6, 2.4, -1.0});
    f.addRelief({{100.5, 25.0}, 2.0, 4.6, 2.0});
    f.addRelief({{93.5, 26.0}, 3.0, 2.4, 0.6});
    f.addRelief({{107.5, 26.0}, 3.0, 2.4, 0.6});
    f.addRelief({{100.5, 31.5}, 3.6, 0.9, -0.7});
    f.addRelief({{100.5, 35.0}, 4.0, 2.5, 0.8});

    // Neck, collarbones, chest and belly.
    f.addRelief({{94.5, 44.0}, 2.0, 8.0, 0.8, 25});
    f.addRelief({{105.0, 44.0}, 2.0, 8.0, 0.8, -25});
    f.addRelief({{85.0, 55.0}, 12.0, 2.0, 1.0, 12});
    f.addRelief({{110.0, 55.0}, 12.0, 2.0, 1.0, -12});
    f.addRelief({{85.5, 77.0}, 14.0, 10.5, 3.0, -8});
    f.addRelief({{109.5, 77.0}, 14.0, 10.5, 3.0, 8});
    f.addRelief({{kAxis, 78.0}, 2.0, 14.0, -1.0});
    for (double y : {98.0, 107.0, 116.0}) {
        f.addRelief({{kAxis - 6.0, y}, 6.5, 5.5, 0.45});
        f.addRelief({{kAxis + 6.0, y}, 6.5, 5.5, 0.45});
    }
    f.addRelief({{kAxis, 106.0}, 1.4, 14.0, -0.6});
    f.addRelief({{kAxis, 122.0}, 1.5, 1.9, -1.5});
    f.addRelief({{kAxis - 21.0, 105.0}, 6.0, 12.0, 1.0, -10});
    f.addRelief({{kAxis + 21.0, 105.0}, 6.0, 12.0, 1.0, 10});

    // Arms.
    f.addRelief({{54.5, 87.0}, 4.5, 8.0, 1.2, 37});
    f.addRelief({{140.5, 87.0}, 4.5, 8.0, 1.2, -37});
    f.addRelief({{27.5, 120.0}, 3.5, 5.0, 0.8, 35});
    f.addRelief({{166.0, 121.0}, 3.5, 5.0, 0.8, -20});

    // Legs: front of the thighs, knee caps, shins, ankles.
    f.addRelief({{80.0, 163.0}, 8.0, 18.0, 1.4});
    f.addRelief({{115.0, 163.0}, 8.0, 18.0, 1.4});
    f.addRelief({{85.0, 194.0}, 4.5, 8.0, 1.4, -15});
    f.addRelief({{110.0, 194.0}, 4.5, 8.0, 1.4, 15});
    f.addRelief({{77.5, 206.0}, 4.8, 5.8, 0.9});
    f.addRelief({{117.5, 206.0}, 4.8, 5.8, 0.9});
    f.addRelief({{71.5, 229.0}, 4.0, 10.0, 1.0, 8});
    f.addRelief({{123.5, 229.0}, 4.0, 10.0, 1.0, -8});

    // Briefs: waistband across the hips, leg openings down to the crotch.
    f.addRelief({{kAxis, 143.0}, 6.5, 8.0, 1.8});
    QPainterPath briefs;
    briefs.moveTo(60, 126);
    briefs.cubicTo(80, 129, 115, 129, 135, 126);
    briefs.lineTo(135, 131);
    briefs.cubicTo(121, 133, 106, 143, 101, 155);
    briefs.lineTo(94, 155);
    briefs.cubicTo(89, 143, 74, 133, 60, 131);
    briefs.closeSubpath();
    f.setBriefs(briefs);
    return f;
}

// A grey image of the given paths filled in white, `scale` pixels per picture pixel.
QImage fillPaths(const std::vector<QPainterPath>& paths, int scale, bool antialias) {
    QImage image(kBodyWidth * scale, kBodyHeight * scale, QImage::Format_Grayscale8);
    image.fill(0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialias);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const auto& path : paths) painter.drawPath(path);
    return image;
}

// A grid of doubles with a separable Gaussian blur.
class Grid {
public:
    Grid(int width, int height) : width_(width), height_(height), values_(width * height, 0.0) {}
    int width() const { return width_; }
    int height() const { return height_; }
    double& at(int x, int y) { return values_[y * width_ + x]; }
    double at(int x, int y) const { return values_[y * width_ + x]; }
    double clampedAt(int x, int y) const {
        return at(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1));
    }

    Grid blurred(double sigma) const {
        const int radius = static_cast<int>(std::ceil(3 * sigma));
        std::vector<double> kernel(2 * radius + 1);
        double total = 0;
        for (int i = -radius; i <= radius; ++i) {
            kernel[i + radius] = std::exp(-square(i / sigma) / 2);
            total += kernel[i + radius];
        }
        for (double& k : kernel) k /= total;
        Grid across(width_, height_);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                double sum = 0;
                for (int i = -radius; i <= radius; ++i) {
                    const int sx = x + i;
                    if (sx >= 0 && sx < width_) sum += kernel[i + radius] * at(sx, y);
                }
                across.at(x, y) = sum;
            }
        }
        Grid result(width_, height_);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                double sum = 0;
                for (int i = -radius; i <= radius; ++i) {
                    const int sy = y + i;
                    if (sy >= 0 && sy < height_) sum += kernel[i + radius] * across.at(x, sy);
                }
                result.at(x, y) = sum;
            }
        }
        return result;
    }

private:
    int width_;
    int height_;
    std::vector<double> values_;
};

// `grid` blurred by `sigma` over the figure only, so that the outline keeps its place.
Grid smoothedInside(const Grid& grid, const QImage& inside, double sigma) {
    Grid weight(grid.width(), grid.height());
    for (int y = 0; y < grid.height(); ++y) {
        for (int x = 0; x < grid.width(); ++x) weight.at(x, y) = inside.constScanLine(y)[x] ? 1 : 0;
    }
    const Grid blurredValues = grid.blurred(sigma);
    const Grid blurredWeight = weight.blurred(sigma);
    Grid result(grid.width(), grid.height());
    for (int y = 0; y < grid.height(); ++y) {
        for (int x = 0; x < grid.width(); ++x) {
            if (weight.at(x, y) > 0)
                result.at(x, y) = blurredValues.at(x, y) / blurredWeight.at(x, y);
        }
    }
    return result;
}

struct Shade {
    Vec3 albedo;
    double specular;
    double shininess;
};

// Colour of one surface sample lit by a key light from the upper left and a weaker fill light
// from the right. `cavity` darkens creases where the surface dips below its surroundings.
Vec3 lightSample(const Vec3& normal, double cavity, double y, const Shade& shade) {
    static const Vec3 key = normalized({-0.55, -0.75, 1.0});
    static const Vec3 fill = normalized({0.9, -0.1, 0.6});
    static const Vec3 halfway = normalized({key.x, key.y, key.z + 1});
    const double diffuse = std::max(0.0, dot(normal, key));
    const double fillLight = std::max(0.0, dot(normal, fill));
    const double gloss = std::pow(std::max(0.0, dot(normal, halfway)), shade.shininess);
    const double occlusion = 1 - std::clamp(cavity * 0.09, 0.0, 0.55);
    const double falloff = 1.0 - 0.12 * y / kBodyHeight;  // the light is a little stronger above
    const double light = (0.17 + 0.80 * diffuse + 0.22 * fillLight) * occlusion * falloff;
    const double shine = shade.specular * gloss * occlusion;
    return {shade.albedo.x * light + shine, shade.albedo.y * light + shine,
            shade.albedo.z * light + shine};
}

struct BodyPicture {
    QImage picture;  // 24-bit RGB
    QImage mask;     // 8-bit coverage of the figure, 255 = wholly figure, 0 = wholly background
};

BodyPicture drawBody() {
    const Figure figure = buildFigure();
    const int width = kBodyWidth * kSamples;
    const int height = kBodyHeight * kSamples;
    const QImage inside = fillPaths(figure.outlinePieces(), kSamples, false);
    const QImage briefs = fillPaths({figure.briefs()}, kSamples, false);

    // Surface heights at every sample inside the figure.
    Grid surface(width, height);
    for (int sy = 0; sy < height; ++sy) {
        const uchar* row = inside.constScanLine(sy);
        for (int sx = 0; sx < width; ++sx) {
            if (row[sx] == 0) continue;
            const QPointF p((sx + 0.5) / kSamples, (sy + 0.5) / kSamples);
            surface.at(sx, sy) = figure.surfaceHeight(p);
        }
    }
    surface = smoothedInside(surface, inside, 0.6 * kSamples);
    const Grid surroundings = surface.blurred(3.0 * kSamples);

    const Shade skin{{0.50, 0.57, 0.70}, 0.30, 24};
    const Shade cloth{{0.11, 0.12, 0.16}, 0.10, 10};

    // Light every sample, then average the samples of each pixel.
    std::vector<Vec3> colourSum(kBodyWidth * kBodyHeight, Vec3{0, 0, 0});
    std::vector<int> covered(kBodyWidth * kBodyHeight, 0);
    for (int sy = 0; sy < height; ++sy) {
        for (int sx = 0; sx < width; ++sx) {
            if (inside.constScanLine(sy)[sx] == 0) continue;
            const double slopeX =
                (surface.clampedAt(sx + 1, sy) - surface.clampedAt(sx - 1, sy)) * kSamples / 2;
            const double slopeY =
                (surface.clampedAt(sx, sy + 1) - surface.clampedAt(sx, sy - 1)) * kSamples / 2;
            const Vec3 normal = normalized({-slopeX, -slopeY, 1});
            const double cavity = std::max(0.0, surroundings.at(sx, sy) - surface.at(sx, sy));
            const bool onBriefs = briefs.constScanLine(sy)[sx] != 0;
            const Vec3 c =
                lightSample(normal, cavity, (sy + 0.5) / kSamples, onBriefs ? cloth : skin);
            const int pixel = (sy / kSamples) * kBodyWidth + sx / kSamples;
            colourSum[pixel] = {colourSum[pixel].x + c.x, colourSum[pixel].y + c.y,
                                colourSum[pixel].z + c.z};
            ++covered[pixel];
        }
    }

    constexpr int kPerPixel = kSamples * kSamples;
    Grid coverage(kBodyWidth, kBodyHeight);
    QImage figureLayer(kBodyWidth, kBodyHeight, QImage::Format_ARGB32);
    QImage mask(kBodyWidth, kBodyHeight, QImage::Format_Grayscale8);
    auto channel = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    for (int y = 0; y < kBodyHeight; ++y) {
        for (int x = 0; x < kBodyWidth; ++x) {
            const int pixel = y * kBodyWidth + x;
            const int n = covered[pixel];
            coverage.at(x, y) = static_cast<double>(n) / kPerPixel;
            mask.scanLine(y)[x] = static_cast<uchar>((n * 255 + kPerPixel / 2) / kPerPixel);
            if (n == 0) {
                figureLayer.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            const Vec3& sum = colourSum[pixel];
            figureLayer.setPixel(x, y,
                                 qRgba(channel(sum.x / n), channel(sum.y / n), channel(sum.z / n),
                                       mask.scanLine(y)[x]));
        }
    }

    // The orange darkens in a soft halo around the figure: a blurred shadow of its silhouette.
    const Grid shadow = coverage.blurred(3.5);
    QImage halo(kBodyWidth, kBodyHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kBodyHeight; ++y) {
        for (int x = 0; x < kBodyWidth; ++x) {
            const double darkness = 0.5 * std::min(1.0, shadow.at(x, y) * 1.6);
            halo.setPixel(x, y, qRgba(0, 0, 0, channel(darkness)));
        }
    }

    QImage picture(kBodyWidth, kBodyHeight, QImage::Format_RGB888);
    picture.fill(kBackground);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, halo);
        painter.drawImage(0, 0, figureLayer);
    }
    return {picture, mask};
}

// ------------------------------------------------------------------------------------------------
// Marker placement check

struct Marker {
    const char* name;
    int x;
    int y;
    bool onFigure;  // false for the two markers drawn beside the figure
};

// Centres of the part markers in body picture pixels, in part-number order.
constexpr std::array<Marker, 23> kMarkers{{
    {"Head", 101, 10, true},      {"Neck", 101, 52, true},      {"Chest", 101, 80, true},
    {"Abdomen", 101, 108, true},  {"Hip", 94, 136, true},       {"rCollar", 66, 66, true},
    {"rShoulder", 52, 94, true},  {"rForeArm", 31, 115, true},  {"rHand", 17, 136, true},
    {"Fingers", 10, 157, false},  {"lCollar", 129, 66, true},   {"lShoulder", 143, 94, true},
    {"lForeArm", 164, 115, true}, {"lHand", 171, 136, true},    {"rButtock", 73, 136, true},
    {"rThiqh", 80, 178, true},    {"rShin", 73, 241, true},     {"rFoot", 66, 283, true},
    {"Toes", 143, 290, false},    {"lButtock", 115, 136, true}, {"lThiqh", 115, 178, true},
    {"lShin", 122, 241, true},    {"lFoot", 129, 283, true},
}};

constexpr double kMinFigureClearance = 3.0;
constexpr double kMinBackgroundClearance = 2.0;

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

bool checkMarkers(const BodyPicture& body) {
    std::printf("%-10s %4s %4s  %-10s  %-15s %9s\n", "part", "x", "y", "wanted", "pixel (r,g,b)",
                "clearance");
    bool allGood = true;
    for (const Marker& m : kMarkers) {
        const QColor c = body.picture.pixelColor(m.x, m.y);
        const bool colourOk = m.onFigure ? c.blue() >= c.red() : c.red() - c.blue() > 60;
        const double room = clearance(body.mask, m.x, m.y, m.onFigure, 12);
        const bool roomOk = room >= (m.onFigure ? kMinFigureClearance : kMinBackgroundClearance);
        const bool ok = colourOk && roomOk;
        allGood = allGood && ok;
        const QString pixel = QString("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
        std::printf("%-10s %4d %4d  %-10s  %-15s %9.1f  %s\n", m.name, m.x, m.y,
                    m.onFigure ? "figure" : "background", qPrintable(pixel), room,
                    ok ? "ok" : "WRONG");
    }
    return allGood;
}

QImage drawPreview(const QImage& body, const QImage& green, const QImage& red) {
    QImage preview = body.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&preview);
    for (const Marker& m : kMarkers) {
        painter.drawImage(m.x - kDotSize / 2, m.y - kDotSize / 2, m.onFigure ? green : red);
    }
    return preview;
}

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "draw_pictures: cannot write %s\n", qPrintable(path));
    return false;
}

int run(const QStringList& args) {
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--preview")) {
        std::fprintf(stderr, "usage: draw_pictures OUTPUT_FOLDER [--preview FILE]\n");
        return 2;
    }
    const QDir folder(args[1]);
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "draw_pictures: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    const BodyPicture body = drawBody();
    const QImage green = drawDot(QColor(0, 110, 0), QColor(64, 255, 64));
    const QImage red = drawDot(QColor(128, 0, 0), QColor(255, 0, 0));
    const bool saved = save(body.picture, folder.filePath("body.png")) &&
                       save(green, folder.filePath("green.png")) &&
                       save(red, folder.filePath("red.png")) &&
                       save(drawIcon(), folder.filePath("icon.png"));
    if (!saved) return 1;
    if (args.size() == 4 && !save(drawPreview(body.picture, green, red), args[3])) return 1;

    if (!checkMarkers(body)) {
        std::fprintf(stderr, "draw_pictures: some part markers miss their place on the figure\n");
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace skelvane::assets::tools

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    return skelvane::assets::tools::run(QGuiApplication::arguments());
}
