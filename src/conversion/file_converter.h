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
/// itself (by name, link or relative path) or a link that leads nowhere is refused; the result
/// is written to a private, unnamed (or hidden temporary) file in the output's folder and put
/// in place, durably, only once complete, so a failure leaves any existing output as it was
/// and nothing behind. A new output takes the source's permissions less the umask; an
/// existing one keeps its own. Returns the failure, or nothing on success.
std::optional<FileFailure> convertFile(const std::filesystem::path& source,
                                       const std::filesystem::path& output,
                                       const DroppedParts& dropped);

}  // namespace skelvane::conversion
