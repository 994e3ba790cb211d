#pragma once

#include <QString>

namespace skelvane::ui {

/// True when the file can be read and its start, at most 64 KiB of it, is not the start of a
/// BVH file (see conversion::BvhStartCheck); false for a BVH file and for a file that cannot be
/// read, about which Convert says more.
bool doesNotStartLikeBvh(const QString& path);

}  // namespace skelvane::ui
