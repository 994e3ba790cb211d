#pragma once

// A rig profile: the joint name one rig gives each role (see common/roles.h), in the text
// shape of table_file.h.
//
//     # skelvane-rig 1
//     # title: Mixamo
//     # Where the names come from, and what the rig has no joint for.
//     role,name
//     hips,mixamorig:Hips
//     left_upper_arm,mixamorig:LeftArm
//
// The only directive is `# title:`. Each row gives a role by its text name and the joint name
// the rig gives it, whole; roles without a row are joints the rig does not have. A profile is
// refused whole, with the line of the first fault, when a role is unknown or given twice, when
// one name is given to two roles, when a name is empty, longer than kMaxRigNameBytes or no
// joint name (blanks at either end, control characters), and, at the line after the last,
// when it has no row for the hips.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/roles.h"
#include "conversion/mapping/table_file.h"

namespace skelvane::conversion {

/// The first line of every rig profile.
inline constexpr std::string_view kRigVersionLine = "# skelvane-rig 1";
/// The header row that comes before the rows.
inline constexpr std::string_view kRigHeader = "role,name";
/// The longest joint name a profile may give, in bytes; role finding cuts names there.
inline constexpr std::size_t kMaxRigNameBytes = 256;

/// The joint names of one rig by role: a built-in profile or a profile file.
struct RigProfile {
    /// The built-in profile's name ("mixamo") or the file as the user gave it.
    std::string name;
    /// The `# title:` line, or the file name when there is none.
    std::string title;
    /// "built in" for a built-in profile, otherwise the file as the user gave it.
    std::string origin;
    /// The comment lines before the header row, without their `#`, one per line.
    std::string notes;
    /// The file it was loaded from; empty for a built-in profile.
    std::filesystem::path file = {};
    /// Each role's joint name, indexed by role; empty for a role the rig has no joint for.
    std::array<std::string, common::kRoleCount> names = {};

    /// The joint name the rig gives `role`; empty when it has none.
    std::string_view nameOf(common::Role role) const {
        return names[static_cast<std::size_t>(role)];
    }
    /// The role whose joint the rig names `jointName`, compared whole; nothing for a name the
    /// rig does not give. Goes through the roles, so for a few names, not for every joint.
    std::optional<common::Role> roleOf(std::string_view jointName) const;
};

/// Reads the text of a rig profile, all or nothing; `fileName` names the file in errors and
/// gives the name, origin and, without a `# title:` line, the title.
Result<RigProfile, MappingError> parseRigProfile(std::string_view text, std::string_view fileName);

/// Reads and parses the rig profile at `file`; a file over kMaxTableFileBytes is refused
/// without reading more than one byte past the limit.
Result<RigProfile, MappingError> loadRigProfileFile(const std::filesystem::path& file,
                                                    NamedPipe namedPipe = NamedPipe::WaitForWriter);

}  // namespace skelvane::conversion
