#include "conversion/run_guard.h"

namespace skelvane::conversion {

void RunGuard::addSource(std::optional<platform::FileId> source) {
    if (source) sourceJobs_.try_emplace(*source, sources_.size());
    sources_.push_back(source);
}

void RunGuard::addWritten(const platform::OutputTarget& target, std::size_t job) {
    if (target.existing()) written_.try_emplace(*target.existing(), job);
    writtenNames_.try_emplace(NameKey{target.folderId(), platform::comparableName(target.name())},
                              job);
}

std::optional<Refusal> RunGuard::refusal(const platform::OutputTarget& target, std::size_t job,
                                         bool refuseRepeats) const {
    if (const auto& existing = target.existing()) {
        if (job < sources_.size() && sources_[job] == existing) {
            return Refusal{RunError::OutputIsSource, std::nullopt};
        }
        if (const auto other = sourceJobs_.find(*existing); other != sourceJobs_.end()) {
            return Refusal{RunError::OutputIsOtherSource, other->second};
        }
    }
    if (!refuseRepeats) return std::nullopt;
    if (const auto& existing = target.existing()) {
        if (const auto earlier = written_.find(*existing); earlier != written_.end()) {
            return Refusal{RunError::AlreadyWritten, earlier->second};
        }
    }
    const auto earlier =
        writtenNames_.find(NameKey{target.folderId(), platform::comparableName(target.name())});
    if (earlier == writtenNames_.end()) return std::nullopt;
    return Refusal{RunError::AlreadyWritten, earlier->second};
}

}  // namespace skelvane::conversion
