#pragma once

#include <QPainterPath>
#include <QPointF>

#include <vector>

namespace skelvane::assets::tools {

/// Width of the body picture in pixels; the figure is described in the picture's pixels.
inline constexpr int kBodyWidth = 193;
/// Height of the body picture in pixels.
inline constexpr int kBodyHeight = 300;

/// A ball seen from the front: its centre on the picture and its radius.
struct Ball {
    QPointF centre;
    double radius;
};

/// An ellipsoid seen from the front: its elliptic outline, turned clockwise by `angle` degrees,
/// and how far its surface stands out of the picture at the centre.
struct Ellipsoid {
    QPointF centre;
    double rx;
    double ry;
    double depth;
    double angle = 0;
};

/// A smooth bump (height > 0) or dent (height < 0) laid on the surface, elliptic in outline.
struct Relief {
    QPointF centre;
    double rx;
    double ry;
    double height;
    double angle = 0;
};

/// A flat shape puffed up like a cushion: the smooth closed curve through `outline`, whose
/// surface rises over `rounding` pixels from the edge and stays at `depth` further in.
struct Cushion {
    std::vector<QPointF> outline;
    double rounding;
    double depth;
};

/// A figure as simple solids seen from the front, in body-picture pixels.
struct FigureDescription {
    /// Each limb as a few key balls from its root to its tip; the limb runs smoothly through them.
    std::vector<std::vector<Ball>> limbs;
    /// Ellipsoids of the head, ears, deltoids and hands.
    std::vector<Ellipsoid> ellipsoids;
    /// Cushions of the torso and the feet.
    std::vector<Cushion> cushions;
    /// Muscles and face features on top of the solids.
    std::vector<Relief> reliefs;
    /// The part of the figure shaded as cloth rather than skin.
    QPainterPath briefs;
};

/// The standing man of the body picture, facing the viewer with his arms hanging down.
FigureDescription standingMan();

}  // namespace skelvane::assets::tools
