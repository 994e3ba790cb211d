#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "conversion/dropped_parts.h"

namespace skelvane::cli {

/// A conversion request read from the command line.
struct ConvertRequest {
    std::vector<std::string> files;
    std::filesystem::path outputDir;
    conversion::DroppedParts dropped;
    /// Report what would be done, write nothing.
    bool dryRun = false;
    /// With dryRun: the report as JSON.
    bool json = false;
    /// Convert sources that do not start like a BVH file too.
    bool force = false;
};

/// What the command line asks for: help, the version, a conversion, or a usage error message.
struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
    std::string message;
};
using Command = std::variant<ShowHelp, ShowVersion, ConvertRequest, UsageError>;

/// Parses the arguments after the program name.
Command parseCommandLine(const std::vector<std::string>& args);

/// The help text.
std::string usageText();

/// The output file name for a source: its title, then "_max.bvh".
std::string outputNameFor(const std::filesystem::path& source);

}  // namespace skelvane::cli
