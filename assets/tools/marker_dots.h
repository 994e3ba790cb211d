#pragma once

#include <QImage>

namespace skelvane::assets::tools {

/// Width and height of a part marker in pixels.
inline constexpr int kDotSize = 8;

/// The marker of a converted part: a round green dot with a dark green rim.
QImage drawGreenDot();

/// The marker of a part that is not converted: a round red dot with a dark red rim.
QImage drawRedDot();

}  // namespace skelvane::assets::tools
