#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "conversion/file_converter.h"
#include "conversion/rename_table.h"
#include "conversion/stream_converter.h"

namespace skelvane::conversion {

class LineRenamer;

/// What the rules do to a joint's name: give it a Max name, write "nothing" in it, or leave it.
enum class JointOutcome { Renamed, Dropped, Untouched };

/// One joint declared in a file (`ROOT` or `JOINT`), with the name the conversion writes.
struct JointEntry {
    std::string oldName;
    std::string newName;
    JointOutcome outcome = JointOutcome::Untouched;
    /// True when a search text matched only part of the name (`neckDummy`, `rThumb2`).
    bool partialWord = false;
};

/// How the lines of a file end; None for a file without any line end.
enum class LineEnds { None, CrLf, Lf, Cr, Mixed };

/// What a file holds, as far as converting it goes.
struct JointReport {
    /// True when the file starts like a BVH file (see BvhStartCheck).
    bool bvh = false;
    /// Every joint in file order; `End Site` is not a joint.
    std::vector<JointEntry> joints;
    /// The count of the first `Frames:` line; absent when there is none or it is not a number.
    std::optional<std::uint64_t> frames;
    LineEnds lineEnds = LineEnds::None;
};

/// What the rules for `dropped` make of one joint name.
JointEntry jointEntryFor(std::string_view name, const DroppedParts& dropped);

/// The same with a renamer for `dropped` that the caller keeps for many names.
JointEntry jointEntryFor(std::string_view name, LineRenamer& renamer, const DroppedParts& dropped);

/// Reads `in` to its end and reports its joints under `dropped` (see JointScanner). Closes
/// nothing.
std::variant<JointReport, StreamError> jointReportOf(std::FILE* in, const DroppedParts& dropped);

/// The report of the file at `source`, or the file's path and the system's reason.
std::variant<JointReport, FileFailure> jointReportOf(const std::filesystem::path& source,
                                                     const DroppedParts& dropped);

}  // namespace skelvane::conversion
