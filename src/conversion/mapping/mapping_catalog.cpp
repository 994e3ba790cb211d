#include "conversion/mapping/mapping_catalog.h"

#include "conversion/files/platform.h"
#include "conversion/mapping/presets.h"

namespace skelvane::conversion {

const Mapping* MappingCatalog::find(std::string_view name) const {
    if (const Mapping* preset = findPreset(name)) return preset;
    const auto file = files_.find(name);
    return file == files_.end() ? nullptr : file->second.get();
}

std::variant<const Mapping*, MappingError> MappingCatalog::load(const std::filesystem::path& file,
                                                                NamedPipe namedPipe) {
    auto read = loadMappingFile(file, namedPipe);
    if (auto* error = std::get_if<MappingError>(&read)) return std::move(*error);
    auto mapping = std::make_unique<Mapping>(std::get<Mapping>(std::move(read)));
    mapping->file = file;
    auto& kept = files_[platform::bytesOfPath(file)];
    kept = std::move(mapping);
    return kept.get();
}

std::variant<const Mapping*, MappingError> MappingCatalog::resolve(std::string_view name) {
    if (const Mapping* preset = findPreset(name)) return preset;
    return load(platform::pathFromBytes(name));
}

}  // namespace skelvane::conversion
