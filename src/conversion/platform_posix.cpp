#include "conversion/platform.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <random>

namespace skelvane::conversion::platform {

namespace fs = std::filesystem;

// Named temporary files that a signal must not leave behind. The handler only reads these
// slots, so a slot's path is written before it is marked used and unmarked before it is
// reused.
struct CleanupSlot {
    std::array<char, PATH_MAX> path{};
    std::atomic<bool> used{false};
};

namespace {

std::array<CleanupSlot, 8> cleanupSlots;
std::mutex cleanupMutex;

CleanupSlot* registerForCleanup(const fs::path& path) {
    std::error_code ec;
    const std::string absolute = fs::absolute(path, ec).string();
    if (ec || absolute.size() >= PATH_MAX) return nullptr;
    const std::lock_guard lock(cleanupMutex);
    for (CleanupSlot& slot : cleanupSlots) {
        if (slot.used.load()) continue;
        std::memcpy(slot.path.data(), absolute.c_str(), absolute.size() + 1);
        slot.used.store(true);
        return &slot;
    }
    return nullptr;
}

void unregisterFromCleanup(CleanupSlot* slot) {
    if (slot != nullptr) slot->used.store(false);
}

extern "C" void removeTemporariesAndEnd(int signalNumber) {
    for (CleanupSlot& slot : cleanupSlots) {
        if (slot.used.load()) ::unlink(slot.path.data());
    }
    // Ends the program the way the signal would have, so callers see the usual status.
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

mode_t currentUmask() {
    static const mode_t mask = [] {
        const mode_t previous = ::umask(0);
        ::umask(previous);
        return previous;
    }();
    return mask;
}

// A hidden name of fixed, short length, so a long output name still leaves room for it.
std::string randomHiddenName() {
    static std::mt19937_64 random{std::random_device{}()};
    static std::mutex randomMutex;
    const std::lock_guard lock(randomMutex);
    return ".skelvane-" + std::to_string(random() % 1000000000) + ".tmp";
}

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

int syncFolder(const fs::path& folder) {
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return errno;
    const int result = ::fsync(handle) == 0 || errno == EINVAL ? 0 : errno;
    ::close(handle);
    return result;
}

std::atomic<bool> namedTemporariesOnly = false;

bool unnamedFilesCanBeLinked() {
    static const bool canLink = ::access("/proc/self/fd", X_OK) == 0;
    return canLink && !namedTemporariesOnly;
}

}  // namespace

std::optional<FileId> fileIdOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool sameRegularFile(Handle a, Handle b) {
    struct stat first {};
    struct stat second {};
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && S_ISREG(first.st_mode) &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::ptrdiff_t readSome(Handle handle, char* data, std::size_t size, int& errorNumber) {
    for (;;) {
        const ssize_t count = ::read(handle, data, size);
        if (count >= 0) return count;
        if (errno != EINTR) {
            errorNumber = errno;
            return -1;
        }
    }
}

int writeAll(Handle handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(handle, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return 0;
}

std::optional<std::int64_t> position(Handle handle) {
    const off_t offset = ::lseek(handle, 0, SEEK_CUR);
    if (offset < 0) return std::nullopt;
    return offset;
}

int seekTo(Handle handle, std::int64_t offset) {
    return ::lseek(handle, static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
}

Handle openForReading(const fs::path& path, int& errorNumber) {
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) errorNumber = errno;
    return handle;
}

int close(Handle handle) {
    return ::close(handle) == 0 ? 0 : errno;
}

std::optional<std::string> unusableLink(const fs::path& output) {
    struct stat info {};
    if (::lstat(output.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
    if (::stat(output.c_str(), &info) == 0) return std::nullopt;
    if (errno == ENOENT) return "the output is a link that points nowhere";
    return std::string("the output is a link that cannot be followed: ") + std::strerror(errno);
}

std::optional<std::uint32_t> permissionsOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint32_t>(info.st_mode & 07777);
}

PendingOutput::PendingOutput(const fs::path& target) : target_(target) {
    const fs::path folder = folderOf(target);
    if (unnamedFilesCanBeLinked()) {
        handle_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (handle_ >= 0) return;
        // Filesystems without unnamed files say so in one of these ways.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error_ = errno;
            return;
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path temporary = folder / randomHiddenName();
        handle_ = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (handle_ >= 0) {
            temporaryName_ = temporary.string();
            cleanup_ = registerForCleanup(temporary);
            return;
        }
        if (errno != EEXIST) break;
    }
    error_ = errno;
}

PendingOutput::~PendingOutput() {
    if (handle_ >= 0) ::close(handle_);
    if (!temporaryName_.empty()) ::unlink(temporaryName_.c_str());
    unregisterFromCleanup(cleanup_);
}

int PendingOutput::commit(std::uint32_t newFileMode) {
    if (::fdatasync(handle_) != 0) return errno;
    struct stat existing {};
    const bool replacing = ::stat(target_.c_str(), &existing) == 0;
    const mode_t mode = replacing && S_ISREG(existing.st_mode)
                            ? existing.st_mode & 07777
                            : static_cast<mode_t>(newFileMode & 0777) & ~currentUmask();
    if (::fchmod(handle_, mode) != 0) return errno;

    if (temporaryName_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(handle_);
        // linkat never replaces a name: a new output is linked in at once, an existing one is
        // replaced by a short-lived named link renamed over it.
        if (!replacing &&
            ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return syncFolder(folderOf(target_));
        }
        if (!replacing && errno != EEXIST) return errno;
        for (int attempt = 0;; ++attempt) {
            const fs::path temporary = folderOf(target_) / randomHiddenName();
            cleanup_ = registerForCleanup(temporary);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                temporaryName_ = temporary.string();
                break;
            }
            const int error = errno;
            unregisterFromCleanup(cleanup_);
            cleanup_ = nullptr;
            if (error != EEXIST || attempt == 100) return error;
        }
    }
    if (::rename(temporaryName_.c_str(), target_.c_str()) != 0) return errno;
    temporaryName_.clear();
    unregisterFromCleanup(cleanup_);
    cleanup_ = nullptr;
    return syncFolder(folderOf(target_));
}

BlockMemory::BlockMemory(std::size_t size) {
    constexpr std::size_t kHugePage = 2 << 20;
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    data_ = static_cast<char*>(std::aligned_alloc(kHugePage, rounded));
    if (data_ == nullptr) throw std::bad_alloc();
    ::madvise(data_, rounded, MADV_HUGEPAGE);  // only advice: small pages serve as well
}

BlockMemory::~BlockMemory() {
    std::free(data_);
}

void testing::useNamedTemporaries(bool named) {
    namedTemporariesOnly = named;
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
