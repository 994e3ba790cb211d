#include "conversion/files/platform_linux_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>
#include <random>
#include <string_view>

#include "conversion/files/platform.h"

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

constexpr std::string_view kTemporaryStart = ".skelvane-";
constexpr std::string_view kTemporaryEnd = ".tmp";
// A temporary last written this long ago is no live run's, whatever its process id says.
constexpr std::time_t kDeadAfterSeconds = 60;

// Eight hex digits that stand for this host's name (FNV-1a), so that runs on other hosts
// writing into a shared folder are told apart: their process ids mean nothing here.
const std::string& hostTag() {
    static const std::string tag = [] {
        std::array<char, 256> name{};
        if (::gethostname(name.data(), name.size() - 1) != 0) name[0] = '\0';
        std::uint32_t hash = 2166136261u;
        for (const char* c = name.data(); *c != '\0'; ++c) {
            hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
        }
        std::array<char, 9> hex{};
        std::snprintf(hex.data(), hex.size(), "%08x", hash);
        return std::string(hex.data(), 8);
    }();
    return tag;
}

// The process that made a temporary of this host, from its name; nothing for any other name.
std::optional<pid_t> ownerOnThisHost(std::string_view name) {
    if (!name.starts_with(kTemporaryStart) || !name.ends_with(kTemporaryEnd)) return std::nullopt;
    name.remove_prefix(kTemporaryStart.size());
    name.remove_suffix(kTemporaryEnd.size());
    const std::string& host = hostTag();
    if (!name.starts_with(host) || name.size() <= host.size() || name[host.size()] != '-') {
        return std::nullopt;
    }
    name.remove_prefix(host.size() + 1);
    pid_t owner = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), owner);
    if (error != std::errc() || owner <= 0 || end == name.data() + name.size() || *end != '-') {
        return std::nullopt;
    }
    return owner;
}

bool isGone(pid_t process) {
    return ::kill(process, 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string linux_cleanup::temporaryName() {
    static std::mt19937_64 random{std::random_device{}()};
    static std::mutex randomMutex;
    const std::lock_guard lock(randomMutex);
    return std::string(kTemporaryStart) + hostTag() + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(random() % 1000000000) + std::string(kTemporaryEnd);
}

void linux_cleanup::sweepDeadTemporaries(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    const std::time_t deadBefore = std::time(nullptr) - kDeadAfterSeconds;
    while (const dirent* entry = ::readdir(entries)) {
        const auto owner = ownerOnThisHost(entry->d_name);
        if (!owner || *owner == ::getpid() || !isGone(*owner)) continue;
        struct stat temporary {};
        if (::fstatat(folder, entry->d_name, &temporary, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(temporary.st_mode) || temporary.st_mtime >= deadBefore) continue;
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

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

int heldTemporaries() {
    int count = 0;
    for (const CleanupSlot& slot : cleanupSlots) count += slot.folder.load() >= 0;
    return count;
}

void installSignalCleanup() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM}) {
        struct sigaction previous {};
        ::sigaction(signalNumber, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) continue;  // ignored by whoever started us: stays so
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(signalNumber, &action, nullptr);
    }
    ::signal(SIGXFSZ, SIG_IGN);
    // A reader that goes away (`| head`) fails the writing to standard output with EPIPE, as
    // any other failed output, and the other outputs of the run are still committed.
    ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace skelvane::conversion::platform
