#pragma once

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace skelvane::conversion {

/// Finds the end of the line that starts at `pos` in `data[0, size)`: the index of its CR or
/// LF, or `size` when the data ends first. Sets `mayMatch` when the line holds a byte that
/// begins some search text (so the line has to go through the rules); leaves it otherwise.
using LineEndFinder = std::size_t (*)(const char* data, std::size_t pos, std::size_t size,
                                      bool& mayMatch);

/// The fastest finder this processor runs.
LineEndFinder lineEndFinder();

/// Every finder this processor runs, by name, the fastest first; all give the same answers.
std::vector<std::pair<std::string_view, LineEndFinder>> availableLineEndFinders();

}  // namespace skelvane::conversion
