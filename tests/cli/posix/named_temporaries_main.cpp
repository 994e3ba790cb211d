// skelvane-convert with named temporary files where the filesystem offers unnamed ones too.
#include "cli/program.h"
#include "conversion/files/platform.h"

int main(int argc, char** argv) {
    skelvane::conversion::platform::testing::useNamedTemporaries(true);
    return skelvane::cli::runProgram(argc, argv);
}
