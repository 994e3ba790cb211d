#include "assets/tools/grid.h"

#include <algorithm>
#include <cmath>

namespace skelvane::assets::tools {

Grid::Grid(int width, int height) : width_(width), height_(height), values_(width * height, 0.0) {}

double Grid::clampedAt(int x, int y) const {
    return at(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1));
}

Grid Grid::blurred(double sigma) const {
    const int radius = static_cast<int>(std::ceil(3 * sigma));
    std::vector<double> kernel(2 * radius + 1);
    double total = 0;
    for (int i = -radius; i <= radius; ++i) {
        const double z = i / sigma;
        kernel[i + radius] = std::exp(-(z * z) / 2);
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

}  // namespace skelvane::assets::tools
