#include "conversion/mapping/rig_profile.h"

#include <unordered_map>

#include "conversion/files/platform.h"

namespace skelvane::conversion {

namespace {

constexpr TableFormat kRigFormat{kRigVersionLine, kRigHeader, "title", common::kRoleCount};

class RigContents final : public TableContents {
public:
    explicit RigContents(RigProfile& profile) : profile_(profile) {}

    std::optional<std::string> directive(std::string_view word, std::string_view value) override;
    std::optional<std::string> row(std::vector<std::string>& fields, std::size_t line) override;
    std::optional<std::string> end() override;

private:
    RigProfile& profile_;
    bool titleSeen_ = false;
    // The line of each role given and the role of each name given, to tell a second one where
    // the first is.
    std::array<std::size_t, common::kRoleCount> roleLines_ = {};
    std::unordered_map<std::string, common::Role> roleOfName_;
};

std::optional<std::string> RigContents::directive(std::string_view word, std::string_view value) {
    if (word != "title") {
        return "unknown directive " + inQuotes(word) +
               " (known: " + std::string(kRigFormat.directives) + ")";
    }
    if (titleSeen_) return "'title' given twice";
    titleSeen_ = true;
    if (value.empty()) return "empty title";
    profile_.title = value;
    return std::nullopt;
}

std::optional<std::string> RigContents::row(std::vector<std::string>& fields, std::size_t line) {
    const std::string_view roleText = trimBlanks(fields[0]);
    std::string& name = fields[1];
    if (roleText.empty()) return "empty 'role'";
    const std::optional<common::Role> role = common::roleNamed(roleText);
    if (!role) {
        return "unknown role " + inQuotes(roleText) +
               " (roles are written like hips, spine1, left_upper_arm)";
    }
    const auto index = static_cast<std::size_t>(*role);
    if (roleLines_[index] != 0) {
        return inQuotes(roleText) + " given twice (first on line " +
               std::to_string(roleLines_[index]) + ")";
    }
    if (name.empty()) return "empty 'name'";
    if (name.size() > kMaxRigNameBytes) {
        return "a 'name' of " + std::to_string(name.size()) + " bytes; at most " +
               std::to_string(kMaxRigNameBytes);
    }
    if (auto reason = whyNotAJointName("name", name)) return reason;
    const auto [other, inserted] = roleOfName_.emplace(name, *role);
    if (!inserted) {
        const auto otherIndex = static_cast<std::size_t>(other->second);
        return inQuotes(name) + " already names " + inQuotes(common::roleName(other->second)) +
               " (line " + std::to_string(roleLines_[otherIndex]) + "); a joint has one role";
    }
    roleLines_[index] = line;
    profile_.names[index] = std::move(name);
    return std::nullopt;
}

std::optional<std::string> RigContents::end() {
    if (profile_.nameOf(common::Role::Hips).empty()) {
        return "no row for 'hips', which every rig has";
    }
    return std::nullopt;
}

}  // namespace

std::optional<common::Role> RigProfile::roleOf(std::string_view jointName) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && names[i] == jointName) return static_cast<common::Role>(i);
    }
    return std::nullopt;
}

Result<RigProfile, MappingError> parseRigProfile(std::string_view text, std::string_view fileName) {
    RigProfile profile;
    profile.name = fileName;
    profile.origin = fileName;
    profile.title = platform::bytesOfPath(platform::pathFromBytes(fileName).filename());
    RigContents contents(profile);
    if (auto error = readTableFile(text, fileName, kRigFormat, contents, profile.notes)) {
        return std::move(*error);
    }
    return profile;
}

Result<RigProfile, MappingError> loadRigProfileFile(const std::filesystem::path& file,
                                                    NamedPipe namedPipe) {
    auto text = readTableFileBytes(file, namedPipe);
    if (!text) return std::move(text.error());
    return parseRigProfile(*text, platform::bytesOfPath(file));
}

}  // namespace skelvane::conversion
