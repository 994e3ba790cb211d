#pragma once

#include <string>
#include <string_view>

#include "conversion/bvh/findings.h"

namespace skelvane::cli {

/// A check's findings for people, one per line: "FILE:LINE: error: reason" (or "warning:")
/// in line order, then for each kind with more findings than are listed "FILE: error: N more
/// <what the kind is about>". Each line starts with `indent`.
std::string findingsText(std::string_view file, const conversion::Findings& findings,
                         std::string_view indent = {});

/// The check of one file for scripts: an element of one JSON array (see dryRunJson), with the
/// source, its counts of errors and warnings, the findings listed and the counts of those
/// left out by kind; `failure` instead when the file could not be read.
std::string checkJson(std::string_view file, const conversion::Findings* findings,
                      std::string_view failure, bool first);

}  // namespace skelvane::cli
