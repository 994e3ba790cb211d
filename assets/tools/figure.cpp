#include "assets/tools/figure.h"

namespace skelvane::assets::tools {
namespace {

// The figure faces the viewer, so its right side is on the left of the picture. Its body is
// centred on x = 97.5; the head sits a little to the figure's left of that.
constexpr double kAxis = 97.5;

// `half` traced down the figure's right side, followed by its mirror image traced back up, so
// that the points go once round the whole outline.
std::vector<QPointF> withMirrorImage(const std::vector<QPointF>& half) {
    std::vector<QPointF> points = half;
    for (auto it = half.rbegin(); it != half.rend(); ++it) {
        points.emplace_back(2 * kAxis - it->x(), it->y());
    }
    return points;
}

std::vector<QPointF> mirrorImage(const std::vector<QPointF>& points) {
    std::vector<QPointF> mirrored;
    for (const QPointF& p : points) mirrored.emplace_back(2 * kAxis - p.x(), p.y());
    return mirrored;
}

// Torso from the base of the neck to the crotch: sloping shoulders, a broad chest, a narrow
// waist and the hips.
const std::vector<QPointF> kTorsoRightHalf{
    {kAxis - 1, 46},   {kAxis - 10, 47.5},  {kAxis - 19, 52},  {kAxis - 29, 57},
    {kAxis - 36, 63},  {kAxis - 38, 72},    {kAxis - 34, 86},  {kAxis - 30, 99},
    {kAxis - 25, 111}, {kAxis - 24.5, 121}, {kAxis - 27, 131}, {kAxis - 28, 141},
    {kAxis - 22, 150}, {kAxis - 7, 154},
};

// The right foot seen from the front, toes turned a little outwards; the sole is near y = 292.
const std::vector<QPointF> kRightFoot{
    {69, 271},   {64.5, 277}, {59.5, 282.5}, {56.5, 287.5}, {57.5, 291.5},
    {66, 292.5}, {74.5, 292}, {77, 288.5},   {76.5, 282},   {73.5, 276},
};

// Waistband across the hips, leg openings down to the crotch.
QPainterPath briefsOutline() {
    QPainterPath briefs;
    briefs.moveTo(60, 126);
    briefs.cubicTo(80, 129, 115, 129, 135, 126);
    briefs.lineTo(135, 131);
    briefs.cubicTo(121, 133, 106, 143, 101, 155);
    briefs.lineTo(94, 155);
    briefs.cubicTo(89, 143, 74, 133, 60, 131);
    briefs.closeSubpath();
    return briefs;
}

}  // namespace

// The order of the entries matters to the last bit of the picture: the solids are merged and the
// reliefs added in this order.
FigureDescription standingMan() {
    FigureDescription man;

    man.limbs = {
        // Neck.
        {{{100.5, 30}, 7.5}, {{100, 42}, 8.0}, {{99.5, 52}, 10.0}},
        // Right arm: shoulder, elbow at (31, 115), wrist at (17, 136); then the fingers and the
        // thumb of the hand hanging beside the thigh.
        {{{64, 75}, 9.5}, {{48, 95}, 8.2}, {{31, 115}, 6.4}, {{25, 124}, 6.0}, {{17, 136}, 4.3}},
        {{{14.5, 145}, 4.1}, {{12.8, 149.8}, 2.8}},
        {{{19.6, 139}, 2.3}, {{20, 145}, 1.8}},
        // Left arm: elbow at (164, 115), wrist at (171, 136); fingers and thumb.
        {{{131, 75}, 9.5},
         {{147, 95}, 8.2},
         {{164, 115}, 6.4},
         {{167, 125}, 5.9},
         {{171, 136}, 4.3}},
        {{{173.2, 145}, 4.1}, {{174.3, 149.8}, 2.8}},
        {{{168.2, 139}, 2.3}, {{168, 145}, 1.8}},
        // Legs, slightly apart: hip, knee near y = 207, ankle near y = 270.
        {{{81, 138}, 15.5},
         {{80, 170}, 12.8},
         {{77.5, 206}, 8.7},
         {{75.5, 225}, 8.6},
         {{73, 248}, 6.0},
         {{70.5, 268}, 4.8},
         {{69.5, 281}, 5.6}},
        {{{114, 138}, 15.5},
         {{115, 170}, 12.8},
         {{117.5, 206}, 8.7},
         {{119.5, 225}, 8.6},
         {{122, 248}, 6.0},
         {{124.5, 268}, 4.8},
         {{125.5, 281}, 5.6}},
    };

    man.ellipsoids = {
        // Head, jaw and ears.
        {{100.5, 19.5}, 12.0, 15.0, 13.0},
        {{100.5, 27.5}, 10.0, 11.5, 12.0},
        {{88.5, 22.5}, 2.3, 4.5, 4.0, -8},
        {{112.5, 22.5}, 2.3, 4.5, 4.0, 8},
        // Deltoids cap the shoulders.
        {{64.5, 73.5}, 10.0, 12.5, 10.5, 28},
        {{130.5, 73.5}, 10.0, 12.5, 10.5, -28},
        // Palms of the right and the left hand.
        {{15.5, 142.0}, 4.8, 7.2, 5.0, 16},
        {{172.5, 142.0}, 4.8, 7.2, 5.0, -12},
    };

    man.cushions = {
        {withMirrorImage(kTorsoRightHalf), 26.0, 20.0},
        {kRightFoot, 7.0, 6.5},
        {mirrorImage(kRightFoot), 7.0, 6.5},
    };

    man.reliefs = {
        // Face: brow, eye sockets, nose, cheeks, mouth, chin.
        {{100.5, 17.0}, 9.0, 2.2, 0.7},
        {{95.5, 21.5}, 3.6, 2.4, -1.0},
        {{105.5, 21.5}, 3.6, 2.4, -1.0},
        {{100.5, 25.0}, 2.0, 4.6, 2.0},
        {{93.5, 26.0}, 3.0, 2.4, 0.6},
        {{107.5, 26.0}, 3.0, 2.4, 0.6},
        {{100.5, 31.5}, 3.6, 0.9, -0.7},
        {{100.5, 35.0}, 4.0, 2.5, 0.8},
        // Neck sinews and collarbones.
        {{94.5, 44.0}, 2.0, 8.0, 0.8, 25},
        {{105.0, 44.0}, 2.0, 8.0, 0.8, -25},
        {{85.0, 55.0}, 12.0, 2.0, 1.0, 12},
        {{110.0, 55.0}, 12.0, 2.0, 1.0, -12},
        // Chest and the groove between its halves.
        {{85.5, 77.0}, 14.0, 10.5, 3.0, -8},
        {{109.5, 77.0}, 14.0, 10.5, 3.0, 8},
        {{kAxis, 78.0}, 2.0, 14.0, -1.0},
        // Belly: three pairs of muscles, the line between them, the navel and the flanks.
        {{kAxis - 6.0, 98.0}, 6.5, 5.5, 0.45},
        {{kAxis + 6.0, 98.0}, 6.5, 5.5, 0.45},
        {{kAxis - 6.0, 107.0}, 6.5, 5.5, 0.45},
        {{kAxis + 6.0, 107.0}, 6.5, 5.5, 0.45},
        {{kAxis - 6.0, 116.0}, 6.5, 5.5, 0.45},
        {{kAxis + 6.0, 116.0}, 6.5, 5.5, 0.45},
        {{kAxis, 106.0}, 1.4, 14.0, -0.6},
        {{kAxis, 122.0}, 1.5, 1.9, -1.5},
        {{kAxis - 21.0, 105.0}, 6.0, 12.0, 1.0, -10},
        {{kAxis + 21.0, 105.0}, 6.0, 12.0, 1.0, 10},
        // Arms: biceps and forearm muscles.
        {{54.5, 87.0}, 4.5, 8.0, 1.2, 37},
        {{140.5, 87.0}, 4.5, 8.0, 1.2, -37},
        {{27.5, 120.0}, 3.5, 5.0, 0.8, 35},
        {{166.0, 121.0}, 3.5, 5.0, 0.8, -20},
        // Legs: front of the thighs, inner thighs above the knees, knee caps, shins.
        {{80.0, 163.0}, 8.0, 18.0, 1.4},
        {{115.0, 163.0}, 8.0, 18.0, 1.4},
        {{85.0, 194.0}, 4.5, 8.0, 1.4, -15},
        {{110.0, 194.0}, 4.5, 8.0, 1.4, 15},
        {{77.5, 206.0}, 4.8, 5.8, 0.9},
        {{117.5, 206.0}, 4.8, 5.8, 0.9},
        {{71.5, 229.0}, 4.0, 10.0, 1.0, 8},
        {{123.5, 229.0}, 4.0, 10.0, 1.0, -8},
        // The fullness of the briefs at the crotch.
        {{kAxis, 143.0}, 6.5, 8.0, 1.8},
    };

    man.briefs = briefsOutline();
    return man;
}

}  // namespace skelvane::assets::tools
