#include "conversion/files/platform.h"

// Files, folders, handles and names on Windows; outputs in platform_windows_output.cpp.

#include "conversion/files/platform_windows_files.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

#include "conversion/files/file_error.h"
#include "conversion/files/platform_parts.h"
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
using windows::openForAttributes;
using windows::ours;
using windows::win;

fs::path windows::finalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

// Opens a folder for as long as the run writes into it. Without FILE_SHARE_DELETE nobody can
// rename or remove it meanwhile, so its resolved path keeps naming it.
Result<std::shared_ptr<const Folder>> detail::openFolder(const fs::path& path) {
    const fs::path name = path.empty() ? fs::path(L".") : path;
    HANDLE handle =
        ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        handle = openForAttributes(name);
    }
    if (handle == INVALID_HANDLE_VALUE) return lastError();
    auto folder = std::make_shared<Folder>();
    folder->handle = File(ours(handle));
    const auto info = informationOf(handle);
    if (!info) return lastError();
    if (!isFolder(*info)) return std::make_error_code(std::errc::not_a_directory);
    folder->id = idOf(*info);
    folder->path = finalPathOf(handle);
    std::error_code error;
    if (folder->path.empty()) folder->path = fs::absolute(name, error);
    if (error) return error;
    return std::shared_ptr<const Folder>(std::move(folder));
}

void detail::closeHandle(Handle handle) {
    ::CloseHandle(win(handle));
}

Handle standardInput() {
    return ours(::GetStdHandle(STD_INPUT_HANDLE));
}

Handle standardOutput() {
    return ours(::GetStdHandle(STD_OUTPUT_HANDLE));
}

Handle standardError() {
    return ours(::GetStdHandle(STD_ERROR_HANDLE));
}

bool isTerminal(Handle handle) {
    DWORD mode = 0;
    return ::GetFileType(win(handle)) == FILE_TYPE_CHAR && ::GetConsoleMode(win(handle), &mode);
}

fs::path pathFromBytes(std::string_view bytes) {
    return fs::path(windows::wideOf(bytes));
}

std::string bytesOfPath(const fs::path& path) {
    return windows::wtf8Of(path.native());
}

std::vector<std::string> programArguments(int, char**) {
    // argv holds the arguments in the ANSI code page, which cannot spell every name.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i)
        arguments.push_back(windows::wtf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

fs::path comparableName(const fs::path& name) {
    std::wstring upper = name.native();
    if (!upper.empty()) ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

Result<File> openForReading(const fs::path& path) {
    // Such a name opens a device (the console for CON), which the reads would fail on.
    if (windows::isReservedDeviceName(path.filename().native())) {
        return FileError::ReservedDeviceName;
    }
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return File(ours(handle));
    const std::error_code error = lastError();
    // Windows refuses to open a folder as a file; say what Linux says on reading it.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    return error;
}

Result<File> openForReadingWithoutWaiting(const fs::path& path) {
    // CreateFileW never waits for a writer: a named pipe without a free instance of its server
    // is refused at once.
    return openForReading(path);
}

Result<std::optional<FileId>> fileIdOf(const fs::path& path) {
    const File file(ours(openForAttributes(path)));
    // Nothing there, or nothing this user can reach: no file of the run can be it either.
    if (!file.isOpen()) return std::optional<FileId>();
    if (::GetFileType(win(file.handle())) != FILE_TYPE_DISK) return std::optional<FileId>();
    const auto identity = windows::identityOf(win(file.handle()));
    if (!identity) return lastError();
    return std::optional(identity->id);
}

std::optional<FileId> regularFileIdOf(Handle handle) {
    if (::GetFileType(win(handle)) != FILE_TYPE_DISK) return std::nullopt;
    const auto identity = windows::identityOf(win(handle));
    if (!identity || identity->folder()) return std::nullopt;
    return identity->id;
}

std::optional<FileInfo> fileInfoOf(Handle handle) {
    FileInfo file;
    file.permissions = 0666;
    if (::GetFileType(win(handle)) != FILE_TYPE_DISK) return file;
    const auto identity = windows::identityOf(win(handle));
    if (!identity) return std::nullopt;
    if (!identity->folder()) file.regularId = identity->id;
    if ((identity->attributes & FILE_ATTRIBUTE_READONLY) != 0) file.permissions = 0444;
    return file;
}

Result<std::size_t> readSome(Handle handle, char* data, std::size_t size) {
    DWORD count = 0;
    const auto most = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (::ReadFile(win(handle), data, most, &count, nullptr)) return std::size_t{count};
    const DWORD code = ::GetLastError();
    // A pipe whose writer has gone has simply ended.
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return std::size_t{0};
    return errorOf(code);
}

std::error_code writeAll(Handle handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD count = 0;
        const auto most = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(win(handle), bytes.data(), most, &count, nullptr)) return lastError();
        bytes.remove_prefix(count);
    }
    return {};
}

std::size_t allowOpenFiles(std::size_t wanted) {
    return wanted;
}

void holdClosedStandardStreams() {
    // Handles are never reused by number here; what matters is that the C library passes
    // the bytes of the report and of --help unchanged.
    for (FILE* stream : {stdin, stdout}) {
        if (const int number = _fileno(stream); number >= 0) _setmode(number, _O_BINARY);
    }
}

}  // namespace skelvane::conversion::platform
