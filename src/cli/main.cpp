// skelvane-convert: converts Poser-style BVH files from the shell.
#include <iostream>

#include "cli/command_line.h"
#include "cli/convert_run.h"
#include "conversion/platform.h"

namespace {

namespace cli = skelvane::cli;
namespace conversion = skelvane::conversion;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
    const cli::Command command = cli::parseCommandLine({argv + 1, argv + argc});
    if (std::holds_alternative<cli::ShowHelp>(command)) {
        std::cout << cli::usageText();
        return kExitOk;
    }
    if (std::holds_alternative<cli::ShowVersion>(command)) {
        std::cout << "skelvane-convert " << SKELVANE_VERSION << "\n";
        return kExitOk;
    }
    if (const auto* error = std::get_if<cli::UsageError>(&command)) {
        std::cerr << "skelvane-convert: " << error->message << "\n"
                  << "Try 'skelvane-convert --help' for more information.\n";
        return kExitUsage;
    }
    conversion::platform::installSignalCleanup();
    return cli::runConversion(std::get<cli::ConvertRequest>(command));
}
