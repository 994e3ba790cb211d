#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "conversion/run/run.h"
#include "joblist/job_list.h"

namespace skelvane::joblist {

using conversion::FileFailure;
using conversion::Job;
using conversion::JointReport;
using conversion::Mapping;
using conversion::RunOptions;

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
/// relative to the current working directory, under its part flags and its mapping, skipped
/// when marked "x".
std::vector<Job> jobsOf(const JobList& list);

/// How the window runs its jobs: anything is converted, BVH or not, and a later row with the
/// same output replaces an earlier one's.
inline constexpr RunOptions kWindowRun{};

/// Converts every row not marked "x" into "<output name>.bvh", relative to the current working
/// directory. A row that fails is reported and the run goes on with the next one.
RunReport convertAll(const JobList& list, RunObserver& observer);

/// What a row's source holds under the row's part flags and mapping, read as a dry run of that
/// row reads it, its structure checked and each joint's role found by its name and the skeleton
/// whatever the mapping in the same pass, with the mapping it was read under, or why it cannot
/// be read.
struct RowInspection {
    std::variant<JointReport, FileFailure> report;
    /// The mapping the joints were named by: the row's, or for a best fit the one that fits.
    const Mapping* mapping = nullptr;
};
RowInspection inspectRow(const JobList& list, int row);

}  // namespace skelvane::joblist
