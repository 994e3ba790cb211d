#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conversion/files/platform.h"
#include "conversion/run/run_error.h"

namespace skelvane::conversion {

/// Why an output must not be written: the run's reason and the other job it concerns.
struct Refusal {
    RunError error;
    std::optional<std::size_t> otherJob;
};

/// Files by identity, each with what is known of it. An identity that does not know its device
/// stands for every file with its index, so looking one up never misses the file it may be.
template <class Value>
class FileIndex {
public:
    void add(const platform::FileId& id, Value value) {
        if (id.device == platform::FileId::kUnknownDevice) {
            vague_.emplace_back(id, std::move(value));
        } else {
            exact_.emplace(id, std::move(value));
        }
    }

    /// The first value of a file that may be `id` and that `keep` takes, or null.
    template <class Keep>
    const Value* find(const platform::FileId& id, Keep keep) const {
        if (id.device != platform::FileId::kUnknownDevice) {
            const auto [begin, end] = exact_.equal_range(id);
            for (auto it = begin; it != end; ++it) {
                if (keep(it->second)) return &it->second;
            }
        } else {
            for (const auto& [known, value] : exact_) {
                if (known.inode == id.inode && keep(value)) return &value;
            }
        }
        for (const auto& [vague, value] : vague_) {
            if (vague.inode == id.inode && keep(value)) return &value;
        }
        return nullptr;
    }

    const Value* find(const platform::FileId& id) const {
        return find(id, [](const Value&) { return true; });
    }

    bool empty() const { return exact_.empty() && vague_.empty(); }

private:
    std::multimap<platform::FileId, Value> exact_;
    std::vector<std::pair<platform::FileId, Value>> vague_;
};

/// Keeps a run from writing over any of its own sources or the mapping files it reads and,
/// where asked, over outputs it has already written. Files are told apart by identity, so every
/// name of a file (relative, with "..", through a link, a hard link) counts as that file; an
/// output that does not exist yet is told by its folder's identity and its name there. A file
/// whose identity the system does not tell may be any file, so an existing output is refused
/// while one such file is about.
class RunGuard {
public:
    /// Notes the source of each job, in job order: its identity, or nothing for a job whose
    /// source does not exist or is a pipe or a device, which has nothing to lose; `unknown`
    /// when the system does not tell who the source is.
    void addSource(std::optional<platform::FileId> source, bool unknown = false);

    /// Notes a mapping file the run reads, which no output may replace.
    void addMappingFile(std::optional<platform::FileId> file, bool unknown = false);

    /// Notes that `job` writes `output` (or, in a dry run, would), resolved to `target`: its
    /// name, and the file it replaces while that is still under its name.
    void addWritten(const platform::OutputTarget& target, const std::filesystem::path& output,
                    std::size_t job);

    /// Notes the file `job` made for `output`: nothing when the system does not tell who it is.
    void addMade(const std::filesystem::path& output, std::size_t job,
                 std::optional<platform::FileId> made);

    /// Notes that `job` wrote standard output, which is `out` (see platform::fileInfoOf).
    void addStreamWritten(const std::optional<platform::FileInfo>& out, std::size_t job);

    /// Why `job` must not write the target, or nothing when it is safe; outputs written earlier
    /// count only when `refuseRepeats`.
    std::optional<Refusal> refusal(const platform::OutputTarget& target, std::size_t job,
                                   bool refuseRepeats) const;

    /// Why standard output, which is `out` (see platform::fileInfoOf), must not be written, or
    /// nothing when it is safe; outputs written earlier count only when `refuseRepeats`.
    std::optional<Refusal> streamRefusal(const std::optional<platform::FileInfo>& out,
                                         bool refuseRepeats) const;

private:
    using NameKey = std::pair<platform::FileId, std::filesystem::path>;

    /// A file an output made or replaced, where it stood.
    struct Placed {
        std::size_t job;
        std::filesystem::path output;
    };

    std::optional<Refusal> inputRefusal(const platform::FileId& file) const;

    std::vector<std::optional<platform::FileId>> sources_;
    FileIndex<std::size_t> sourceJobs_;
    FileIndex<std::size_t> mappingFiles_;
    bool inputUnknown_ = false;
    std::map<NameKey, std::size_t> writtenNames_;
    FileIndex<Placed> made_;
    FileIndex<Placed> replaced_;
    FileIndex<std::size_t> streams_;
    bool writtenUnknown_ = false;
};

}  // namespace skelvane::conversion
