// The numbers of a BVH file's words, as the reader and the checks read them.
#include "conversion/bvh/bvh_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace skelvane::conversion {

namespace {

// A plain decimal of at most 15 digits, as frame lines hold them: the digits make an exact
// double, and so does ten to the power of those after the dot, and one division of exact
// doubles rounds as std::from_chars does. Anything else is left to std::from_chars.
std::optional<double> shortDecimalOf(std::string_view text) {
    static constexpr std::array<double, 16> kPowersOfTen = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    std::uint64_t digits = 0;
    int count = 0;
    int afterDot = -1;
    for (const char byte : text) {
        const auto digit = static_cast<unsigned>(byte - '0');
        if (digit < 10) {
            if (++count > 15) return std::nullopt;
            digits = digits * 10 + digit;
            if (afterDot >= 0) ++afterDot;
        } else if (byte == '.' && afterDot < 0) {
            afterDot = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0) return std::nullopt;
    const double value = static_cast<double>(digits) / kPowersOfTen[std::max(afterDot, 0)];
    return negative ? -value : value;
}

}  // namespace

template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    if (text.size() > kMostNumberBytes) return std::nullopt;
    if constexpr (std::is_same_v<Number, double>) {
        if (const std::optional<double> plain = shortDecimalOf(text)) return plain;
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt;
    }
    Number value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

template std::optional<double> numberOf(std::string_view text);
template std::optional<float> numberOf(std::string_view text);

bool isNumber(std::string_view word) {
    bool plain = false;
    const char* const end = word.data() + word.size();
    if (plainDecimalEnd(word.data(), end, plain) == end && plain) return true;
    return numberOf(word).has_value();
}

}  // namespace skelvane::conversion
