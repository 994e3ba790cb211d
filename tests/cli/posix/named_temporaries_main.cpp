// skelvane-convert with named temporary files where the filesystem offers unnamed ones too.
#include "cli/program.h"
#include "support/test_file_system.h"

int main(int argc, char** argv) {
    skelvane::testing::TestFileSystem namedOnly;
    namedOnly.namedTemporariesOnly = true;
    return skelvane::cli::runProgram(argc, argv, namedOnly);
}
