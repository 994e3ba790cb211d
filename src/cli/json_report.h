#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "conversion/bvh/findings.h"

namespace skelvane::cli {

/// The reports' JSON: keys come out in the order they are set, the order they are documented
/// in.
using Json = nlohmann::ordered_json;

/// An element of a JSON array printed one element at a time: the text that opens the array
/// (`first`) or separates it from the one before, then the element indented by 2. Bytes that
/// are not UTF-8 come out as U+FFFD.
std::string arrayElement(const Json& element, bool first);

/// A check's findings as one JSON object: "errors", "warnings", "findings" (line, severity,
/// kind, reason) and "unlisted" (kind, severity, count).
Json findingsJson(const conversion::Findings& findings);

}  // namespace skelvane::cli
