#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "conversion/run.h"
#include "joblist/job_list.h"

namespace skelvane::conversion {

/// The message of a run over an empty job list.
inline constexpr std::string_view kNothingToConvert = "Nothing to Convert!";

/// What the window's batch run tells the window while it goes: the window drives its progress
/// bar and message box with it, tests record the calls.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    /// Called once, before anything else, with the row count + 0.001.
    virtual void setProgressMaximum(float maximum) = 0;
    /// Called with i = 1..N at the start of row i - 1, whether the row is skipped or not.
    virtual void setProgressValue(float value) = 0;
    /// A message for the user ("Nothing to Convert!").
    virtual void showInfo(std::string_view text) = 0;
};

/// A row that could not be converted: the file at fault and the reason in words.
struct RowFailure {
    int row;
    std::string path;
    std::error_code error;
    std::string reason;
};

/// What a batch run did: the output files it wrote, in row order, and the rows that failed.
struct RunReport {
    std::vector<std::string> written;
    std::vector<RowFailure> failures;
    bool ok() const { return failures.empty(); }
};

/// The job list as the run's jobs, one per row: the row's source into "<output name>.bvh"
/// relative to the current working directory, under its part flags, skipped when marked "x".
std::vector<Job> jobsOf(const joblist::JobList& list);

/// How the window runs its jobs: anything is converted, BVH or not, and a later row with the
/// same output replaces an earlier one's.
inline constexpr RunOptions kWindowRun{};

/// Converts every row not marked "x" into "<output name>.bvh", relative to the current working
/// directory. A row that fails is reported and the run goes on with the next one.
RunReport convertAll(const joblist::JobList& list, RunObserver& observer);

/// What a row's source holds under the row's part flags, read as a dry run of that row reads
/// it, or why it cannot be read.
std::variant<JointReport, FileFailure> inspectRow(const joblist::JobList& list, int row);

}  // namespace skelvane::conversion
