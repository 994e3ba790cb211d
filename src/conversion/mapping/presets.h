#pragma once

#include <filesystem>
#include <span>
#include <string_view>

#include "conversion/mapping/mapping.h"

namespace skelvane::conversion {

/// A preset as it ships: its name and the bytes of its mapping file in data/maps.
struct PresetFile {
    std::string_view name;
    std::string_view text;
};

/// The preset files, embedded at build time, in their fixed order.
std::span<const PresetFile> presetFiles();

/// The presets, read once from presetFiles() in the same order; poser-max comes first.
std::span<const Mapping> presets();

/// The preset of that name, or null when there is none.
const Mapping* findPreset(std::string_view name);

/// True when a mapping named `file`, which is no preset, is taken for a misspelt preset rather
/// than a mapping file: a bare word without an extension that names no file ("rig.csv" is a
/// file, missing or not).
bool meantAsPresetName(const std::filesystem::path& file);

/// The mapping used when none is chosen: poser-max, the table Skelvane has always used.
const Mapping& defaultMapping();

/// True for the presets that write every joint name once (see name_plan.h): all of them but the
/// built-in table, which keeps the bytes it has always written.
bool writesUniqueNames(const Mapping& mapping);

/// A mapping without rows, named "none": converting with it renames nothing.
const Mapping& keepNamesMapping();

}  // namespace skelvane::conversion
