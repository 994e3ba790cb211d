#include "conversion/run/run_guard.h"

namespace skelvane::conversion {

namespace {

Refusal alreadyWritten(std::size_t job) {
    return {RunError::AlreadyWritten, job};
}

}  // namespace

void RunGuard::addSource(std::optional<platform::FileId> source, bool unknown) {
    if (source) sourceJobs_.add(*source, sources_.size());
    sources_.push_back(source);
    inputUnknown_ |= unknown;
}

void RunGuard::addMappingFile(std::optional<platform::FileId> file, bool unknown) {
    if (file) mappingFiles_.add(*file, 0);
    inputUnknown_ |= unknown;
}

void RunGuard::addWritten(const platform::OutputTarget& target, const std::filesystem::path& output,
                          std::size_t job) {
    writtenNames_.try_emplace(NameKey{target.folderId(), platform::comparableName(target.name())},
                              job);
    if (target.existing()) replaced_.add(*target.existing(), {job, output});
}

void RunGuard::addMade(const std::filesystem::path& output, std::size_t job,
                       std::optional<platform::FileId> made) {
    if (made) {
        made_.add(*made, {job, output});
    } else {
        writtenUnknown_ = true;
    }
}

void RunGuard::addStreamWritten(const std::optional<platform::FileInfo>& out, std::size_t job) {
    if (!out) {
        writtenUnknown_ = true;
    } else if (out->regularId) {
        streams_.add(*out->regularId, job);
    }
}

std::optional<Refusal> RunGuard::inputRefusal(const platform::FileId& file) const {
    if (const std::size_t* other = sourceJobs_.find(file)) {
        return Refusal{RunError::OutputIsOtherSource, *other};
    }
    if (mappingFiles_.find(file)) return Refusal{RunError::OutputIsMappingFile, std::nullopt};
    if (inputUnknown_) return Refusal{RunError::IdentityUnknown, std::nullopt};
    return std::nullopt;
}

std::optional<Refusal> RunGuard::refusal(const platform::OutputTarget& target, std::size_t job,
                                         bool refuseRepeats) const {
    const std::optional<platform::FileId>& existing = target.existing();
    if (existing) {
        if (job < sources_.size() && sources_[job] && mayBeOneFile(*sources_[job], *existing)) {
            return Refusal{RunError::OutputIsSource, std::nullopt};
        }
        if (auto refused = inputRefusal(*existing)) return refused;
    }
    if (!refuseRepeats) return std::nullopt;
    const auto earlier =
        writtenNames_.find(NameKey{target.folderId(), platform::comparableName(target.name())});
    if (earlier != writtenNames_.end()) return alreadyWritten(earlier->second);
    if (!existing) return std::nullopt;
    if (const std::size_t* other = streams_.find(*existing)) return alreadyWritten(*other);
    // A file that an output made or is about to replace counts while it stands where it stood:
    // once it is gone from there, whatever file comes to have its identity is another one.
    const auto standsThere = [&existing](const Placed& placed) {
        const auto now = platform::fileIdOf(placed.output);
        return !now || (*now && mayBeOneFile(**now, *existing));
    };
    if (const Placed* made = made_.find(*existing, standsThere)) return alreadyWritten(made->job);
    if (const Placed* replaced = replaced_.find(*existing, standsThere)) {
        return alreadyWritten(replaced->job);
    }
    if (writtenUnknown_) return Refusal{RunError::IdentityUnknown, std::nullopt};
    return std::nullopt;
}

std::optional<Refusal> RunGuard::streamRefusal(const std::optional<platform::FileInfo>& out,
                                               bool refuseRepeats) const {
    if (!out) {
        const bool anyFile = !sourceJobs_.empty() || !mappingFiles_.empty() || inputUnknown_ ||
                             (refuseRepeats && (!replaced_.empty() || writtenUnknown_));
        if (anyFile) return Refusal{RunError::IdentityUnknown, std::nullopt};
        return std::nullopt;
    }
    if (!out->regularId) return std::nullopt;  // a pipe, a terminal or a device
    if (auto refused = inputRefusal(*out->regularId)) return refused;
    if (!refuseRepeats) return std::nullopt;
    // Standard output stays open for the whole run, so its file is the one an output replaced
    // even when that is no longer under its name: what is written there now is lost.
    if (const Placed* replaced = replaced_.find(*out->regularId)) {
        return alreadyWritten(replaced->job);
    }
    if (writtenUnknown_) return Refusal{RunError::IdentityUnknown, std::nullopt};
    return std::nullopt;
}

}  // namespace skelvane::conversion
