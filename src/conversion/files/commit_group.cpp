#include "conversion/files/commit_group.h"

#include <algorithm>
#include <map>

namespace skelvane::conversion {

CommitGroup::CommitGroup(platform::FileSystem& system) : system_(system) {
    const std::size_t limit = platform::allowOpenFiles(kMostOutputs + kOtherFiles);
    const std::size_t room = limit - std::min(limit / 2, kOtherFiles);
    mostOutputs_ = std::clamp<std::size_t>(room, 1, kMostOutputs);
}

bool CommitGroup::mustCommitBefore(const platform::OutputTarget& output) const {
    if (outputs_.empty()) return false;
    // The next output may take a slot of the cleanup, and one stays free while the group is
    // placed, for an output that finds its name taken by then.
    constexpr std::size_t kMostNamed = platform::kMaxTemporaries - 1;
    return outputs_.size() >= mostOutputs_ || named_ >= kMostNamed || bytes_ >= kMostBytes ||
           output.folderId().device != device_;
}

void CommitGroup::add(std::size_t job, std::unique_ptr<platform::PendingOutput> output,
                      std::uint64_t bytes) {
    if (outputs_.empty()) device_ = output->target().folderId().device;
    named_ += output->holdsCleanupSlot();
    outputs_.push_back({job, std::move(output), {}});
    bytes_ += bytes;
}

std::vector<std::pair<std::size_t, std::error_code>> CommitGroup::commit() {
    // One sync for the whole group, where its errors are told; its error may come from any file
    // of the filesystem, so then, as where none is told, each output is synced on its own.
    bool durable = false;
    if (outputs_.size() > 1 && system_.filesystemSyncReportsErrors()) {
        durable = !system_.syncFilesystem(outputs_.front().output->handle());
    }
    for (Staged& staged : outputs_) {
        if (!durable) staged.error = staged.output->syncData();
    }
    system_.beforePlacing();
    for (Staged& staged : outputs_) {
        if (!staged.error) staged.error = staged.output->place();
    }
    // Each folder once: its entries, all of them placed now, last as long as one sync makes
    // them; a folder that failed its sync fails every output placed in it.
    std::map<const platform::Folder*, std::error_code> folders;
    for (Staged& staged : outputs_) {
        if (staged.error) continue;
        const platform::Folder* folder = staged.output->target().folder().get();
        const auto [synced, first] = folders.try_emplace(folder);
        if (first) synced->second = staged.output->syncFolder();
        staged.error = synced->second;
    }
    std::vector<std::pair<std::size_t, std::error_code>> results;
    for (const Staged& staged : outputs_) results.emplace_back(staged.job, staged.error);
    outputs_.clear();
    named_ = 0;
    bytes_ = 0;
    return results;
}

}  // namespace skelvane::conversion
