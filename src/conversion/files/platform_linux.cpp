#include "conversion/files/platform.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

#include "conversion/files/file_error.h"
#include "conversion/files/platform_linux_cleanup.h"
#include "conversion/files/platform_parts.h"

namespace skelvane::conversion::platform {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno, std::system_category()};
}

// A handle is a descriptor here.
int fd(Handle handle) {
    return static_cast<int>(handle);
}

mode_t currentUmask() {
    static const mode_t mask = [] {
        const mode_t previous = ::umask(0);
        ::umask(previous);
        return previous;
    }();
    return mask;
}

// Filesystems such as FAT or exFAT keep no modes and refuse to change them.
bool keepsNoModes(const std::error_code& error) {
    return error == std::errc::operation_not_permitted || error == std::errc::not_supported ||
           error.value() == EOPNOTSUPP;
}

FileId idOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// syncfs reports the write errors of the filesystem's files from Linux 5.8 on.
bool kernelReportsSyncfsErrors() {
    struct utsname names {};
    if (::uname(&names) != 0) return false;
    int major = 0;
    int minor = 0;
    if (std::sscanf(names.release, "%d.%d", &major, &minor) != 2) return false;
    return major > 5 || (major == 5 && minor >= 8);
}

}  // namespace

// Opens a folder so that files can be created and renamed in it and, where its mode allows
// reading, synced; a folder that may only be written and searched is opened as a path.
Result<std::shared_ptr<const Folder>> detail::openFolder(const fs::path& path) {
    auto folder = std::make_shared<Folder>();
    int handle = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0 && errno == EACCES) {
        folder->syncs = false;
        handle = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat info {};
    if (handle < 0 || ::fstat(handle, &info) != 0) {
        const std::error_code error = lastError();
        if (handle >= 0) ::close(handle);
        return error;
    }
    folder->handle = File(handle);
    folder->id = idOf(info);
    return std::shared_ptr<const Folder>(std::move(folder));
}

void detail::closeHandle(Handle handle) {
    ::close(fd(handle));
}

Handle standardInput() {
    return STDIN_FILENO;
}

Handle standardOutput() {
    return STDOUT_FILENO;
}

Handle standardError() {
    return STDERR_FILENO;
}

bool isTerminal(Handle handle) {
    return ::isatty(fd(handle)) == 1;
}

fs::path comparableName(const fs::path& name) {
    return name;
}

fs::path pathFromBytes(std::string_view bytes) {
    return fs::path(std::string(bytes));
}

std::string bytesOfPath(const fs::path& path) {
    return path.native();
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

Result<File> openForReading(const fs::path& path) {
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) return lastError();
    return File(handle);
}

namespace {

// Whether a named pipe has a writer or holds data, asked without taking any of its bytes: tee
// copies them into a scratch pipe and leaves them where they are. An empty pipe reports its end
// (0) when no program holds it open for writing; with a writer it would wait (EAGAIN).
bool pipeHasWriterOrData(int namedPipe, std::error_code& error) {
    int scratch[2];
    if (::pipe2(scratch, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = lastError();
        return false;
    }
    const File readEnd(scratch[0]);
    const File writeEnd(scratch[1]);
    for (;;) {
        const ssize_t count = ::tee(namedPipe, scratch[1], 1, SPLICE_F_NONBLOCK);
        if (count >= 0) return count > 0;
        if (errno == EAGAIN) return true;
        if (errno != EINTR) {
            error = lastError();
            return false;
        }
    }
}

}  // namespace

Result<File> openForReadingWithoutWaiting(const fs::path& path) {
    // O_NONBLOCK opens a named pipe at once, writer or not; reads wait again afterwards.
    File file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.isOpen() || ::fstat(fd(file.handle()), &info) != 0) return lastError();
    std::error_code error;
    if (S_ISFIFO(info.st_mode) && !pipeHasWriterOrData(fd(file.handle()), error)) {
        return error ? error : std::make_error_code(std::errc::broken_pipe);
    }
    const int flags = ::fcntl(fd(file.handle()), F_GETFL);
    if (flags < 0 || ::fcntl(fd(file.handle()), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return lastError();
    }
    return file;
}

Result<std::optional<FileId>> fileIdOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return std::optional(idOf(info));
    // Nothing there, or nothing this user can reach: no file of the run can be it either.
    if (errno != ENOENT && errno != ENOTDIR && errno != EACCES && errno != ELOOP &&
        errno != ENAMETOOLONG) {
        return lastError();
    }
    return std::optional<FileId>();
}

std::optional<FileId> regularFileIdOf(Handle handle) {
    struct stat info {};
    if (::fstat(fd(handle), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return idOf(info);
}

std::optional<FileInfo> fileInfoOf(Handle handle) {
    struct stat info {};
    if (::fstat(fd(handle), &info) != 0) return std::nullopt;
    FileInfo file;
    if (S_ISREG(info.st_mode)) file.regularId = idOf(info);
    file.permissions = static_cast<std::uint32_t>(info.st_mode & 07777);
    return file;
}

Result<std::size_t> readSome(Handle handle, char* data, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(fd(handle), data, size);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) return lastError();
    }
}

std::error_code writeAll(Handle handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd(handle), bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return {};
}

Result<OutputTarget> OutputTarget::resolve(const fs::path& output, FolderCache& folders) {
    // Links are followed here, one hop at a time, and never again: the final folder stays
    // open and the final name is kept.
    constexpr int kMostLinks = 40;
    OutputTarget target;
    fs::path path = output;
    for (int links = 0;; ++links) {
        if (links > kMostLinks) {
            return std::make_error_code(std::errc::too_many_symbolic_link_levels);
        }
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        target.name_ = path.filename();
        if (target.name_.empty() || target.name_ == "." || target.name_ == "..") {
            return std::make_error_code(std::errc::is_a_directory);
        }
        auto opened = folders.open(folder);
        if (!opened) {
            if (links > 0 && opened.error() == std::errc::no_such_file_or_directory) {
                return FileError::DanglingLink;
            }
            return opened.error();
        }
        target.folder_ = std::move(*opened);
        const int folderHandle = fd(target.folder_->handle.handle());
        struct stat info {};
        if (::fstatat(folderHandle, target.name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISLNK(info.st_mode)) {
                std::array<char, 4096> link{};
                const ssize_t size =
                    ::readlinkat(folderHandle, target.name_.c_str(), link.data(), link.size());
                if (size < 0 || static_cast<std::size_t>(size) == link.size()) {
                    return size < 0 ? lastError()
                                    : std::make_error_code(std::errc::filename_too_long);
                }
                const fs::path next(std::string(link.data(), static_cast<std::size_t>(size)));
                path = next.is_absolute() ? next : folder / next;
                continue;
            }
            if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
            if (!S_ISREG(info.st_mode)) return FileError::NotRegularOutput;
            // Opening it for writing would be refused, so replacing it is too.
            if (::faccessat(folderHandle, target.name_.c_str(), W_OK, AT_EACCESS) != 0) {
                return lastError();
            }
            target.existing_ = idOf(info);
            target.existingMode_ = static_cast<std::uint32_t>(info.st_mode & 07777);
        } else if (errno != ENOENT)
            return lastError();
        else if (links > 0)
            return FileError::DanglingLink;
        return target;
    }
}

std::optional<FileId> OutputTarget::fileNow() const {
    struct stat info {};
    if (::fstatat(fd(folder_->handle.handle()), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return idOf(info);
}

PendingOutput::PendingOutput(const OutputTarget& target, std::uint32_t newFileMode,
                             FileSystem& system, std::error_code& error)
    : target_(target), system_(system), newFileMode_(newFileMode & 0777) {
    const int folder = fd(target_.folder_->handle.handle());
    if (!target_.folder_->swept) {
        linux_cleanup::sweepDeadTemporaries(folder);
        target_.folder_->swept = true;
    }
    if (system_.offersUnnamedFiles()) {
        // Nobody can open an unnamed file by a name, so it is made with the permissions a new
        // output gets, and the umask applied by the system.
        const mode_t mode = target_.existing_ ? 0600 : static_cast<mode_t>(newFileMode_);
        file_ = File(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        if (file_.isOpen()) return;
        // Filesystems without unnamed files say so in one of these ways.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error = lastError();
            return;
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = linux_cleanup::temporaryName();
        cleanupSlot_ = linux_cleanup::registerForCleanup(folder, name);
        if (cleanupSlot_ < 0) {
            error = FileError::TooManyTemporaries;
            return;
        }
        file_ = File(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file_.isOpen()) {
            temporaryName_ = name;
            return;
        }
        error = lastError();
        linux_cleanup::unregisterFromCleanup(cleanupSlot_);
        if (error != std::errc::file_exists) return;
    }
}

PendingOutput::~PendingOutput() {
    file_ = File();
    if (!temporaryName_.empty()) {
        ::unlinkat(fd(target_.folder_->handle.handle()), temporaryName_.c_str(), 0);
    }
    linux_cleanup::unregisterFromCleanup(cleanupSlot_);
}

std::error_code PendingOutput::prepare() {
    // A new unnamed file has its permissions already; a named one, visible meanwhile, was made
    // private, and a replacing one takes the old file's.
    const bool unnamedNew = temporaryName_.empty() && !target_.existing_;
    if (!unnamedNew) {
        const mode_t mode = target_.existing_ ? static_cast<mode_t>(target_.existingMode_ & 01777)
                                              : static_cast<mode_t>(newFileMode_) & ~currentUmask();
        const std::error_code error = system_.changeMode(file_.handle(), mode);
        if (error && !keepsNoModes(error)) return error;
    }
    return {};
}

std::error_code PendingOutput::nameForReplacing() {
    const int folder = fd(target_.folder_->handle.handle());
    const std::string self = "/proc/self/fd/" + std::to_string(file_.handle());
    for (int attempt = 0;; ++attempt) {
        const std::string name = linux_cleanup::temporaryName();
        cleanupSlot_ = linux_cleanup::registerForCleanup(folder, name);
        if (cleanupSlot_ < 0) return FileError::TooManyTemporaries;
        if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporaryName_ = name;
            return {};
        }
        const std::error_code error = lastError();
        linux_cleanup::unregisterFromCleanup(cleanupSlot_);
        if (error != std::errc::file_exists || attempt == 100) return error;
    }
}

std::error_code PendingOutput::syncData() {
    return system_.syncData(file_.handle());
}

std::error_code PendingOutput::place() {
    const int folder = fd(target_.folder_->handle.handle());
    if (temporaryName_.empty()) {
        // An unnamed file is named only now, so that a run killed outright leaves none of its
        // outputs behind under a hidden name. linkat never replaces a name: an output that
        // replaces a file, or finds that someone made one of its name meanwhile, is linked
        // under a hidden name and renamed over it at once.
        if (!target_.existing_) {
            const std::string self = "/proc/self/fd/" + std::to_string(file_.handle());
            if (::linkat(AT_FDCWD, self.c_str(), folder, target_.name_.c_str(),
                         AT_SYMLINK_FOLLOW) == 0) {
                return {};
            }
            if (errno != EEXIST) return lastError();
        }
        if (const std::error_code error = nameForReplacing()) return error;
    }
    if (::renameat(folder, temporaryName_.c_str(), folder, target_.name_.c_str()) != 0) {
        return lastError();
    }
    temporaryName_.clear();
    linux_cleanup::unregisterFromCleanup(cleanupSlot_);
    return {};
}

std::error_code PendingOutput::syncFolder() {
    if (target_.folder_->syncs) {
        if (::fsync(fd(target_.folder_->handle.handle())) == 0 || errno == EINVAL) return {};
        return lastError();
    }
    // A folder that may be written but not read cannot be synced on its own; syncing the whole
    // filesystem makes its new entry durable all the same.
    return ::syncfs(fd(file_.handle())) == 0 ? std::error_code() : lastError();
}

bool RealFileSystem::offersUnnamedFiles() const {
    // Linking an unnamed file into its folder goes through /proc.
    static const bool canLink = ::access("/proc/self/fd", X_OK) == 0;
    return canLink;
}

std::error_code RealFileSystem::changeMode(Handle file, std::uint32_t mode) {
    return ::fchmod(fd(file), static_cast<mode_t>(mode)) == 0 ? std::error_code() : lastError();
}

std::error_code RealFileSystem::syncData(Handle file) {
    return ::fdatasync(fd(file)) == 0 ? std::error_code() : lastError();
}

std::error_code RealFileSystem::syncFilesystem(Handle file) {
    return ::syncfs(fd(file)) == 0 ? std::error_code() : lastError();
}

bool RealFileSystem::filesystemSyncReportsErrors() const {
    static const bool reports = kernelReportsSyncfsErrors();
    return reports;
}

std::size_t allowOpenFiles(std::size_t wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted) return wanted;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = std::min<rlim_t>(limit.rlim_max, wanted);
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    return static_cast<std::size_t>(limit.rlim_cur);
}

void holdClosedStandardStreams() {
    for (const int stream : {0, 1, 2}) {
        if (::fcntl(stream, F_GETFD) >= 0 || errno != EBADF) continue;
        // A folder opened as a path takes the lowest free handle, which is this one, and
        // refuses every read and write with EBADF.
        const int placeholder = ::open("/", O_PATH | O_CLOEXEC);
        if (placeholder >= 0 && placeholder != stream) ::close(placeholder);
    }
}

}  // namespace skelvane::conversion::platform
