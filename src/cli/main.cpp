// skelvane-convert: converts Poser-style BVH files from the shell.
#include <cstdio>
#include <cstring>
#include <iostream>

#include "cli/command_line.h"
#include "conversion/file_converter.h"
#include "conversion/stream_converter.h"

namespace {

namespace cli = skelvane::cli;
namespace conversion = skelvane::conversion;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

bool convertStandardStreams(const conversion::DroppedParts& dropped) {
    if (auto error = conversion::convertStream(stdin, stdout, dropped)) {
        const bool reading = error->side == conversion::StreamError::Side::Read;
        std::cerr << "skelvane-convert: " << (reading ? "standard input" : "standard output")
                  << ": " << std::strerror(error->errorNumber) << "\n";
        return false;
    }
    std::cerr << "- -> standard output\n";
    return true;
}

bool convertOne(const std::string& file, const cli::ConvertRequest& request) {
    const std::filesystem::path output = request.outputDir / cli::outputNameFor(file);
    if (auto failure = conversion::convertFile(file, output, request.dropped)) {
        std::cerr << "skelvane-convert: " << file << ": ";
        if (failure->path != file) std::cerr << failure->path << ": ";
        std::cerr << failure->reason << "\n";
        return false;
    }
    std::cerr << file << " -> " << output.string() << "\n";
    return true;
}

int run(const cli::ConvertRequest& request) {
    bool allConverted = true;
    for (const std::string& file : request.files) {
        const bool converted =
            file == "-" ? convertStandardStreams(request.dropped) : convertOne(file, request);
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
    return run(std::get<cli::ConvertRequest>(command));
}
