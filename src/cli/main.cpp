// skelvane-convert: converts Poser-style BVH files from the shell.
#include "cli/program.h"

int main(int argc, char** argv) {
    return skelvane::cli::runProgram(argc, argv);
}
