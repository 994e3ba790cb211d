#include "conversion/files/platform_windows_text.h"

// windows.h first: the others build on it.
#include <windows.h>

#include <cstdint>

namespace skelvane::conversion::platform {

namespace {

// Text: paths are UTF-16 here, bytes are WTF-8 (UTF-8 that also carries unpaired
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

// Errors: the common ones become the portable conditions, so that messages and tests read
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
        std::string message = windows::wtf8Of({text, length});
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

}  // namespace

std::string windows::wtf8Of(std::wstring_view wide) {
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
std::wstring windows::wideOf(std::string_view bytes) {
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

std::error_code windows::errorOf(unsigned long code) {
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

std::error_code windows::lastError() {
    return errorOf(::GetLastError());
}

}  // namespace skelvane::conversion::platform
