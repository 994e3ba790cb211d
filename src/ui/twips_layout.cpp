#include "ui/twips_layout.h"

#include <cmath>

#include <QWidget>

namespace skelvane::ui {

TwipsScale TwipsScale::vertical(const QWidget& widget) {
    return TwipsScale(1440.0 / widget.logicalDpiY());
}

int TwipsScale::toPixels(double twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixel_));
}

QRect TwipsScale::toPixels(const TwipsRect& rect) const {
    return {toPixels(rect.left), toPixels(rect.top), toPixels(rect.width), toPixels(rect.height)};
}

}  // namespace skelvane::ui
