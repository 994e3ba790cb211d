#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conversion/platform.h"
#include "conversion/run_error.h"

namespace skelvane::conversion {

/// Why an output must not be written: the run's reason and the other job it concerns.
struct Refusal {
    RunError error;
    std::optional<std::size_t> otherJob;
};

/// Keeps a run from writing over any of its own sources and, where asked, over outputs it has
/// already written. Files are told apart by identity, so every name of a file (relative, with
/// "..", through a link, a hard link) counts as that file; an output that does not exist yet is
/// told by its folder's identity and its name there.
class RunGuard {
public:
    /// Notes the source of each job, in job order; a job whose source is not a regular file
    /// (a pipe, a device, none) has nothing to lose and passes nothing.
    void addSource(std::optional<platform::FileId> source);

    /// Notes that `job` wrote the target (or, in a dry run, would). Any later name of the output
    /// leads to the same folder and name, or, for a file that was there, to its identity.
    void addWritten(const platform::OutputTarget& target, std::size_t job);

    /// Why `job` must not write the target, or nothing when it is safe; outputs written earlier
    /// count only when `refuseRepeats`.
    std::optional<Refusal> refusal(const platform::OutputTarget& target, std::size_t job,
                                   bool refuseRepeats) const;

private:
    using NameKey = std::pair<platform::FileId, std::filesystem::path>;

    std::vector<std::optional<platform::FileId>> sources_;
    std::map<platform::FileId, std::size_t> sourceJobs_;
    std::map<platform::FileId, std::size_t> written_;
    std::map<NameKey, std::size_t> writtenNames_;
};

}  // namespace skelvane::conversion
