#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "conversion/mapping/mapping.h"

namespace skelvane::conversion {

/// The mappings a front end can choose from: the presets and the mapping files it has loaded,
/// each file read once and kept as long as the catalog, so that jobs may point at it.
class MappingCatalog {
public:
    /// The mapping a name stands for: a preset's name, or the path a file was loaded from; null
    /// when it stands for none.
    const Mapping* find(std::string_view name) const;

    /// Reads the mapping file at `file` (again, when it was loaded before) and keeps it under its
    /// path; the mapping, or why the file is refused, in which case nothing changes.
    std::variant<const Mapping*, MappingError> load(const std::filesystem::path& file,
                                                    NamedPipe namedPipe = NamedPipe::WaitForWriter);

    /// What a name the user gives stands for: a preset when one has that name, otherwise a
    /// mapping file, loaded here.
    std::variant<const Mapping*, MappingError> resolve(std::string_view name);

private:
    std::map<std::string, std::unique_ptr<const Mapping>, std::less<>> files_;
};

}  // namespace skelvane::conversion
