#pragma once

#include <string>
#include <variant>

#include "conversion/platform.h"
#include "conversion/stream_converter.h"

namespace skelvane::conversion {

/// What the BVH start check found at the start of an open source.
struct SourceStart {
    bool bvh = false;
    /// What had to be read from a source that cannot seek back (a pipe): the start of the
    /// input, to be converted first (convertStream's `alreadyRead`). Empty when the source was
    /// put back where it was.
    std::string held;
};

/// At most this much white space is held from a pipe while the check waits for HIERARCHY;
/// a pipe that starts with more is taken as not BVH.
inline constexpr std::size_t kMaxHeldStart = 4 << 20;

/// Reads the start of `in` until the check decides (see BvhStartCheck); a source that can
/// seek is put back where it was.
std::variant<SourceStart, StreamError> readSourceStart(platform::Handle in);

}  // namespace skelvane::conversion
