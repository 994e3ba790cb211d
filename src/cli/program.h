#pragma once

#include "conversion/files/platform.h"

namespace skelvane::cli {

/// skelvane-convert as a whole: reads the command line, runs what it asks for, writing outputs
/// through `system`, and returns the exit status (0 done, 1 some file failed, 2 a usage error).
int runProgram(int argc, char** argv,
               conversion::platform::FileSystem& system = conversion::platform::realFileSystem());

}  // namespace skelvane::cli
