#include "conversion/platform_linux_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>

#include "conversion/platform.h"

namespace skelvane::conversion::platform {

namespace {

// Named temporary files that a signal must not leave behind, each as its folder's handle and
// its name there. A slot is registered before its file is created and released only after the
// file is gone or renamed, so no moment exists in which such a file is unknown to the cleanup.
// The handler only reads: a slot's name is written before its folder marks it used.
struct CleanupSlot {
    std::atomic<int> folder{-1};
    std::array<char, 48> name{};
};
std::array<CleanupSlot, kMaxTemporaries> cleanupSlots;
std::mutex cleanupMutex;

extern "C" void removeTemporariesAndEnd(int signalNumber) {
    for (CleanupSlot& slot : cleanupSlots) {
        const int folder = slot.folder.load();
        if (folder >= 0) ::unlinkat(folder, slot.name.data(), 0);
    }
    // Ends the program the way the signal would have, so callers see the usual status.
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

}  // namespace

int linux_cleanup::registerForCleanup(int folder, const std::string& name) {
    if (name.size() >= CleanupSlot{}.name.size()) return -1;
    const std::lock_guard lock(cleanupMutex);
    for (std::size_t i = 0; i < cleanupSlots.size(); ++i) {
        CleanupSlot& slot = cleanupSlots[i];
        if (slot.folder.load() >= 0) continue;
        std::memcpy(slot.name.data(), name.c_str(), name.size() + 1);
        slot.folder.store(folder);
        return static_cast<int>(i);
    }
    return -1;
}

void linux_cleanup::unregisterFromCleanup(int& slot) {
    if (slot < 0) return;
    cleanupSlots[static_cast<std::size_t>(slot)].folder.store(-1);
    slot = -1;
}

int testing::registeredTemporaries() {
    int count = 0;
    for (const CleanupSlot& slot : cleanupSlots) count += slot.folder.load() >= 0;
    return count;
}

void installSignalCleanup() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        ::sigaction(signalNumber, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue;  // ignored by whoever started us: stays so
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(signalNumber, &action, nullptr);
    }
    ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace skelvane::conversion::platform
