#include "common/roles.h"

namespace skelvane::common {

std::optional<Role> roleNamed(std::string_view name) {
    for (const RoleInfo& info : kRoles) {
        if (info.name == name) return info.role;
    }
    return std::nullopt;
}

std::span<const Role> coreRoles() {
    static constexpr Role roles[] = {
        Role::Hips,        Role::Spine1,        Role::Neck1,        Role::Head,
        Role::LeftCollar,  Role::LeftUpperArm,  Role::LeftForearm,  Role::LeftHand,
        Role::LeftThigh,   Role::LeftShin,      Role::LeftFoot,     Role::LeftToe,
        Role::RightCollar, Role::RightUpperArm, Role::RightForearm, Role::RightHand,
        Role::RightThigh,  Role::RightShin,     Role::RightFoot,    Role::RightToe,
    };
    return roles;
}

}  // namespace skelvane::common
