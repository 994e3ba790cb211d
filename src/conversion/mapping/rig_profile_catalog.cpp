#include "conversion/mapping/rig_profile_catalog.h"

#include <cstdio>
#include <cstdlib>

#include "conversion/files/platform.h"

namespace skelvane::conversion {

namespace {

std::vector<RigProfile> readRigProfiles() {
    std::vector<RigProfile> profiles;
    for (const PresetFile& file : rigProfileFiles()) {
        auto parsed = parseRigProfile(file.text, std::string(file.name) + ".csv");
        if (!parsed) {
            // The profiles are part of the program and their tests read every one of them, so
            // this is a broken build, not a user's mistake.
            std::fprintf(stderr, "a built-in rig profile is malformed: %s\n",
                         parsed.error().message().c_str());
            std::abort();
        }
        RigProfile& profile = profiles.emplace_back(std::move(parsed).value());
        profile.name = file.name;
        profile.origin = "built in";
    }
    return profiles;
}

}  // namespace

std::span<const RigProfile> rigProfiles() {
    static const std::vector<RigProfile> profiles = readRigProfiles();
    return profiles;
}

const RigProfile* findRigProfile(std::string_view name) {
    for (const RigProfile& profile : rigProfiles()) {
        if (profile.name == name) return &profile;
    }
    return nullptr;
}

const RigProfile* RigProfileCatalog::find(std::string_view name) const {
    if (const RigProfile* builtIn = findRigProfile(name)) return builtIn;
    return files_.find(name);
}

Result<const RigProfile*, MappingError> RigProfileCatalog::load(const std::filesystem::path& file,
                                                                NamedPipe namedPipe) {
    auto read = loadRigProfileFile(file, namedPipe);
    if (!read) return std::move(read.error());
    return files_.keep(file, std::move(read).value());
}

Result<const RigProfile*, MappingError> RigProfileCatalog::resolve(std::string_view name,
                                                                   const ResolveOptions& options) {
    if (const RigProfile* builtIn = findRigProfile(name)) return builtIn;
    std::filesystem::path file = platform::pathFromBytes(name);
    if (meantAsPresetName(file)) {
        return MappingError{MappingFault::NoSuchName, std::string(name), 0,
                            "no rig profile named '" + std::string(name) + "'"};
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
    return *loaded;
}

std::vector<const RigProfile*> RigProfileCatalog::all() const {
    std::vector<const RigProfile*> profiles;
    for (const RigProfile& profile : rigProfiles()) profiles.push_back(&profile);
    files_.forEach([&](const RigProfile& profile) { profiles.push_back(&profile); });
    return profiles;
}

}  // namespace skelvane::conversion
