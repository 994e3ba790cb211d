#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "conversion/mapping/loaded_files.h"
#include "conversion/mapping/mapping.h"
#include "conversion/mapping/mapping_choice.h"

namespace skelvane::conversion {

/// The mappings a front end can choose from: the presets and the mapping files it has loaded,
/// each kept at one place as long as the catalog, so that choices and jobs may point at it.
class MappingCatalog {
public:
    /// The mapping a name stands for: a preset's name, or the path a file was loaded from; null
    /// when it stands for none.
    const Mapping* find(std::string_view name) const;

    /// Reads the mapping file at `file` and keeps it under its path; loaded again, it is
    /// updated where it is kept, so that every choice of it sees the new rows. The mapping, or
    /// why the file is refused, in which case nothing changes.
    Result<const Mapping*, MappingError> load(const std::filesystem::path& file,
                                              NamedPipe namedPipe = NamedPipe::WaitForWriter);

    /// What a name the user gives stands for: "auto" the best fit, a preset's name that preset,
    /// anything else a mapping file, loaded here. A bare word that names no preset and no file
    /// (see meantAsPresetName) is refused as a mapping of that name that does not exist
    /// (MappingFault::NoSuchName), never taken for the default; a file that cannot be used is
    /// refused with the name as given.
    Result<MappingChoice, MappingError> resolve(std::string_view name,
                                                const ResolveOptions& options = {});

private:
    LoadedFiles<Mapping> files_;
};

}  // namespace skelvane::conversion
