#include "conversion/rename/name_plan.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace skelvane::conversion {

namespace {

// Gives each joint of `plan`, whose names hold what each wants, a name no other joint has.
void giveUniqueNames(const JointNames& names, NamePlan& plan) {
    std::vector<PlannedJoint>& joints = plan.joints;
    // The first joint of each name speaks for the others of that name.
    std::vector<std::size_t> firsts;
    std::vector<std::size_t> firstOf(joints.size());
    std::unordered_map<std::string_view, std::size_t> firstByName;
    for (std::size_t i = 0; i < joints.size(); ++i) {
        firstOf[i] = i;
        if (names.isTooLong(i)) continue;
        const auto [first, isNew] = firstByName.emplace(names[i], i);
        firstOf[i] = first->second;
        if (isNew) firsts.push_back(i);
    }

    std::unordered_set<std::string> taken;
    std::vector<std::size_t> toNumber;
    const auto giveWanted = [&](auto wants) {
        for (const std::size_t i : firsts) {
            if (!wants(joints[i].choice)) continue;
            if (!taken.insert(joints[i].name).second) toNumber.push_back(i);
        }
    };
    giveWanted([](NameChoice choice) { return choice == NameChoice::Target; });
    giveWanted([](NameChoice choice) {
        return choice == NameChoice::Kept || choice == NameChoice::NotInTarget;
    });
    std::vector<bool> numberLater(joints.size(), false);
    for (const std::size_t i : toNumber) numberLater[i] = true;
    for (const std::size_t i : firsts) {
        PlannedJoint& joint = joints[i];
        if (joint.choice == NameChoice::Nothing && taken.insert(joint.name).second) continue;
        if (joint.choice != NameChoice::Nothing && !numberLater[i]) continue;
        const std::string base = joint.name;
        for (std::size_t number = 2;; ++number) {
            std::string name = base + std::to_string(number);
            if (taken.insert(name).second) {
                joint.name = std::move(name);
                joint.numbered = true;
                break;
            }
        }
    }

    for (std::size_t i = 0; i < joints.size(); ++i) {
        if (firstOf[i] != i) {
            joints[i].name = joints[firstOf[i]].name;
            joints[i].numbered = joints[firstOf[i]].numbered;
        }
        const PlannedJoint& joint = joints[i];
        plan.withRole += joint.role.has_value();
        plan.kept += joint.choice == NameChoice::Kept || joint.choice == NameChoice::NotInTarget;
        plan.numbered += joint.numbered;
    }
    for (const std::size_t i : firsts) {
        const PlannedJoint& joint = joints[i];
        if (joint.name == names[i]) continue;
        plan.renames.push_back(
            {std::string(names[i]), joint.name, joint.part, joint.choice == NameChoice::Nothing});
    }
}

// A joint that keeps its name, as far as it was kept.
PlannedJoint keeping(std::string_view name, NameChoice choice) {
    PlannedJoint joint;
    joint.choice = choice;
    joint.name = name;
    return joint;
}

}  // namespace

NamePlan planRoleNames(const JointNames& names, const RoleFinding& roles, const RigProfile& target,
                       const DroppedParts& dropped) {
    NamePlan plan;
    plan.joints.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const JointRole& found = roles.joints.at(i);
        PlannedJoint joint = keeping(names[i], NameChoice::Kept);
        joint.role = found.role;
        joint.status = found.status;
        if (found.role) {
            joint.part = common::partOf(*found.role);
            const std::string_view targetName = target.nameOf(*found.role);
            if (dropped.test(static_cast<std::size_t>(joint.part))) {
                joint.choice = NameChoice::Nothing;
                joint.name = kNothing;
            } else if (!targetName.empty()) {
                joint.choice = NameChoice::Target;
                joint.name = targetName;
            } else {
                joint.choice = NameChoice::NotInTarget;
            }
        }
        plan.joints.push_back(std::move(joint));
    }
    giveUniqueNames(names, plan);
    return plan;
}

NamePlan planPresetNames(const JointNames& names, const Mapping& preset,
                         const DroppedParts& dropped) {
    const CompiledMapping rows(preset, dropped);
    NamePlan plan;
    plan.joints.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        PlannedJoint joint = keeping(names[i], NameChoice::Kept);
        const Rename* row = names.isTooLong(i) ? nullptr : rows.renameOf(names[i]);
        if (row != nullptr && row->replacement != names[i]) {
            joint.choice = row->dropped ? NameChoice::Nothing : NameChoice::Target;
            joint.name = row->replacement;
            joint.part = row->part;
        }
        plan.joints.push_back(std::move(joint));
    }
    giveUniqueNames(names, plan);
    return plan;
}

}  // namespace skelvane::conversion
