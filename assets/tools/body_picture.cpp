#include "assets/tools/body_picture.h"

#include "assets/tools/grid.h"
#include "assets/tools/solids.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace skelvane::assets::tools {
namespace {

constexpr int kSamples = 4;  // samples per pixel along each axis

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

int channel(double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

}  // namespace

BodyPicture drawBody(const FigureDescription& description) {
    const FigureSolids figure(description);
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
    picture.fill(kBodyBackground);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, halo);
        painter.drawImage(0, 0, figureLayer);
    }
    return {picture, mask};
}

}  // namespace skelvane::assets::tools
