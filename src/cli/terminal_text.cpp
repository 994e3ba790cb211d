#include "cli/terminal_text.h"

#include <algorithm>
#include <cstdint>

namespace skelvane::cli {

namespace {

constexpr char kHex[] = "0123456789abcdef";

// The length of the well-formed UTF-8 character at the start of `text` (no overlong forms,
// surrogates or code points past U+10FFFF) and its code point; 0 when there is none.
std::size_t characterAt(std::string_view text, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    std::size_t length = 0;
    char32_t least = 0;
    if (first < 0x80) {
        codePoint = first;
        return 1;
    } else if (first >= 0xC2 && first <= 0xDF) {
        length = 2, least = 0x80, codePoint = first & 0x1Fu;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3, least = 0x800, codePoint = first & 0x0Fu;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4, least = 0x10000, codePoint = first & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        codePoint = codePoint << 6 | (byte(i) & 0x3Fu);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < least || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

bool reordersText(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

void appendHex(std::string& out, std::uint32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out.push_back(kHex[(value >> shift) & 0xF]);
}

}  // namespace

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        char32_t c = 0;
        const std::size_t length = characterAt(text, c);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            shown.append("\\x");
            appendHex(shown, static_cast<unsigned char>(text.front()), 2);
            text.remove_prefix(1);
            continue;
        }
        if ((c >= 0x80 && c <= 0x9F) || reordersText(c)) {
            shown.append("\\u{");
            appendHex(shown, static_cast<std::uint32_t>(c), 4);
            shown.push_back('}');
        } else {
            shown.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return shown;
}

std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string counted(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace skelvane::cli
