#pragma once

#include "assets/tools/body_picture.h"
#include "ui/twips_layout.h"

#include <QColor>
#include <QImage>
#include <QPoint>

#include <string_view>
#include <vector>

namespace skelvane::assets::tools {

/// Where a part's marker lands on the body picture.
struct MarkerSpot {
    std::string_view partName;
    /// The marker's centre pixel (the one right of and below its middle) in picture pixels.
    QPoint centre;
    /// False for the markers that stand beside the figure.
    bool onFigure;
};

/// The centre of a marker in body-picture pixels, placed as the window places it at 15 twips
/// per pixel: each edge rounded to whole pixels on its own, the picture inside Image1's
/// one-pixel border.
QPoint markerCentre(const ui::layout::PartPlace& place);

/// The spots of all part markers in part-number order.
std::vector<MarkerSpot> markerSpots();

/// What lies under one marker and whether that is what the marker wants.
struct MarkerCheck {
    MarkerSpot spot;
    /// The picture's pixel at the marker's centre.
    QColor pixel;
    /// Distance from the centre to the nearest pixel that is not wholly figure (or, for a
    /// marker beside the figure, not wholly background), at most 12.
    double clearance;
    /// True when the pixel shows figure or background as wanted, with room to spare.
    bool ok;
};

/// Checks every marker against the body picture, in part-number order.
std::vector<MarkerCheck> checkMarkers(const BodyPicture& body);

/// The body picture with the green marker on every spot on the figure and the red one on the
/// spots beside it, for checking the placement by eye.
QImage drawPreview(const QImage& body, const QImage& green, const QImage& red);

}  // namespace skelvane::assets::tools
