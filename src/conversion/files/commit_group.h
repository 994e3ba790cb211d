#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion/files/platform.h"

namespace skelvane::conversion {

/// Outputs written and prepared but not yet put in place, made durable together: one sync of
/// their filesystem for all (where the system reports its errors; otherwise a sync of each),
/// then each put in place, then each folder synced once. A new output never appears, and an
/// old one is never replaced, before the new content is on the disk. Bounded in outputs, named
/// temporaries and bytes, so that open files, the signal cleanup and the work a failure holds
/// back stay within their limits; a failure fails its own output only, and outputs not yet
/// placed leave nothing behind.
class CommitGroup {
public:
    /// Most outputs, and most bytes, a group ever holds before it must be committed.
    static constexpr std::size_t kMostOutputs = 4096;
    static constexpr std::uint64_t kMostBytes = 64 << 20;
    /// Files kept for the rest of the process (sources, folders, a window's own) where the
    /// open-file limit is low: then half of it.
    static constexpr std::size_t kOtherFiles = 256;

    /// A group of at most kMostOutputs outputs, as many as the open-file limit leaves room for
    /// once it is raised as far as the system lets it: each staged output holds its file open.
    /// Its syncs are those of `system`, which must outlive it.
    explicit CommitGroup(platform::FileSystem& system);

    /// Most outputs this group holds.
    std::size_t mostOutputs() const { return mostOutputs_; }

    /// True when the group holds nothing.
    bool empty() const { return outputs_.empty(); }
    /// True when the group cannot take `output` before it is committed: it is full, or the
    /// output lies on another filesystem.
    bool mustCommitBefore(const platform::OutputTarget& output) const;

    /// Takes a prepared output of `job`, `bytes` long.
    void add(std::size_t job, std::unique_ptr<platform::PendingOutput> output, std::uint64_t bytes);

    /// Commits every output; returns each job with the error that failed it, or none, in the
    /// order they were added. The group is empty after.
    std::vector<std::pair<std::size_t, std::error_code>> commit();

private:
    struct Staged {
        std::size_t job;
        std::unique_ptr<platform::PendingOutput> output;
        std::error_code error;
    };

    platform::FileSystem& system_;
    std::size_t mostOutputs_;
    std::vector<Staged> outputs_;
    std::size_t named_ = 0;  // outputs holding a slot of the signal cleanup
    std::uint64_t bytes_ = 0;
    std::uint64_t device_ = 0;
};

}  // namespace skelvane::conversion
