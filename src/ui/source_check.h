#pragma once

#include <string>

namespace skelvane::ui {

/// True when the file (named by the file system's bytes) is a regular file that can be read and
/// its start, at most 64 KiB of it, is not the start of a BVH file (see
/// conversion::BvhStartCheck); false for a BVH file, for a file that cannot be read, about which
/// Convert says more, and for anything but a regular file, which is not even opened.
bool doesNotStartLikeBvh(const std::string& path);

}  // namespace skelvane::ui
