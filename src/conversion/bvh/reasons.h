// How the structure check words its reasons; shared by the files of the check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/bvh/bvh_reader.h"

namespace skelvane::conversion {

/// Bytes of a line, a name or a word that a reason quotes.
inline constexpr std::size_t kQuoted = 40;

/// The start of `text` in quotes, cut at the edge of a UTF-8 character and marked so.
std::string quotedStart(std::string_view text);

/// "1 number", "3 numbers".
std::string counted(std::uint64_t count, std::string_view one, std::string_view many);

/// A keyword as a reason names it.
std::string_view reasonKeyword(LineKind kind);

}  // namespace skelvane::conversion
