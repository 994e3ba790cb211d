#pragma once

// The temporaries that Ctrl+C, Ctrl+Break and the console's closing must not leave behind.
// Each is created marked for deletion, so that Windows removes it whatever ends the program;
// the mark is cleared only just before the rename, under the lock the console handler takes,
// so the handler finds every temporary either still marked or already in place.

#include <mutex>

namespace skelvane::conversion::platform::windows {

/// Held while a temporary is created, put in place or given up.
std::unique_lock<std::mutex> lockCleanup();

/// Under the lock: true once a console event is ending the program; nothing more may be placed.
bool cleanupEnding();

/// Under the lock: a free slot of the table, or -1 when every one is taken.
int freeCleanupSlot();

/// Under the lock: puts an open temporary (a HANDLE) in a slot; null frees the slot.
void setCleanupSlot(int slot, void* file);

/// Marks an open file for deletion at its last close, or clears the mark; false on failure.
bool markForDeletion(void* file, bool remove);

}  // namespace skelvane::conversion::platform::windows
