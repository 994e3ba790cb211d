#pragma once

// What the Windows files of the platform layer share: handles, file information and names.

// windows.h first: the others build on it.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "conversion/files/platform.h"

namespace skelvane::conversion::platform::windows {

/// A handle as Windows takes it, and back.
inline HANDLE win(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}
inline Handle ours(HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}

/// Opened so, a file may still be read, written, renamed and removed by others.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// What Windows knows of an open file, or nothing when it cannot tell.
inline std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return info;
}

inline FileId idOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

inline bool isFolder(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

/// True for "NUL", "com1.bvh", "LPT9.tmp.bvh"...: Windows opens a device for any of these in
/// any folder.
inline bool isReservedDeviceName(const std::wstring& name) {
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

/// Who an open file on a disk is, and its attributes.
struct Identity {
    FileId id;
    DWORD attributes;
    bool folder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

/// The identity of an open file on a disk; nothing when Windows does not tell it. Where it
/// gives no file information (wine does not for the standard handles), the file's index from
/// its id information, with its device unknown.
inline std::optional<Identity> identityOf(HANDLE handle) {
    if (const auto info = informationOf(handle))
        return Identity{idOf(*info), info->dwFileAttributes};
    FILE_ID_INFO ids{};
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(handle, FileIdInfo, &ids, sizeof ids) ||
        !::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
        return std::nullopt;
    }
    std::uint64_t index = 0;
    std::memcpy(&index, ids.FileId.Identifier, sizeof index);
    return Identity{{FileId::kUnknownDevice, index}, basic.FileAttributes};
}

/// Opens whatever a path names, following links, for its attributes alone.
inline HANDLE openForAttributes(const std::filesystem::path& path) {
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

/// The path of an open file with every link on the way resolved; empty when Windows cannot
/// tell.
std::filesystem::path finalPathOf(HANDLE handle);

}  // namespace skelvane::conversion::platform::windows
