#pragma once

// The named temporary files that no end of the program may leave behind: those the signals
// that can be caught remove at once, and those of runs killed outright, which a later run
// sweeps away.

#include <string>

namespace skelvane::conversion::platform::linux_cleanup {

/// Registers a file, by its folder's descriptor and its name there, before it is created;
/// returns its slot, or -1 when the table is full or the name too long for it.
int registerForCleanup(int folder, const std::string& name);

/// Releases a slot once its file is gone or renamed; -1 is left alone. Sets `slot` to -1.
void unregisterFromCleanup(int& slot);

/// A new hidden name for a temporary file, of fixed, short length: this host's tag and this
/// process's id, which tell a later run whether its owner is gone, and a random part.
std::string temporaryName();

/// Removes from a folder the temporary files of runs on this host that were killed where no
/// cleanup could run (SIGKILL, a crash): those whose process is gone and that were last written
/// over a minute ago. Never another host's, never a live run's. Quietly does nothing where the
/// folder cannot be listed.
void sweepDeadTemporaries(int folder);

}  // namespace skelvane::conversion::platform::linux_cleanup
