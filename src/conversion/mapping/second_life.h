#pragma once

// What the Second Life viewer's BVH upload takes, as its source tells (secondlife/viewer):
// the bones of indra/newview/character/avatar_skeleton.xml with their aliases, and the limits
// of indra/llcharacter/llbvhloader.cpp, llbvhconsts.h and lljoint.h. docs/targets.md names the
// lines.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace skelvane::conversion::second_life {

/// Most joints that move in one animation (lljoint.h, LL_CHARACTER_MAX_ANIMATED_JOINTS).
inline constexpr std::size_t kMostMovingJoints = 216;

/// Longest animation in seconds (llbvhconsts.h, MAX_ANIM_DURATION).
inline constexpr double kMostSeconds = 60.0;

/// How far the hip may move from where the first frame has it, in metres (lljoint.h,
/// LL_MAX_PELVIS_OFFSET); the upload clamps it there.
inline constexpr double kMostHipOffsetMetres = 5.0;

/// Metres per unit of a file's positions: the upload reads them as inches (llbvhloader.cpp,
/// INCHES_TO_METERS).
inline constexpr double kMetresPerUnit = 0.02540005;

/// Bytes of a joint's name that the upload reads (`%79s`).
inline constexpr std::size_t kNameBytesRead = 79;

/// A joint's name as the upload reads it: up to its first blank, at most kNameBytesRead bytes.
std::string_view nameAsRead(std::string_view name);

/// True when the upload knows a joint of this name (as read): a bone's own name (mPelvis), the
/// same with `avatar_` before it, or a bone's Poser alias (hip, lShldr); compared exactly.
bool knowsJoint(std::string_view name);

/// True when the upload takes a root of this name (as read): the pelvis's names, hip, mPelvis
/// and avatar_mPelvis.
bool takesRoot(std::string_view name);

/// How long the viewer plays a file of `frames` frames: the first frame is a reference and the
/// last only ends the one before, so (frames - 2) frame times, and at least one.
double duration(std::uint64_t frames, double frameTime);

}  // namespace skelvane::conversion::second_life
