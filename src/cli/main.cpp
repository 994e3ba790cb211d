// skelvane-convert: converts Poser-style BVH files from the shell.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>

#include "cli/command_line.h"
#include "conversion/file_converter.h"
#include "conversion/platform.h"
#include "conversion/run_guard.h"
#include "conversion/stream_converter.h"

namespace {

namespace cli = skelvane::cli;
namespace conversion = skelvane::conversion;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

bool convertStandardStreams(const conversion::DroppedParts& dropped) {
    namespace platform = conversion::platform;
    // Reading a file while appending to it would never reach its end.
    if (platform::sameRegularFile(platform::kStandardInput, platform::kStandardOutput)) {
        std::cerr << "skelvane-convert: standard input and standard output are the same file\n";
        return false;
    }
    std::optional<conversion::StreamError> error;
    try {
        error =
            conversion::convertStream(platform::kStandardInput, platform::kStandardOutput, dropped);
    } catch (const std::bad_alloc&) {
        error = conversion::StreamError{conversion::StreamError::Side::Read, ENOMEM};
    }
    if (error) {
        const bool reading = error->side == conversion::StreamError::Side::Read;
        std::cerr << "skelvane-convert: " << (reading ? "standard input" : "standard output")
                  << ": " << std::strerror(error->errorNumber) << "\n";
        return false;
    }
    std::cerr << "- -> standard output\n";
    return true;
}

void reportFailure(const std::string& file, const std::string& path, const std::string& reason) {
    std::cerr << "skelvane-convert: " << file << ": ";
    if (path != file) std::cerr << path << ": ";
    std::cerr << reason << "\n";
}

bool convertOne(const std::string& file, const cli::ConvertRequest& request,
                conversion::RunGuard& guard) {
    const std::filesystem::path output = request.outputDir / cli::outputNameFor(file);
    if (auto reason = guard.refusal(output, file)) {
        reportFailure(file, output.string(), *reason);
        return false;
    }
    if (auto failure = conversion::convertFile(file, output, request.dropped)) {
        reportFailure(file, failure->path, failure->reason);
        return false;
    }
    guard.addWritten(output, file);
    std::cerr << file << " -> " << output.string() << "\n";
    return true;
}

int run(const cli::ConvertRequest& request) {
    // No output may land on any input, and none may replace one this run has written.
    conversion::RunGuard guard;
    for (const std::string& file : request.files) {
        if (file != "-") guard.addSource(file, "one of the inputs (" + file + ")");
    }
    bool allConverted = true;
    for (const std::string& file : request.files) {
        const bool converted = file == "-" ? convertStandardStreams(request.dropped)
                                           : convertOne(file, request, guard);
        allConverted = allConverted && converted;
    }
    return allConverted ? kExitOk : kExitFailed;
}

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
    return run(std::get<cli::ConvertRequest>(command));
}
