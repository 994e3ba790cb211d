#pragma once

// What the portable part of the platform layer (platform.cpp) asks of each system's own.

#include <filesystem>
#include <memory>
#include <system_error>

#include "conversion/files/platform.h"

namespace skelvane::conversion::platform::detail {

/// Closes an open handle.
void closeHandle(Handle handle);

/// Opens a folder for the outputs written into it, or tells why it cannot be opened.
Result<std::shared_ptr<const Folder>> openFolder(const std::filesystem::path& path);

}  // namespace skelvane::conversion::platform::detail
