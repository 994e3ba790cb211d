#pragma once

#include <QImage>

#include <vector>

namespace skelvane::assets::tools {

/// A rectangle of doubles, all 0 at first.
class Grid {
public:
    /// A grid of the given size.
    Grid(int width, int height);

    /// Number of columns.
    int width() const { return width_; }
    /// Number of rows.
    int height() const { return height_; }
    /// The value at column `x`, row `y`.
    double& at(int x, int y) { return values_[y * width_ + x]; }
    /// The value at column `x`, row `y`.
    double at(int x, int y) const { return values_[y * width_ + x]; }
    /// The value at the nearest cell inside the grid.
    double clampedAt(int x, int y) const;

    /// A copy blurred by a separable Gaussian of deviation `sigma` cells; cells beyond the edge
    /// count as 0.
    Grid blurred(double sigma) const;

private:
    int width_;
    int height_;
    std::vector<double> values_;
};

/// `grid`, which holds 0 wherever the 8-bit image `inside` is 0, blurred by `sigma` and divided
/// by the blurred share of inside cells, so that cells near the outline average over the inside
/// only and the outline keeps its place; 0 outside.
Grid smoothedInside(const Grid& grid, const QImage& inside, double sigma);

}  // namespace skelvane::assets::tools
