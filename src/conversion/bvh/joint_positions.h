#pragma once

#include <span>
#include <vector>

#include "conversion/bvh/hierarchy.h"

namespace skelvane::conversion {

/// A place in the file's space, in its own units.
struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

/// Where each joint of `hierarchy` (End Sites too, in its order) is at a frame whose values,
/// one per channel of the frame line in file order, are `frame`.
///
/// A joint stands at its OFFSET from its parent, moved by its position channels, and turns about
/// its own axes by its rotation channels, in degrees, composed in its CHANNELS order (the first
/// named is the outermost). Each joint takes as many values as its CHANNELS line declares;
/// channels it names that are no channel of BVH take a value and do nothing, and values missing
/// at the end of a short frame count as 0. A root stands in the world.
std::vector<Point3> jointPositions(const Hierarchy& hierarchy, std::span<const float> frame);

}  // namespace skelvane::conversion
