#include "cli/program.h"

#include <iostream>

#include "cli/command_line.h"
#include "cli/convert_run.h"
#include "cli/terminal_text.h"
#include "conversion/files/platform.h"

namespace skelvane::cli {

namespace {

constexpr int kExitUsage = 2;

int usageError(const UsageError& error) {
    std::cerr << "skelvane-convert: " << printable(error.message) << "\n"
              << "Try 'skelvane-convert --help' for more information.\n";
    return kExitUsage;
}

}  // namespace

int runProgram(int argc, char** argv, conversion::platform::FileSystem& system) {
    namespace platform = conversion::platform;
    // A closed standard stream must not be taken by a file opened later.
    platform::holdClosedStandardStreams();
    const Command command = parseCommandLine(platform::programArguments(argc, argv));
    if (std::holds_alternative<ShowHelp>(command)) {
        return printRequested(platform::standardOutput(), usageText());
    }
    if (std::holds_alternative<ShowVersion>(command)) {
        return printRequested(platform::standardOutput(),
                              std::string("skelvane-convert ") + SKELVANE_VERSION + "\n");
    }
    if (const auto* error = std::get_if<UsageError>(&command)) return usageError(*error);
    const ConvertRequest& request = std::get<ConvertRequest>(command);
    // Before any source is touched: a mapping that cannot be used, or a folder that cannot
    // take outputs, would fail every file.
    Catalogs catalogs;
    const auto mapping = selectMapping(request, catalogs);
    if (const auto* problem = std::get_if<std::string>(&mapping)) {
        return usageError(UsageError{*problem});
    }
    const conversion::MappingChoice& choice = std::get<conversion::MappingChoice>(mapping);
    if (request.listMaps || request.listRigs) {
        const std::string maps = request.listMaps ? mappingList(choice) : "";
        const std::string rigs = request.listRigs ? rigList(choice) : "";
        return printRequested(platform::standardOutput(),
                              maps + (maps.empty() || rigs.empty() ? "" : "\n") + rigs);
    }
    if (std::optional<UsageError> error = outputDirProblem(request.outputDir)) {
        return usageError(*error);
    }
    platform::installSignalCleanup();
    return runConversion(request, choice, system);
}

}  // namespace skelvane::cli
