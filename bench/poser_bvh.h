#pragma once

#include <cstdio>

namespace skelvane::bench {

/// Number of values on each motion line of the generated file.
int poserChannelCount();

/// Writes a Poser-style BVH file: the full Poser hierarchy (eyes, three-segment fingers, toes,
/// buttocks, genital) and `frames` motion lines of realistic width, lines ending in CR LF.
void writePoserBvh(std::FILE* out, long frames);

}  // namespace skelvane::bench
