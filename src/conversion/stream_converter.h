#pragma once

#include <cstdio>
#include <optional>

#include "conversion/rename_table.h"

namespace skelvane::conversion {

/// Why a stream conversion stopped: which side failed and the system's error number.
struct StreamError {
    enum class Side { Read, Write };
    Side side;
    int errorNumber;
};

/// Streams `in` to `out` line by line through the rename rules. Lines end at CR LF, LF or a
/// lone CR; every written line ends with CR LF, the last one too; all other bytes pass through.
/// Only one line (plus fixed-size buffers) is held at a time. Flushes `out` but closes nothing.
std::optional<StreamError> convertStream(std::FILE* in, std::FILE* out,
                                         const DroppedParts& dropped);

}  // namespace skelvane::conversion
