#include "conversion/run/run.h"

#include <filesystem>
#include <new>
#include <set>
#include <type_traits>
#include <vector>

#include "conversion/bvh/source_start.h"
#include "conversion/files/commit_group.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"
#include "conversion/files/write_behind.h"
#include "conversion/mapping/target_check.h"
#include "conversion/rename/compiled_mapping.h"
#include "conversion/rename/joint_scanner.h"
#include "conversion/rename/name_plan.h"
#include "conversion/rename/stream_converter.h"
#include "conversion/run/run_guard.h"
#include "conversion/run/source_roles.h"

namespace skelvane::conversion {

namespace {

// A new output takes the source's permissions (less the umask), as a copy would.
constexpr std::uint32_t kModeWhenSourceUnknown = 0666;

JobResult failed(std::error_code error, Side side) {
    JobResult result;
    result.status = JobStatus::Failed;
    result.failure = {error, side};
    return result;
}

JobResult done() {
    JobResult result;
    result.status = JobStatus::Done;
    return result;
}

JobResult refused(const Refusal& refusal) {
    JobResult result = failed(refusal.error, Side::Output);
    result.otherJob = refusal.otherJob;
    return result;
}

JobResult failed(const Failure& failure) {
    return failed(failure.error, failure.side);
}

// The jobs of one run, carried out in order.
class Run {
public:
    Run(std::span<const Job> jobs, const RunOptions& options, JobObserver& observer,
        platform::FileSystem& system)
        : jobs_(jobs), options_(options), observer_(observer), system_(system), group_(system) {}

    std::vector<JobResult> all() {
        // No output may land on the source of any job, skipped or not.
        for (const Job& job : jobs_) {
            const auto source = job.standardStreams ? std::optional<platform::FileId>()
                                                    : platform::fileIdOf(job.source);
            guard_.addSource(source ? *source : std::nullopt, !source);
        }
        // Nor on a mapping file or rig profile the run reads.
        std::set<std::filesystem::path> files;
        for (const Job& job : jobs_) {
            const MappingChoice& choice = job.mapping;
            if (choice.roles()) {
                files.insert(choice.target->file);
                if (choice.source != nullptr) files.insert(choice.source->file);
            } else if (!choice.bestFit) {
                files.insert(choice.mapping->file);
            }
        }
        for (const std::filesystem::path& path : files) {
            if (path.empty()) continue;
            const auto file = platform::fileIdOf(path);
            guard_.addMappingFile(file ? *file : std::nullopt, !file);
        }
        results_.reserve(jobs_.size());
        for (std::size_t i = 0; i < jobs_.size(); ++i) {
            observer_.jobStarting(i);
            joints_.reset();
            pending_.reset();
            results_.push_back(guarded(i));
            // Jobs are told in order: those after an output that waits in the group wait too.
            if (group_.empty()) tellUpTo(i + 1);
        }
        commitGroup();
        return std::move(results_);
    }

private:
    void tellUpTo(std::size_t end) {
        for (; told_ < end; ++told_) {
            const bool current = told_ + 1 == results_.size();
            observer_.jobFinished(told_, results_[told_], current && joints_ ? &*joints_ : nullptr);
        }
    }

    // Puts the group's outputs in place and tells the jobs that waited for it.
    void commitGroup() {
        for (const auto& [job, error] : group_.commit()) {
            if (error) results_[job] = failed(error, Side::Output);
        }
        tellUpTo(results_.size());
    }

    // Out of memory, or a path the system cannot represent: the job fails, the run goes on.
    JobResult guarded(std::size_t i) {
        try {
            return one(i);
        } catch (const std::filesystem::filesystem_error& error) {
            return failed(error.code(), Side::Output);
        } catch (const std::bad_alloc&) {
            return failed(std::make_error_code(std::errc::not_enough_memory), Side::Source);
        }
    }

    JobResult one(std::size_t i) {
        const Job& job = jobs_[i];
        if (job.skip) return {};
        if (job.standardStreams) return streams(i, job);

        // What stands against the output is found first, before the source is opened (a pipe
        // opens only once something writes to it). A dry run still reads the source to report
        // its joints; one without an output reads nothing else.
        std::optional<platform::OutputTarget> target;
        // What keeps the output from being written, if anything: a failure or a refusal.
        JobResult outputFault = done();
        if (!options_.dryRun || !job.output.empty()) {
            auto resolved = withFreeFiles(
                [&] { return platform::OutputTarget::resolve(job.output, folders_); });
            if (!resolved) {
                outputFault = failed(resolved.error(), Side::Output);
            } else {
                target = std::move(*resolved);
                if (const auto refusal =
                        guard_.refusal(*target, i, options_.refuseRepeatedOutputs)) {
                    outputFault = refused(*refusal);
                }
            }
        }
        const auto faulty = [&] { return outputFault.status == JobStatus::Failed; };
        const bool replacesExisting = target && target->existing();
        if (faulty() && !options_.dryRun) return outputFault;

        auto opened = withFreeFiles([&] { return platform::openForReading(job.source); });
        if (!opened) return faulty() ? outputFault : failed(opened.error(), Side::Source);
        const platform::File in = std::move(*opened);
        const std::optional<platform::FileInfo> source = platform::fileInfoOf(in.handle());
        newFileMode_ = source ? source->permissions : kModeWhenSourceUnknown;
        if (!faulty() && target && target->existing()) {
            if (!source) {
                outputFault = refused({RunError::IdentityUnknown, std::nullopt});
            } else if (source->regularId && mayBeOneFile(*source->regularId, *target->existing())) {
                outputFault = refused({RunError::OutputIsSource, std::nullopt});
            }
            if (faulty() && !options_.dryRun) return outputFault;
        }

        JobResult result = readAndWrite(in.handle(), job, target && !faulty() ? &*target : nullptr);
        result.replacesExisting = replacesExisting;
        if (faulty()) {
            outputFault.bvh = result.bvh;
            outputFault.mapping = result.mapping;
            outputFault.fit = std::move(result.fit);
            outputFault.roles = result.roles;
            return outputFault;
        }
        if (result.status == JobStatus::Done && target) {
            guard_.addWritten(*target, job.output, i);
            if (pending_) guard_.addMade(job.output, i, pending_->id());
            stage(i);
        }
        return result;
    }

    JobResult streams(std::size_t i, const Job& job) {
        // Reading a file while appending to it would never reach its end.
        switch (platform::samenessOf(platform::standardInput(), platform::standardOutput())) {
            case platform::Sameness::Same:
                return failed(RunError::StreamsAreOneFile, Side::Output);
            case platform::Sameness::CannotTell:
                return failed(RunError::StreamsMayBeOneFile, Side::Output);
            case platform::Sameness::Different:
                break;
        }
        const std::optional<platform::FileInfo> out =
            platform::fileInfoOf(platform::standardOutput());
        if (const auto refusal = guard_.streamRefusal(out, options_.refuseRepeatedOutputs)) {
            return refused(*refusal);
        }
        JobResult result = readAndWrite(platform::standardInput(), job, nullptr);
        if (result.status == JobStatus::Done && !options_.dryRun) guard_.addStreamWritten(out, i);
        return result;
    }

    // What `open` gives, asked again once the run has given back the files it holds when the
    // system allowed no more.
    template <typename Open>
    std::invoke_result_t<Open> withFreeFiles(Open open) {
        auto opened = open();
        if (!opened && opened.error() == std::errc::too_many_files_open && freeFiles()) {
            opened = open();
        }
        return opened;
    }

    // Gives back the files the run holds open (the group's outputs, the folders it keeps) when
    // the system allows no more; false when there were none to give.
    bool freeFiles() {
        const bool held = !group_.empty() || !folders_.empty();
        if (!group_.empty()) commitGroup();
        folders_.clear();
        return held;
    }

    // The source's part of a job, through its one handle: the BVH check, then the report in a
    // dry run or the conversion into the target (the standard output for the standard streams;
    // none in a dry run that found a fault with the output).
    JobResult readAndWrite(platform::Handle in, const Job& job,
                           const platform::OutputTarget* target) {
        JobResult result = done();
        SourceStart start;
        if (options_.requireBvh) {
            auto read = readSourceStart(in);
            if (!read) return failed(read.error(), Side::Source);
            start = std::move(read).value();
            result.bvh = start.bvh;
            if (!start.bvh) {
                result.status = JobStatus::Failed;
                result.failure = {RunError::NotBvh, Side::Source};
                return result;
            }
        }
        const MappingChoice& choice = job.mapping;
        result.mapping = choice.roles() ? nullptr : choice.mapping;
        // The joints' names, read first where the mapping is chosen or the names planned or the
        // roles reported, with the skeleton where it is weighed.
        const bool findsRoles = choice.roles() || (options_.dryRun && options_.findRoles);
        const bool readsSkeleton =
            findsRoles && (!choice.roles() || choice.evidence != RoleEvidence::Names);
        JointNames names;
        Hierarchy skeleton;
        if (choice.bestFit || findsRoles || writesUniqueNames(*choice.mapping)) {
            auto fit = readHierarchy(in, start.held, names, readsSkeleton ? &skeleton : nullptr);
            if (!fit) return failed(fit.error(), Side::Source);
            if (choice.bestFit) {
                result.fit = std::move(fit).value();
                result.mapping = &result.fit->choice();
            }
        }
        std::optional<RoleFinding> roles;
        if (findsRoles) roles = findRoles(choice, names, skeleton);
        std::optional<NamePlan> plan;
        if (choice.roles()) {
            plan = planRoleNames(names, *roles, *choice.target, job.dropped);
            result.roles = roleSummaryOf(choice, *roles, *plan);
        } else if (writesUniqueNames(*result.mapping)) {
            plan = planPresetNames(names, *result.mapping, job.dropped);
        }
        const Mapping& planned = choice.roles() ? rolesMapping() : *result.mapping;
        std::optional<CompiledMapping> compiled;
        if (plan) {
            compiled.emplace(planned, CompiledMapping::Planned{std::move(plan->renames)});
        } else {
            compiled.emplace(*result.mapping, job.dropped);
        }
        const CompiledMapping& mapping = *compiled;
        if (options_.dryRun) {
            if (const std::error_code error = scan(in, mapping, start.held)) {
                return failed(error, Side::Source);
            }
            if (roles) noteRoles(*roles);
            if (plan) notePlan(*plan);
            result.bvh = joints_->bvh;
            return result;
        }
        // What a conversion through roles wrote is held to the target's rules as it goes.
        std::optional<TargetReading> written;
        if (choice.roles()) written.emplace(*choice.target);
        ByteSink* const watcher = written ? &*written : nullptr;
        if (target != nullptr) {
            const JobResult converted = convertInto(*target, in, mapping, start.held, watcher);
            if (converted.status == JobStatus::Failed) return converted;
        } else {
            sink().setOutput(platform::standardOutput());
            if (const Failure failure =
                    convertStream(in, sink(), mapping, start.held, block(), watcher)) {
                return failed(failure);
            }
        }
        if (written) result.stillRefused = refusalLine(choice.target->name, written->finish());
        return result;
    }

    std::error_code scan(platform::Handle in, const CompiledMapping& mapping,
                         std::string_view held) {
        JointScanner scanner(mapping, Reading::Kinds, options_.check,
                             options_.check ? options_.judgeBy : nullptr);
        scanner.feed(held);
        const std::error_code error = readBlocks(in, block().bytes(), [&](std::string_view piece) {
            scanner.feed(piece);
            return true;
        });
        if (error) return error;
        joints_ = scanner.finish();
        return {};
    }

    // Tells each joint listed in the dry run's report its role, and what its plan says.
    void noteRoles(const RoleFinding& roles) {
        std::vector<JointEntry>& listed = joints_->joints;
        for (std::size_t i = 0; i < listed.size() && i < roles.joints.size(); ++i) {
            listed[i].role = roles.joints[i];
        }
        joints_->skeleton = roles.skeleton;
    }

    void notePlan(const NamePlan& plan) {
        std::vector<JointEntry>& listed = joints_->joints;
        for (std::size_t i = 0; i < listed.size() && i < plan.joints.size(); ++i) {
            listed[i].numbered = plan.joints[i].numbered;
            listed[i].nameFrom = plan.joints[i].choice;
        }
    }

    // Writes the output into its temporary and prepares it; it is put in place with its group.
    JobResult convertInto(const platform::OutputTarget& target, platform::Handle in,
                          const CompiledMapping& mapping, std::string_view held,
                          ByteSink* watcher) {
        if (group_.mustCommitBefore(target)) commitGroup();
        // Each output in the group holds a file open: where the system allows fewer than the
        // group would hold, the group is committed early.
        auto created = withFreeFiles(
            [&] { return platform::PendingOutput::create(target, newFileMode_, system_); });
        if (!created) return failed(created.error(), Side::Output);
        std::unique_ptr<platform::PendingOutput> pending = std::move(*created);
        sink().setOutput(pending->handle());
        if (const Failure failure = convertStream(in, sink(), mapping, held, block(), watcher)) {
            return failed(failure);
        }
        if (const std::error_code prepareError = pending->prepare()) {
            return failed(prepareError, Side::Output);
        }
        pending_ = std::move(pending);
        return done();
    }

    void stage(std::size_t job) {
        if (!pending_) return;
        group_.add(job, std::move(pending_), sink().bytesTaken());
    }

    // One writer and one read block serve the whole run.
    WriteBehind& sink() {
        if (!sink_) sink_ = std::make_unique<WriteBehind>();
        return *sink_;
    }

    ReadBlock& block() {
        if (!block_) block_ = std::make_unique<ReadBlock>();
        return *block_;
    }

    std::span<const Job> jobs_;
    const RunOptions& options_;
    JobObserver& observer_;
    platform::FileSystem& system_;
    RunGuard guard_;
    platform::FolderCache folders_;
    CommitGroup group_;
    std::unique_ptr<WriteBehind> sink_;
    std::unique_ptr<ReadBlock> block_;
    std::vector<JobResult> results_;
    std::size_t told_ = 0;
    // What the job at hand found: its report in a dry run; the output it wrote, waiting to join
    // the group; the mode a new output takes.
    std::optional<JointReport> joints_;
    std::unique_ptr<platform::PendingOutput> pending_;
    std::uint32_t newFileMode_ = kModeWhenSourceUnknown;
};

}  // namespace

void JobObserver::jobStarting(std::size_t) {}

void JobObserver::jobFinished(std::size_t, const JobResult&, const JointReport*) {}

std::vector<JobResult> runJobs(std::span<const Job> jobs, const RunOptions& options,
                               JobObserver& observer, platform::FileSystem& system) {
    return Run(jobs, options, observer, system).all();
}

std::string reasonOf(const JobResult& result, std::span<const Job> jobs) {
    if (result.otherJob && *result.otherJob < jobs.size()) {
        const Job& other = jobs[*result.otherJob];
        if (result.failure.error == RunError::OutputIsOtherSource)
            return "the output is " + other.sourceRole;
        if (result.failure.error == RunError::AlreadyWritten) {
            return "already written from " + other.name + " in this run";
        }
    }
    return result.failure.error.message();
}

}  // namespace skelvane::conversion
