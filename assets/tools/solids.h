#pragma once

#include "assets/tools/figure.h"

#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <vector>

namespace skelvane::assets::tools {

/// The balls of a limb with more balls put in between along a Catmull-Rom spline through the
/// key balls' centres and radii, so that the limb swells and bends smoothly.
std::vector<Ball> smoothLimb(const std::vector<Ball>& keys);

/// A closed curve through `points` (Catmull-Rom, turned into cubic Bezier segments).
QPainterPath smoothClosedPath(const std::vector<QPointF>& points);

/// A cushion made solid: its outline as a path and the height of its surface.
class CushionSolid {
public:
    /// The solid of the given cushion.
    explicit CushionSolid(const Cushion& cushion);

    /// The smooth outline of the cushion.
    const QPainterPath& outline() const { return outline_; }
    /// Height of the surface at `p`, 0 outside the outline.
    double height(const QPointF& p) const;

private:
    QPainterPath outline_;
    QPolygonF polygon_;
    QRectF bounds_;
    double rounding_;
    double depth_;
};

/// The solids of a figure together: the outlines that make up its silhouette and the height of
/// the front surface above the picture plane.
class FigureSolids {
public:
    /// The solids of the given figure.
    explicit FigureSolids(const FigureDescription& figure);

    /// Outlines of all solids; the figure is their union.
    std::vector<QPainterPath> outlinePieces() const;
    /// Height of the front surface at `p` (at least 0.01 on the figure), or 0 off the figure.
    double surfaceHeight(const QPointF& p) const;
    /// The part of the figure shaded as cloth.
    const QPainterPath& briefs() const { return briefs_; }

private:
    std::vector<std::vector<Ball>> limbs_;
    std::vector<Ellipsoid> ellipsoids_;
    std::vector<CushionSolid> cushions_;
    std::vector<Relief> reliefs_;
    QPainterPath briefs_;
};

}  // namespace skelvane::assets::tools
