#pragma once

#include <string_view>

#include "conversion/rename/joint_report.h"

namespace skelvane::reference {

/// Whether bytes start like a BVH file, the plain way: an optional byte-order mark, any ASCII
/// white space, then HIERARCHY.
bool startsLikeBvhPlain(std::string_view bytes);

/// A file's joint report under the built-in table worked out the plain way: the whole file split
/// into lines, each line taken apart with string functions, each joint name renamed with the
/// plain rename of kRenameRules.
conversion::JointReport jointReportPlain(std::string_view bytes,
                                         const conversion::DroppedParts& dropped);

}  // namespace skelvane::reference
