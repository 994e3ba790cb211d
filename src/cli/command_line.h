#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "conversion/mapping/dropped_parts.h"

namespace skelvane::cli {

/// A conversion request read from the command line.
struct ConvertRequest {
    /// The FILEs in the order given, "-" for the standard streams.
    std::vector<std::string> files;
    /// The folder the outputs go to; empty for the current folder.
    std::filesystem::path outputDir;
    /// The parts given with --drop.
    conversion::DroppedParts dropped;
    /// The mapping asked for with --map: a name or a mapping file; empty for the default or for
    /// a conversion through roles. `--map auto` is read as `--from auto --to max`.
    std::string map;
    /// The rig whose names are written, asked for with --to: a rig profile's name or a profile
    /// file; empty for a mapping.
    std::string to;
    /// The rig the sources are in, asked for with --from: a rig profile's name, a profile file,
    /// "auto" or "shape"; with --to, empty means auto.
    std::string from;
    /// Report what would be done, write nothing.
    bool dryRun = false;
    /// Check each FILE's structure and report the findings, write nothing.
    bool check = false;
    /// With dryRun or check: the report as JSON.
    bool json = false;
    /// Convert sources that do not start like a BVH file too.
    bool force = false;
    /// Print failures and refusals only: no line per converted file, no summary.
    bool quiet = false;
    /// List the built-in mappings; needs no FILE.
    bool listMaps = false;
    /// List the rig profiles; needs no FILE.
    bool listRigs = false;
};

/// What the command line asks for: help, the version, a conversion, or a usage error message.
struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
    std::string message;
};
using Command = std::variant<ShowHelp, ShowVersion, ConvertRequest, UsageError>;

/// Parses the arguments after the program name as GNU tools do: options and FILEs in any
/// order, "--" ending the options, bundled short options (-nq), values attached (-oDIR,
/// --drop=7) or in the next argument, long options by their exact names only.
Command parseCommandLine(const std::vector<std::string>& args);

/// Why `folder` cannot take the outputs ("out: no such folder"), or nothing when it can.
std::optional<UsageError> outputDirProblem(const std::filesystem::path& folder);

/// The help text.
std::string usageText();

/// The output file name for a source: its title, "_", the target's name and ".bvh"
/// ("walk_max.bvh").
std::string outputNameFor(const std::filesystem::path& source, std::string_view target = "max");

}  // namespace skelvane::cli
