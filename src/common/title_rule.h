#pragma once

#include <string>
#include <string_view>

namespace skelvane::common {

/// Characters cut from the end of a source's file name to make its title.
inline constexpr int kTitleCut = 4;
/// What follows the title in a new row's output name.
inline constexpr std::string_view kOutputSuffix = "_max";
/// What the conversion appends to an output name to name the file it writes.
inline constexpr std::string_view kOutputExtension = ".bvh";

/// The title of a source: its file name (without folder) less the last 4 characters, whatever
/// they are ("walk.bvh" gives "walk"); empty when the name is no longer than that. A character
/// is a Unicode code point of the UTF-8 name, so a title never ends in part of a character; a
/// name that is not valid UTF-8 is cut by bytes.
std::string titleOf(std::string_view fileName);

/// The output name a new row starts with: the title followed by "_max".
std::string defaultOutputName(std::string_view title);

/// The file an output name is written to: the name followed by ".bvh".
std::string outputFileName(std::string_view outputName);

/// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
/// past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

}  // namespace skelvane::common
