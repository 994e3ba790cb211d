#include "conversion/mapping/mapping_catalog.h"

#include "conversion/files/platform.h"
#include "conversion/mapping/presets.h"

namespace skelvane::conversion {

const Mapping* MappingCatalog::find(std::string_view name) const {
    if (const Mapping* preset = findPreset(name)) return preset;
    return files_.find(name);
}

Result<const Mapping*, MappingError> MappingCatalog::load(const std::filesystem::path& file,
                                                          NamedPipe namedPipe) {
    auto read = loadMappingFile(file, namedPipe);
    if (!read) return std::move(read.error());
    return files_.keep(file, std::move(read).value());
}

Result<MappingChoice, MappingError> MappingCatalog::resolve(std::string_view name,
                                                            const ResolveOptions& options) {
    if (name == "auto") return MappingChoice::bestFitOfEach();
    if (const Mapping* preset = findPreset(name)) return MappingChoice::of(*preset);
    std::filesystem::path file = platform::pathFromBytes(name);
    if (meantAsPresetName(file)) {
        return MappingError{MappingFault::NoSuchName, std::string(name), 0,
                            "no mapping named '" + std::string(name) + "'"};
    }
    if (options.fileByAbsolutePath && !file.is_absolute()) {
        std::error_code error;
        file = std::filesystem::current_path(error) / file;
    }
    auto loaded = load(file, options.namedPipe);
    if (!loaded) {
        loaded.error().file = std::string(name);
        return std::move(loaded.error());
    }
    return MappingChoice::of(**loaded);
}

}  // namespace skelvane::conversion
