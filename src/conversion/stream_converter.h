#pragma once

#include <optional>

#include "conversion/platform.h"
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
/// Memory stays flat whatever the input: fixed-size buffers, and a line longer than a read
/// block flows through the rules in pieces. Closes nothing.
std::optional<StreamError> convertStream(platform::Handle in, platform::Handle out,
                                         const DroppedParts& dropped);

}  // namespace skelvane::conversion
