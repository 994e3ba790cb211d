#include "conversion/platform.h"

// windows.h first: the others build on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>

#include "conversion/run_error.h"

namespace skelvane::conversion::platform {

namespace fs = std::filesystem;

namespace {

// ---- Text: paths are UTF-16 here, bytes are WTF-8 (UTF-8 that also carries unpaired
// surrogates, which Windows allows in names).

void appendUtf8(std::string& out, std::uint32_t point) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

std::string wtf8Of(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t unit = static_cast<std::uint16_t>(wide[i]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < wide.size()) {
            const std::uint32_t low = static_cast<std::uint16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}

// A byte that starts no valid sequence stands for itself as U+FFFD's stand-in would lose it;
// bytes of this program's own making are always valid.
std::wstring wideOf(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        std::uint32_t point = lead < 0x80   ? lead
                              : length == 2 ? lead & 0x1F
                              : length == 3 ? lead & 0x0F
                                            : lead & 0x07;
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
        valid = valid && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(point));
        }
        i += length;
    }
    return out;
}

// ---- Errors: the common ones become the portable conditions, so that messages and tests read
// as on Linux; the rest keep Windows' own words.

class WindowsCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }

    std::string message(int code) const override {
        wchar_t* text = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
            reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (length == 0) return "Windows error " + std::to_string(code);
        std::string message = wtf8Of({text, length});
        ::LocalFree(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                    message.back() == ' ' || message.back() == '.')) {
            message.pop_back();
        }
        return message;
    }
};

const std::error_category& windowsCategory() {
    static const WindowsCategory category;
    return category;
}

std::error_code errorOf(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return std::make_error_code(std::errc::permission_denied);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::make_error_code(std::errc::file_exists);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_DIRECTORY:
            return std::make_error_code(std::errc::not_a_directory);
        case ERROR_FILENAME_EXCED_RANGE:
            return std::make_error_code(std::errc::filename_too_long);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return std::make_error_code(std::errc::not_enough_memory);
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return std::make_error_code(std::errc::broken_pipe);
        case ERROR_INVALID_HANDLE:
            return std::make_error_code(std::errc::bad_file_descriptor);
        case ERROR_NOT_SAME_DEVICE:
            return std::make_error_code(std::errc::cross_device_link);
        default:
            return {static_cast<int>(code), windowsCategory()};
    }
}

std::error_code lastError() {
    return errorOf(::GetLastError());
}

HANDLE win(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Handle ours(HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return info;
}

FileId idOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool isFolder(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens whatever a path names, following links, for its attributes alone.
HANDLE openForAttributes(const fs::path& path, DWORD flags = 0) {
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// "NUL", "com1.bvh", "LPT9.tmp.bvh": Windows opens a device for any of these in any folder.
bool isReservedDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$") {
        return true;
    }
    if (stem.size() != 4 || (stem.compare(0, 3, L"COM") != 0 && stem.compare(0, 3, L"LPT") != 0)) {
        return false;
    }
    const wchar_t digit = stem[3];
    return (digit >= L'1' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
           digit == 0x00B3;
}

// ---- The temporaries a console event must not leave behind. Each is created marked for
// deletion, so that the system removes it whatever ends the program; the mark is cleared only
// just before the rename, under the lock the console handler takes, so the handler finds every
// temporary either still marked or already in place.

struct CleanupSlot {
    HANDLE file = INVALID_HANDLE_VALUE;
};
std::array<CleanupSlot, kMaxTemporaries> cleanupSlots;
std::mutex cleanupMutex;
bool ending = false;  // under cleanupMutex: a console event is ending the program

bool markForDeletion(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

BOOL WINAPI removeTemporariesOnConsoleEvent(DWORD) {
    {
        const std::lock_guard lock(cleanupMutex);
        ending = true;
        for (const CleanupSlot& slot : cleanupSlots) {
            if (slot.file != INVALID_HANDLE_VALUE) markForDeletion(slot.file, true);
        }
    }
    // Ends the program as the system's own handler would; closing its handles removes the
    // temporaries.
    ::ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

std::wstring temporaryName() {
    static std::mt19937_64 random{std::random_device{}()};
    static std::mutex randomMutex;
    const std::lock_guard lock(randomMutex);
    return L".skelvane-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(random() % 1000000000) + L".tmp";
}

std::atomic<int> filesystemSyncError = 0;
std::atomic<int> dataSyncCount = 0;

fs::path finalPathOf(HANDLE handle) {
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
std::shared_ptr<const Folder> openFolder(const fs::path& path, std::error_code& error) {
    const fs::path name = path.empty() ? fs::path(L".") : path;
    HANDLE handle =
        ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        handle = openForAttributes(name);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    auto folder = std::make_shared<Folder>();
    folder->handle = File(ours(handle));
    const auto info = informationOf(handle);
    if (!info) {
        error = lastError();
        return nullptr;
    }
    if (!isFolder(*info)) {
        error = std::make_error_code(std::errc::not_a_directory);
        return nullptr;
    }
    folder->id = idOf(*info);
    folder->path = finalPathOf(handle);
    if (folder->path.empty()) folder->path = fs::absolute(name, error);
    if (error) return nullptr;
    return folder;
}

}  // namespace

File::~File() {
    if (isOpen()) ::CloseHandle(win(handle_));
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (isOpen()) ::CloseHandle(win(handle_));
        handle_ = other.release();
    }
    return *this;
}

Handle standardInput() {
    return ours(::GetStdHandle(STD_INPUT_HANDLE));
}

Handle standardOutput() {
    return ours(::GetStdHandle(STD_OUTPUT_HANDLE));
}

fs::path pathFromBytes(std::string_view bytes) {
    return fs::path(wideOf(bytes));
}

std::string bytesOfPath(const fs::path& path) {
    return wtf8Of(path.native());
}

std::vector<std::string> programArguments(int, char**) {
    // argv holds the arguments in the ANSI code page, which cannot spell every name.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(wtf8Of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

fs::path comparableName(const fs::path& name) {
    std::wstring upper = name.native();
    if (!upper.empty()) ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

File openForReading(const fs::path& path, std::error_code& error) {
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return File(ours(handle));
    error = lastError();
    // Windows refuses to open a folder as a file; say what Linux says on reading it.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::make_error_code(std::errc::is_a_directory);
    }
    return File();
}

std::optional<FileId> fileIdOf(const fs::path& path) {
    const File file(ours(openForAttributes(path)));
    if (!file.isOpen()) return std::nullopt;
    const auto info = informationOf(win(file.handle()));
    if (!info) return std::nullopt;
    return idOf(*info);
}

std::optional<FileId> regularFileIdOf(Handle handle) {
    if (::GetFileType(win(handle)) != FILE_TYPE_DISK) return std::nullopt;
    const auto info = informationOf(win(handle));
    if (!info || isFolder(*info)) return std::nullopt;
    return idOf(*info);
}

std::optional<FileInfo> fileInfoOf(Handle handle) {
    FileInfo file;
    file.permissions = 0666;
    if (::GetFileType(win(handle)) != FILE_TYPE_DISK) return file;
    const auto info = informationOf(win(handle));
    if (!info) return std::nullopt;
    if (!isFolder(*info)) file.regularId = idOf(*info);
    if ((info->dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) file.permissions = 0444;
    return file;
}

bool sameRegularFile(Handle a, Handle b) {
    const auto first = regularFileIdOf(a);
    return first && first == regularFileIdOf(b);
}

std::ptrdiff_t readSome(Handle handle, char* data, std::size_t size, std::error_code& error) {
    DWORD count = 0;
    const auto most = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (::ReadFile(win(handle), data, most, &count, nullptr)) return count;
    const DWORD code = ::GetLastError();
    // A pipe whose writer has gone has simply ended.
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return 0;
    error = errorOf(code);
    return -1;
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

std::shared_ptr<const Folder> FolderCache::open(const fs::path& path, std::error_code& error) {
    constexpr std::size_t kMostFolders = 64;
    const auto cached = folders_.find(path);
    if (cached != folders_.end()) return cached->second;
    auto folder = openFolder(path, error);
    if (!folder) return nullptr;
    if (folders_.size() == kMostFolders) folders_.clear();
    folders_.emplace(path, folder);
    return folder;
}

OutputTarget OutputTarget::resolve(const fs::path& output, std::error_code& error) {
    FolderCache folders;
    return resolve(output, folders, error);
}

OutputTarget OutputTarget::resolve(const fs::path& output, FolderCache& folders,
                                   std::error_code& error) {
    constexpr int kMostLinks = 40;
    OutputTarget target;
    fs::path path = output;
    for (int links = 0;; ++links) {
        if (links > kMostLinks) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return target;
        }
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(L".");
        target.name_ = path.filename();
        if (target.name_.empty() || target.name_ == L"." || target.name_ == L"..") {
            error = std::make_error_code(std::errc::is_a_directory);
            return target;
        }
        if (isReservedDeviceName(target.name_.native())) {
            error = RunError::NotRegularOutput;
            return target;
        }
        target.folder_ = folders.open(folder, error);
        if (error) {
            if (links > 0 && error == std::errc::no_such_file_or_directory) {
                error = RunError::DanglingLink;
            }
            return target;
        }
        const fs::path full = target.folder_->path / target.name_;
        const DWORD attributes = ::GetFileAttributesW(full.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_FILE_NOT_FOUND) {
                error = errorOf(code);
            } else if (links > 0) {
                error = RunError::DanglingLink;
            }
            return target;
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            // A link to a file is written through, as on Linux: its target is the output.
            const File linked(ours(openForAttributes(full)));
            if (!linked.isOpen()) {
                const DWORD code = ::GetLastError();
                error = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                            ? make_error_code(RunError::DanglingLink)
                            : errorOf(code);
                return target;
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
            error = lastError();
            return target;
        }
        if (isFolder(*info)) {
            error = std::make_error_code(std::errc::is_a_directory);
            return target;
        }
        if (::GetFileType(win(existing.handle())) != FILE_TYPE_DISK) {
            error = RunError::NotRegularOutput;
            return target;
        }
        // Opening it for writing would be refused, so replacing it is too.
        if ((info->dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            error = std::make_error_code(std::errc::permission_denied);
            return target;
        }
        const File writable(ours(::CreateFileW(full.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                               OPEN_EXISTING, 0, nullptr)));
        if (!writable.isOpen()) {
            error = lastError();
            return target;
        }
        target.existing_ = idOf(*info);
        return target;
    }
}

PendingOutput::PendingOutput(const OutputTarget& target, std::uint32_t newFileMode,
                             std::error_code& error)
    : target_(target), newFileMode_(newFileMode & 0777) {
    const std::lock_guard lock(cleanupMutex);
    if (ending) {
        error = std::make_error_code(std::errc::operation_canceled);
        return;
    }
    const auto slot = std::find_if(cleanupSlots.begin(), cleanupSlots.end(),
                                   [](const auto& s) { return s.file == INVALID_HANDLE_VALUE; });
    if (slot == cleanupSlots.end()) {
        error = RunError::TooManyTemporaries;
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
        slot->file = file;
        cleanupSlot_ = static_cast<int>(slot - cleanupSlots.begin());
        return;
    }
    error = std::make_error_code(std::errc::file_exists);
}

PendingOutput::~PendingOutput() {
    const std::lock_guard lock(cleanupMutex);
    // Still marked unless it was placed; marking again covers a failed rename.
    if (file_.isOpen() && !temporaryName_.empty()) markForDeletion(win(file_.handle()), true);
    file_ = File();
    if (cleanupSlot_ >= 0)
        cleanupSlots[static_cast<std::size_t>(cleanupSlot_)].file = INVALID_HANDLE_VALUE;
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
    ++dataSyncCount;
    return ::FlushFileBuffers(win(file_.handle())) ? std::error_code() : lastError();
}

std::error_code PendingOutput::place() {
    const std::lock_guard lock(cleanupMutex);
    if (ending) return std::make_error_code(std::errc::operation_canceled);
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
    cleanupSlots[static_cast<std::size_t>(cleanupSlot_)].file = INVALID_HANDLE_VALUE;
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

std::error_code PendingOutput::commit() {
    if (const std::error_code error = prepare()) return error;
    if (const std::error_code error = syncData()) return error;
    if (const std::error_code error = place()) return error;
    return syncFolder();
}

std::error_code syncFilesystem(Handle) {
    if (const int error = filesystemSyncError.load()) return {error, std::generic_category()};
    // Flushing a whole volume takes an administrator; each output is flushed on its own.
    return std::make_error_code(std::errc::operation_not_supported);
}

bool filesystemSyncReportsErrors() {
    return false;
}

void testing::useNamedTemporaries(bool) {}

void testing::failPermissionChanges(bool) {}

void testing::failFilesystemSync(std::error_code error) {
    filesystemSyncError = error.value();
}

int testing::dataSyncs() {
    return dataSyncCount;
}

int testing::registeredTemporaries() {
    const std::lock_guard lock(cleanupMutex);
    return static_cast<int>(
        std::count_if(cleanupSlots.begin(), cleanupSlots.end(),
                      [](const auto& s) { return s.file != INVALID_HANDLE_VALUE; }));
}

void installSignalCleanup() {
    ::SetConsoleCtrlHandler(removeTemporariesOnConsoleEvent, TRUE);
}

void holdClosedStandardStreams() {
    // Handles are never reused by number here; what matters is that the C library passes
    // the bytes of the report and of --help unchanged.
    for (FILE* stream : {stdin, stdout}) {
        if (const int number = _fileno(stream); number >= 0) _setmode(number, _O_BINARY);
    }
}

}  // namespace skelvane::conversion::platform
