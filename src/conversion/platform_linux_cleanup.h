#pragma once

// The named temporary files that SIGINT, SIGTERM and SIGHUP must not leave behind.

#include <string>

namespace skelvane::conversion::platform::linux_cleanup {

/// Registers a file, by its folder's descriptor and its name there, before it is created;
/// returns its slot, or -1 when the table is full or the name too long for it.
int registerForCleanup(int folder, const std::string& name);

/// Releases a slot once its file is gone or renamed; -1 is left alone. Sets `slot` to -1.
void unregisterFromCleanup(int& slot);

}  // namespace skelvane::conversion::platform::linux_cleanup
