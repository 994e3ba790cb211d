#include "conversion/files/platform_windows_cleanup.h"

// windows.h first: the others build on it.
#include <windows.h>

#include <algorithm>
#include <array>

#include "conversion/files/platform.h"

namespace skelvane::conversion::platform {

namespace {

std::array<HANDLE, kMaxTemporaries> cleanupSlots = [] {
    std::array<HANDLE, kMaxTemporaries> slots{};
    slots.fill(nullptr);
    return slots;
}();
std::mutex cleanupMutex;
bool ending = false;  // under cleanupMutex: a console event is ending the program

BOOL WINAPI removeTemporariesOnConsoleEvent(DWORD) {
    {
        const std::lock_guard lock(cleanupMutex);
        ending = true;
        for (const HANDLE file : cleanupSlots) {
            if (file != nullptr) windows::markForDeletion(file, true);
        }
    }
    // Ends the program as the system's own handler would; closing its handles removes the
    // temporaries.
    ::ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

}  // namespace

std::unique_lock<std::mutex> windows::lockCleanup() {
    return std::unique_lock(cleanupMutex);
}

bool windows::cleanupEnding() {
    return ending;
}

int windows::freeCleanupSlot() {
    const auto slot = std::find(cleanupSlots.begin(), cleanupSlots.end(), nullptr);
    return slot == cleanupSlots.end() ? -1 : static_cast<int>(slot - cleanupSlots.begin());
}

void windows::setCleanupSlot(int slot, void* file) {
    cleanupSlots[static_cast<std::size_t>(slot)] = file;
}

bool windows::markForDeletion(void* file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

int heldTemporaries() {
    const std::lock_guard lock(cleanupMutex);
    return static_cast<int>(std::count_if(cleanupSlots.begin(), cleanupSlots.end(),
                                          [](HANDLE file) { return file != nullptr; }));
}

void installSignalCleanup() {
    ::SetConsoleCtrlHandler(removeTemporariesOnConsoleEvent, TRUE);
}

}  // namespace skelvane::conversion::platform
