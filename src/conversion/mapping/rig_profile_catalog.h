#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/mapping/loaded_files.h"
#include "conversion/mapping/presets.h"
#include "conversion/mapping/rig_profile.h"

namespace skelvane::conversion {

/// The built-in rig profile files as they ship in data/rigs, embedded at build time, in their
/// fixed order.
std::span<const PresetFile> rigProfileFiles();

/// The built-in rig profiles, read once from rigProfileFiles() in the same order.
std::span<const RigProfile> rigProfiles();

/// The built-in rig profile of that name, or null when there is none.
const RigProfile* findRigProfile(std::string_view name);

/// The rig profiles a front end can choose from: the built-in ones and the profile files it has
/// loaded, each kept at one place as long as the catalog, so that choices may point at it.
class RigProfileCatalog {
public:
    /// The profile a name stands for: a built-in profile's name, or the path a file was loaded
    /// from; null when it stands for none.
    const RigProfile* find(std::string_view name) const;

    /// Reads the profile file at `file` and keeps it under its path; loaded again, it is
    /// updated where it is kept. The profile, or why the file is refused, in which case nothing
    /// changes.
    Result<const RigProfile*, MappingError> load(const std::filesystem::path& file,
                                                 NamedPipe namedPipe = NamedPipe::WaitForWriter);

    /// What a name the user gives stands for: a built-in profile's name that profile, anything
    /// else a profile file, loaded here. A bare word that names no profile and no file (see
    /// meantAsPresetName) is refused as a profile of that name that does not exist
    /// (MappingFault::NoSuchName), never taken for a default; a file that cannot be used is
    /// refused with the name as given.
    Result<const RigProfile*, MappingError> resolve(std::string_view name,
                                                    const ResolveOptions& options = {});

    /// Every profile it knows, the built-in ones first and then the files in the order of their
    /// paths, as a role finder takes them.
    std::vector<const RigProfile*> all() const;

private:
    LoadedFiles<RigProfile> files_;
};

}  // namespace skelvane::conversion
