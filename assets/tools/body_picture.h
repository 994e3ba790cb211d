#pragma once

#include "assets/tools/figure.h"

#include <QColor>
#include <QImage>

namespace skelvane::assets::tools {

/// The flat orange behind the figure.
inline const QColor kBodyBackground(247, 148, 29);

/// The body picture together with how much of each pixel the figure covers.
struct BodyPicture {
    /// The picture, 24-bit RGB.
    QImage picture;
    /// 8-bit coverage of each pixel by the figure: 255 wholly figure, 0 wholly background.
    QImage mask;
};

/// Draws the figure, lit like a rendered model and darkening the orange around it in a soft
/// halo, as a kBodyWidth x kBodyHeight picture.
BodyPicture drawBody(const FigureDescription& figure);

}  // namespace skelvane::assets::tools
