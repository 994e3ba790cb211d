#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "conversion/files/platform.h"
#include "conversion/mapping/dropped_parts.h"
#include "conversion/mapping/mapping_choice.h"
#include "conversion/rename/joint_report.h"
#include "conversion/run/run_error.h"

namespace skelvane::conversion {

/// One file of a run: where it comes from, where it goes and how it is renamed.
struct Job {
    /// The source file; unused when the job converts the standard streams.
    std::filesystem::path source;
    /// The output file; unused when the job converts the standard streams. A dry run of a job
    /// without one only reads its source.
    std::filesystem::path output;
    /// The parts whose joints are written as "nothing".
    DroppedParts dropped;
    /// The mapping that renames, which must outlive the run; for a best fit, the preset that
    /// fits the source best (see FitCounter), found from the joints of its first kMaxHeldStart
    /// bytes. For a conversion through roles, and for every preset but the built-in table, the
    /// names are planned from the joints of those bytes too, every name written once (see
    /// name_plan.h).
    MappingChoice mapping;
    /// Passed over without opening anything.
    bool skip = false;
    /// Reads standard input and writes standard output instead of files.
    bool standardStreams = false;
    /// How messages name the job's source to the user ("row 2", "x/run.bvh").
    std::string name;
    /// How a refusal names the job's source when another job's output would land on it ("the
    /// source of row 2").
    std::string sourceRole;
};

/// How a run treats its jobs.
struct RunOptions {
    /// Refuses a source that does not start like a BVH file; otherwise anything is converted.
    bool requireBvh = false;
    /// Refuses an output that an earlier job of the run wrote; otherwise the later replaces it.
    bool refuseRepeatedOutputs = false;
    /// Writes nothing: finds out what each job would do and reports each source's joints.
    bool dryRun = false;
    /// In a dry run, also checks each source's structure in the same pass (see
    /// StructureCheck): its report holds the findings. Nothing else depends on them.
    bool check = false;
    /// With check: also holds each source, as it stands, to this rig's rules (see
    /// TargetCheck), which must outlive the run; its findings join the others.
    const RigProfile* judgeBy = nullptr;
    /// In a dry run, reports the role of each joint, found by its name and the skeleton,
    /// whatever renames the job.
    bool findRoles = false;
};

/// What became of a job.
enum class JobStatus { Skipped, Done, Failed };

/// How a conversion through roles found and named one source's joints.
struct RoleSummary {
    /// The rig whose names were written.
    const RigProfile* target = nullptr;
    /// The rig the source was said to be in, or the one found to fit it best; null when no
    /// profile names any of its joints.
    const RigProfile* source = nullptr;
    /// True when the source's rig was given rather than found.
    bool sourceGiven = false;
    /// How many of the joints considered `source` names.
    std::size_t sourceJoints = 0;
    /// The joints of the source, and how many of them role finding considered.
    std::size_t joints = 0;
    std::size_t considered = 0;
    /// Of the joints considered: those with a role, those that keep their names, and those
    /// whose names were numbered to stay unique.
    std::size_t withRole = 0;
    std::size_t kept = 0;
    std::size_t numbered = 0;
    /// What the roles were found by, and what the skeleton said where it was read.
    RoleEvidence evidence = RoleEvidence::Names;
    std::optional<SkeletonSummary> skeleton;
};

/// What happened to one job of a run.
struct JobResult {
    /// Done: converted, or in a dry run it would be.
    JobStatus status = JobStatus::Skipped;
    /// Why a job failed and which of its files the error is about: a RunError when the run
    /// refused it, otherwise the system's reason.
    Failure failure;
    /// The other job a refusal concerns (OutputIsOtherSource, AlreadyWritten).
    std::optional<std::size_t> otherJob;
    /// Whether the source starts like a BVH file, where the run looked.
    std::optional<bool> bvh;
    /// The mapping the job renamed with (or would), once its source was read.
    const Mapping* mapping = nullptr;
    /// How the presets fit the source, when the job was to find its mapping so.
    std::optional<FitResult> fit;
    /// For a conversion through roles, once the source was read: how its joints were named.
    std::optional<RoleSummary> roles;
    /// For a conversion through roles that wrote its output: what the target rig's rules (see
    /// TargetCheck) find in what was written, in one line (see refusalLine); empty when
    /// nothing. It changes nothing of the job's outcome.
    std::string stillRefused;
    /// True when the output is a file that exists and is (or would be) replaced.
    bool replacesExisting = false;
};

/// What a run tells its caller while it goes; the default does nothing.
class JobObserver {
public:
    virtual ~JobObserver() = default;
    /// Called before anything is done for a job, skipped or not.
    virtual void jobStarting(std::size_t job);
    /// Called once a job is over; in a dry run `joints` is its source's report when the source
    /// could be read, valid during the call only.
    virtual void jobFinished(std::size_t job, const JobResult& result, const JointReport* joints);
};

/// Runs the jobs in order, each source opened once and read through that one handle for the
/// BVH check, the report and the conversion. A job that fails is reported and the run goes on.
/// No output ever lands on any job's source, a failure or a signal leaves no temporary file
/// behind and any existing output as it was, and an output is replaced only by complete,
/// durable content; only regular files are replaced. Memory stays flat whatever the input.
/// Outputs are written through `system`.
std::vector<JobResult> runJobs(std::span<const Job> jobs, const RunOptions& options,
                               JobObserver& observer,
                               platform::FileSystem& system = platform::realFileSystem());

/// The reason a job failed, in words: the run's or the system's, naming the other job where a
/// refusal concerns one.
std::string reasonOf(const JobResult& result, std::span<const Job> jobs);

/// A file that could not be read or written: the path at fault and the reason.
struct FileFailure {
    std::filesystem::path path;
    std::error_code error;
};

}  // namespace skelvane::conversion
