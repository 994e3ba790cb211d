#pragma once

#include <QImage>

#include <array>

namespace skelvane::assets::tools {

/// Size in pixels of the window icon; the icon's geometry is designed at this size.
inline constexpr int kWindowIconSize = 32;

/// Sizes in pixels of the icons for the desktop's icon theme.
inline constexpr std::array<int, 4> kThemeIconSizes{48, 64, 128, 256};

/// The icon at `size` x `size` pixels: a green and a yellow arrow chasing each other clockwise
/// around a circle on a transparent square.
QImage drawIcon(int size);

}  // namespace skelvane::assets::tools
