#pragma once

#include <vector>

#include "cli/command_line.h"
#include "conversion/run.h"

namespace skelvane::cli {

/// The request's FILEs as the run's jobs, in order: each into <title>_max.bvh in the output
/// folder, '-' from standard input to standard output.
std::vector<conversion::Job> jobsOf(const ConvertRequest& request);

/// How the command line runs its jobs: only BVH files unless --force, never one output twice,
/// a dry run with --dry-run.
conversion::RunOptions optionsOf(const ConvertRequest& request);

/// Carries out a conversion request: converts every FILE in turn, one line per file on
/// standard error, or, in a dry run, writes nothing and prints what the run would do on
/// standard output. Returns the exit status: 0 when every file was (or would be) converted,
/// 1 otherwise, or when the dry run's report could not be written.
int runConversion(const ConvertRequest& request);

}  // namespace skelvane::cli
