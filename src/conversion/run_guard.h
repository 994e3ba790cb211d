#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "conversion/platform.h"

namespace skelvane::conversion {

/// Keeps a run from writing over any of its own sources, and, where the caller records them,
/// over outputs it has already written. Files are told apart by identity, so every name of a
/// file (relative, with "..", through a link, a hard link) counts as that file.
class RunGuard {
public:
    /// Notes a source of the run. `description` completes "the output is ..." in a refusal,
    /// for example "the source of row 2".
    void addSource(const std::filesystem::path& source, std::string description);

    /// Notes that `output` was written (or, in a dry run, would be) from `source`, so that a
    /// later output that is the same file is refused.
    void addWritten(const std::filesystem::path& output, std::string source);

    /// Why writing `output` from `source` would harm the run, or nothing when it is safe.
    std::optional<std::string> refusal(const std::filesystem::path& output,
                                       const std::filesystem::path& source) const;

private:
    // An output that does not exist yet has no identity; a dry run then tells outputs
    // apart by their absolute, normalised names.
    static std::string nameKey(const std::filesystem::path& path);

    std::map<platform::FileId, std::string> sources_;
    std::map<platform::FileId, std::string> written_;
    std::map<std::string, std::string> writtenNames_;
};

}  // namespace skelvane::conversion
