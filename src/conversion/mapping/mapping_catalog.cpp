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
    Mapping mapping = std::get<Mapping>(std::move(read));
    mapping.file = file;
    auto& kept = files_[platform::bytesOfPath(file)];
    if (kept) {
        *kept = std::move(mapping);
    } else {
        kept = std::make_unique<Mapping>(std::move(mapping));
    }
    return kept.get();
}

std::variant<MappingChoice, MappingError> MappingCatalog::resolve(std::string_view name,
                                                                  const ResolveOptions& options) {
    if (name == "auto") return MappingChoice::bestFitOfEach();
    if (const Mapping* preset = findPreset(name)) return MappingChoice::of(*preset);
    std::filesystem::path file = platform::pathFromBytes(name);
    if (meantAsPresetName(file)) {
        MappingError error{std::string(name), 0, "no mapping named '" + std::string(name) + "'"};
        error.noSuchName = true;
        return error;
    }
    if (options.fileByAbsolutePath && !file.is_absolute()) {
        std::error_code error;
        file = std::filesystem::current_path(error) / file;
    }
    auto loaded = load(file, options.namedPipe);
    if (auto* refused = std::get_if<MappingError>(&loaded)) {
        refused->file = std::string(name);
        return std::move(*refused);
    }
    return MappingChoice::of(*std::get<const Mapping*>(loaded));
}

}  // namespace skelvane::conversion
