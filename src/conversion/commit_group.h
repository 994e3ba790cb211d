#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "conversion/platform.h"

namespace skelvane::conversion {

/// Outputs written and prepared but not yet put in place, made durable together: one sync of
/// their filesystem for all (where the system reports its errors; otherwise a sync of each),
/// then each put in place, then each folder synced once. A new output never appears, and an
/// old one is never replaced, before the new content is on the disk. Bounded in outputs and
/// bytes, so that open files and the work a failure holds back stay small; a failure fails its
/// own output only, and outputs not yet placed leave nothing behind.
class CommitGroup {
public:
    /// Most outputs, and most bytes, a group holds before it must be committed.
    static constexpr std::size_t kMostOutputs = 256;
    static constexpr std::uint64_t kMostBytes = 64 << 20;

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

    std::vector<Staged> outputs_;
    std::uint64_t bytes_ = 0;
    std::uint64_t device_ = 0;
};

namespace testing {
/// Runs `hook` in every commit, after the outputs are durable and before any is put in place.
void beforePlacing(std::function<void()> hook);
}  // namespace testing

}  // namespace skelvane::conversion
