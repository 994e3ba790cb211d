#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "conversion/rename_table.h"

namespace skelvane::conversion {

/// A file that could not be converted: the path at fault and the reason in words.
struct FileFailure {
    std::string path;
    std::string reason;
};

/// Converts `source` into `output` without ever harming either: an output that is the source
/// itself (by name, link or relative path) is refused; the result is written to a temporary
/// file in the output's folder and renamed over `output` only once complete, so a failure
/// leaves any existing output as it was. Returns the failure, or nothing on success.
std::optional<FileFailure> convertFile(const std::filesystem::path& source,
                                       const std::filesystem::path& output,
                                       const DroppedParts& dropped);

}  // namespace skelvane::conversion
