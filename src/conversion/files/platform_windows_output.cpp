#include "conversion/files/platform.h"

// Outputs on Windows: where one may be written, and the temporary it is written into until it
// is put in place.

#include "conversion/files/platform_windows_files.h"

#include <mutex>
#include <random>

#include "conversion/files/file_error.h"
#include "conversion/files/platform_windows_cleanup.h"
#include "conversion/files/platform_windows_text.h"

namespace skelvane::conversion::platform {

namespace fs = std::filesystem;
using windows::errorOf;
using windows::finalPathOf;
using windows::idOf;
using windows::informationOf;
using windows::isFolder;
using windows::kShareAll;
using windows::lastError;
using windows::markForDeletion;
using windows::openForAttributes;
using windows::ours;
using windows::win;

namespace {

std::wstring temporaryName() {
    static std::mt19937_64 random{std::random_device{}()};
    static std::mutex randomMutex;
    const std::lock_guard lock(randomMutex);
    return L".skelvane-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(random() % 1000000000) + L".tmp";
}

}  // namespace

Result<OutputTarget> OutputTarget::resolve(const fs::path& output, FolderCache& folders) {
    constexpr int kMostLinks = 40;
    OutputTarget target;
    fs::path path = output;
    for (int links = 0;; ++links) {
        if (links > kMostLinks) {
            return std::make_error_code(std::errc::too_many_symbolic_link_levels);
        }
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(L".");
        target.name_ = path.filename();
        if (target.name_.empty() || target.name_ == L"." || target.name_ == L"..") {
            return std::make_error_code(std::errc::is_a_directory);
        }
        if (windows::isReservedDeviceName(target.name_.native())) {
            return FileError::NotRegularOutput;
        }
        auto opened = folders.open(folder);
        if (!opened) {
            if (links > 0 && opened.error() == std::errc::no_such_file_or_directory) {
                return FileError::DanglingLink;
            }
            return opened.error();
        }
        target.folder_ = std::move(*opened);
        const fs::path full = target.folder_->path / target.name_;
        const DWORD attributes = ::GetFileAttributesW(full.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_FILE_NOT_FOUND) return errorOf(code);
            if (links > 0) return FileError::DanglingLink;
            return target;
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            // A link to a file is written through, as on Linux: its target is the output.
            const File linked(ours(openForAttributes(full)));
            if (!linked.isOpen()) {
                const DWORD code = ::GetLastError();
                return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                           ? make_error_code(FileError::DanglingLink)
                           : errorOf(code);
            }
            const fs::path next = finalPathOf(win(linked.handle()));
            if (!next.empty() && next != full) {
                path = next;
                continue;
            }
        }
        const File existing(ours(openForAttributes(full)));
        const auto info = existing.isOpen() ? informationOf(win(existing.handle())) : std::nullopt;
        if (!info) {
            return lastError();
        }
        if (isFolder(*info)) {
            return std::make_error_code(std::errc::is_a_directory);
        }
        if (::GetFileType(win(existing.handle())) != FILE_TYPE_DISK) {
            return FileError::NotRegularOutput;
        }
        // Opening it for writing would be refused, so replacing it is too.
        if ((info->dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return std::make_error_code(std::errc::permission_denied);
        }
        const File writable(ours(::CreateFileW(full.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                               OPEN_EXISTING, 0, nullptr)));
        if (!writable.isOpen()) {
            return lastError();
        }
        target.existing_ = idOf(*info);
        return target;
    }
}

std::optional<FileId> OutputTarget::fileNow() const {
    const fs::path full = folder_->path / name_;
    const File file(
        ours(::CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    const auto identity = file.isOpen() ? windows::identityOf(win(file.handle())) : std::nullopt;
    if (!identity) return std::nullopt;
    return identity->id;
}

PendingOutput::PendingOutput(const OutputTarget& target, std::uint32_t newFileMode,
                             FileSystem& system, std::error_code& error)
    : target_(target), system_(system), newFileMode_(newFileMode & 0777) {
    const auto lock = windows::lockCleanup();
    if (windows::cleanupEnding()) {
        error = std::make_error_code(std::errc::operation_canceled);
        return;
    }
    const int slot = windows::freeCleanupSlot();
    if (slot < 0) {
        error = FileError::TooManyTemporaries;
        return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = temporaryName();
        const fs::path full = target_.folder_->path / name;
        // Only this program may open it, and only to rename it (MoveFileExW does).
        const HANDLE file =
            ::CreateFileW(full.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = lastError();
            if (error != std::errc::file_exists) return;
            error.clear();
            continue;
        }
        file_ = File(ours(file));
        if (!markForDeletion(file, true)) {
            error = lastError();
            ::CloseHandle(win(file_.release()));
            ::DeleteFileW(full.c_str());
            return;
        }
        temporaryName_ = name;
        windows::setCleanupSlot(slot, file);
        cleanupSlot_ = slot;
        return;
    }
    error = std::make_error_code(std::errc::file_exists);
}

PendingOutput::~PendingOutput() {
    const auto lock = windows::lockCleanup();
    // Still marked unless it was placed; marking again covers a failed rename.
    if (file_.isOpen() && !temporaryName_.empty()) markForDeletion(win(file_.handle()), true);
    file_ = File();
    if (cleanupSlot_ >= 0) windows::setCleanupSlot(cleanupSlot_, nullptr);
}

std::error_code PendingOutput::prepare() {
    // A new file takes its folder's permissions, as every file made on Windows does; a replaced
    // one gives way to it whole.
    return {};
}

std::error_code PendingOutput::nameForReplacing() {
    return {};
}

std::error_code PendingOutput::syncData() {
    return system_.syncData(file_.handle());
}

std::error_code PendingOutput::place() {
    const auto lock = windows::lockCleanup();
    if (windows::cleanupEnding()) return std::make_error_code(std::errc::operation_canceled);
    const HANDLE file = win(file_.handle());
    if (!markForDeletion(file, false)) return lastError();
    const fs::path from = target_.folder_->path / temporaryName_;
    const fs::path to = target_.folder_->path / target_.name_;
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const std::error_code error = lastError();
        markForDeletion(file, true);
        return error;
    }
    temporaryName_.clear();
    windows::setCleanupSlot(cleanupSlot_, nullptr);
    cleanupSlot_ = -1;
    // Windows refuses to replace a file that is open, and a later output of the same group may
    // have the same name: the window's run lets the later row replace the earlier one.
    file_ = File();
    return {};
}

std::error_code PendingOutput::syncFolder() {
    // Windows has no way to flush a folder's entries; the rename lasts once NTFS has logged it.
    return {};
}

bool RealFileSystem::offersUnnamedFiles() const {
    return false;
}

std::error_code RealFileSystem::changeMode(Handle, std::uint32_t) {
    // A file takes its folder's permissions, as every file made on Windows does.
    return {};
}

std::error_code RealFileSystem::syncData(Handle file) {
    return ::FlushFileBuffers(win(file)) ? std::error_code() : lastError();
}

std::error_code RealFileSystem::syncFilesystem(Handle) {
    // Flushing a whole volume takes an administrator; each output is flushed on its own.
    return std::make_error_code(std::errc::operation_not_supported);
}

bool RealFileSystem::filesystemSyncReportsErrors() const {
    return false;
}

}  // namespace skelvane::conversion::platform
