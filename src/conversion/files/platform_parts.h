#pragma once

// What the portable part of the platform layer (platform.cpp) asks of each system's own.

#include <filesystem>
#include <memory>
#include <system_error>

#include "conversion/files/platform.h"

namespace skelvane::conversion::platform::detail {

/// Closes an open handle.
void closeHandle(Handle handle);

/// Opens a folder for the outputs written into it; null with `error` set when it cannot be.
std::shared_ptr<const Folder> openFolder(const std::filesystem::path& path, std::error_code& error);

}  // namespace skelvane::conversion::platform::detail
