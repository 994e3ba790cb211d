#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/command_line.h"
#include "conversion/files/platform.h"
#include "conversion/mapping/mapping_catalog.h"
#include "conversion/mapping/rig_profile_catalog.h"
#include "conversion/mapping/role_finder.h"
#include "conversion/run/run.h"

namespace skelvane::cli {

/// What the choice of a run points into: the mapping files and rig profiles read for it and
/// what finds the roles of its sources' joints.
struct Catalogs {
    conversion::MappingCatalog mappings;
    conversion::RigProfileCatalog rigs;
    std::optional<conversion::RoleFinder> roleFinder;
};

/// What --map names (a preset or a mapping file), or --to and --from (rig profiles' names or
/// profile files; --from auto each source's rig found among every profile and weighed against
/// its skeleton, --from shape the skeleton alone), read into `catalogs`; the choice, or the message
/// why it cannot be used ("FILE:LINE: reason"). Without any of them, the default table.
std::variant<conversion::MappingChoice, std::string> selectMapping(const ConvertRequest& request,
                                                                   Catalogs& catalogs);

/// The mappings --list-maps shows, one per line: name, mode, rows, where from and title;
/// the presets, then the one --map selected when it is a file.
std::string mappingList(const conversion::MappingChoice& choice);

/// The rig profiles --list-rigs shows, one per line: name, the roles it has a joint for, where
/// from and title; the built-in ones, then those --to and --from selected that are files.
std::string rigList(const conversion::MappingChoice& choice);

/// What an output's name ends in after its title and "_": the target rig's name (a profile
/// file's name without its extension) for a conversion through roles, otherwise "max".
std::string targetSuffix(const conversion::MappingChoice& choice);

/// The request's FILEs as the run's jobs, in order: each into <title>_max.bvh (<title>_TARGET.bvh
/// through roles) in the output folder, '-' from standard input to standard output, renamed as
/// `mapping` chooses.
std::vector<conversion::Job> jobsOf(const ConvertRequest& request,
                                    const conversion::MappingChoice& mapping = {});

/// How the command line runs its jobs: only BVH files unless --force, never one output twice,
/// a dry run with --dry-run.
conversion::RunOptions optionsOf(const ConvertRequest& request);

/// How the files of a run ended, counted for its summary.
struct RunTally {
    /// Every file of the run.
    std::size_t files = 0;
    /// Converted, or in a dry run would be, into the output folder.
    std::size_t toFolder = 0;
    /// Converted, or in a dry run would be, to standard output.
    std::size_t toStandardOutput = 0;
    /// Refused by the run: not a BVH file, an output that is an input or was already written.
    std::size_t refused = 0;
    /// Failed for the system's reasons: a missing file, a full disk.
    std::size_t failed = 0;
};

/// Counts how the jobs of a run ended.
RunTally tallyOf(std::span<const conversion::Job> jobs,
                 std::span<const conversion::JobResult> results);

/// The run summed up in one line without its newline, the folder named as given with -o, such
/// as "4 files: 2 converted into out/, 1 refused, 1 failed" (a dry run's says "would be" and
/// ends in "; nothing was written").
std::string summaryOf(const RunTally& tally, const std::filesystem::path& outputDir, bool dryRun);

/// Carries out a conversion request: converts every FILE in turn, one line per file on
/// standard error, or, in a dry run, writes nothing and prints what the run would do on
/// standard output; then the summary on standard error. Quiet, only the files that were not
/// converted are told. Returns the exit status: 0 when every file was (or would be)
/// converted, 1 otherwise, or when the dry run's report could not be written. Outputs are
/// written through `system`.
int runConversion(
    const ConvertRequest& request, const conversion::MappingChoice& mapping = {},
    conversion::platform::FileSystem& system = conversion::platform::realFileSystem());

/// Writes what the user asked to see (the help, the version, the list of mappings) to `out`,
/// standard output as the program calls it. Returns the exit status: 0, or 1 with a message on
/// standard error when the text could not be written, so that a script never takes a lost list
/// for an empty one.
int printRequested(conversion::platform::Handle out, std::string_view text);

}  // namespace skelvane::cli
