#include "conversion/mapping/presets.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace skelvane::conversion {

namespace {

std::vector<Mapping> readPresets() {
    std::vector<Mapping> mappings;
    for (const PresetFile& file : presetFiles()) {
        auto parsed = parseMapping(file.text, std::string(file.name) + ".csv");
        if (!parsed) {
            // The presets are part of the program and their tests read every one of them, so
            // this is a broken build, not a user's mistake.
            std::fprintf(stderr, "a built-in mapping is malformed: %s\n",
                         parsed.error().message().c_str());
            std::abort();
        }
        Mapping& mapping = mappings.emplace_back(std::move(parsed).value());
        mapping.name = file.name;
        mapping.origin = "built in";
    }
    return mappings;
}

}  // namespace

std::span<const Mapping> presets() {
    static const std::vector<Mapping> mappings = readPresets();
    return mappings;
}

const Mapping* findPreset(std::string_view name) {
    for (const Mapping& preset : presets()) {
        if (preset.name == name) return &preset;
    }
    return nullptr;
}

bool meantAsPresetName(const std::filesystem::path& file) {
    std::error_code error;
    return !file.has_parent_path() && !file.has_extension() &&
           !std::filesystem::exists(file, error);
}

const Mapping& defaultMapping() {
    return presets().front();
}

bool writesUniqueNames(const Mapping& mapping) {
    if (&mapping == &defaultMapping() || mapping.mode != MatchMode::Exact) return false;
    for (const Mapping& preset : presets()) {
        if (&preset == &mapping) return true;
    }
    return false;
}

const Mapping& keepNamesMapping() {
    static const Mapping none{"none", "Keep every name", MatchMode::Exact, {}, "built in", {}};
    return none;
}

}  // namespace skelvane::conversion
