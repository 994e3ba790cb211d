#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skelvane::cli {

/// A file or joint name as it may safely reach a terminal: C0 controls, DEL and bytes that are
/// not valid UTF-8 come out as `\xNN`, C1 controls and the characters that reorder text
/// (bidirectional marks, embeddings, overrides and isolates) as `\u{NNNN}`; everything else,
/// other characters included, passes as it is.
std::string printable(std::string_view text);

/// The columns a text takes on a terminal, counting each UTF-8 character as one.
std::size_t displayWidth(std::string_view text);

/// `count` and the word for it: "1 file", "3 files".
std::string counted(std::uint64_t count, std::string_view one, std::string_view many);

}  // namespace skelvane::cli
