#pragma once

#include "cli/command_line.h"

namespace skelvane::cli {

/// Carries out a conversion request: converts every FILE in turn, one line per file on
/// standard error, or, in a dry run, writes nothing and prints what the run would do on
/// standard output. Returns the exit status: 0 when every file was (or would be) converted,
/// 1 otherwise.
int runConversion(const ConvertRequest& request);

}  // namespace skelvane::cli
