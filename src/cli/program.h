#pragma once

namespace skelvane::cli {

/// skelvane-convert as a whole: reads the command line, runs what it asks for and returns the
/// exit status (0 done, 1 some file failed, 2 a usage error).
int runProgram(int argc, char** argv);

}  // namespace skelvane::cli
