#pragma once

#include <cstddef>
#include <string>
#include <system_error>

#include "conversion/files/platform.h"

namespace skelvane::conversion {

/// What the BVH start check found at the start of an open source.
struct SourceStart {
    bool bvh = false;
    /// Everything read to decide: the start of the input, to be converted or scanned first
    /// (the source is read once, so these bytes are not read again).
    std::string held;
};

/// At most this much is held while the check waits for HIERARCHY; a source that starts with
/// more white space than that is taken as not BVH.
inline constexpr std::size_t kMaxHeldStart = 4 << 20;

/// How much is read at a time while the start of a source is held: the check stops after the
/// read that passes kMaxHeldStart, so this sets where exactly that is.
inline constexpr std::size_t kStartReadSize = 64 * 1024;

/// Reads the start of `in` until the check decides (see BvhStartCheck), or the system's error.
Result<SourceStart> readSourceStart(platform::Handle in);

}  // namespace skelvane::conversion
