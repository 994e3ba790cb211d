#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skelvane::testing {

/// The names of a BVH text's joint lines, in order: a line that, after optional spaces and
/// tabs, starts with ROOT or JOINT and at least one of them, lines ending at LF, CR LF or a
/// lone CR; the name is the rest of the line without the spaces and tabs around it.
std::vector<std::string> jointNamesIn(std::string_view text);

}  // namespace skelvane::testing
