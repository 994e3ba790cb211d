#include "conversion/run/source_roles.h"

#include <vector>

#include "conversion/bvh/source_start.h"
#include "conversion/files/read_blocks.h"
#include "conversion/mapping/presets.h"
#include "conversion/mapping/skeleton_roles.h"
#include "conversion/mapping/skeleton_weighing.h"
#include "conversion/rename/compiled_mapping.h"
#include "conversion/rename/joint_scanner.h"

namespace skelvane::conversion {

Result<FitResult> readHierarchy(platform::Handle in, std::string& held, JointNames& names,
                                Hierarchy* skeleton) {
    static const CompiledMapping keepNames(keepNamesMapping(), {});
    JointScanner scanner(keepNames, skeleton != nullptr ? Reading::Hierarchy : Reading::Kinds);
    scanner.collectNames(names);
    scanner.feed(held);
    std::vector<char> block(kStartReadSize);
    const auto readOn = [&] { return !scanner.hierarchyRead() && held.size() < kMaxHeldStart; };
    std::error_code error;
    if (readOn()) {
        error = readBlocks(in, block, [&](std::string_view piece) {
            scanner.feed(piece);
            held.append(piece);
            return readOn();
        });
    }
    if (error) return error;
    if (skeleton != nullptr) *skeleton = scanner.hierarchy();
    return scanner.finish().fit;
}

RoleFinding findRoles(const MappingChoice& choice, const JointNames& names,
                      const Hierarchy& skeleton) {
    const bool throughRoles = choice.roles();
    const RoleEvidence evidence = throughRoles ? choice.evidence : RoleEvidence::NamesAndSkeleton;
    RoleFinding found = evidence == RoleEvidence::Skeleton
                            ? RoleFinder::nothingFound(names)
                            : (throughRoles ? *choice.roleFinder : builtInRoleFinder()).find(names);
    if (evidence != RoleEvidence::Names) {
        const bool byNames = evidence == RoleEvidence::NamesAndSkeleton;
        foldSkeleton(found, readSkeleton(skeleton, byNames ? &names : nullptr));
    }
    return found;
}

const Mapping& rolesMapping() {
    static const Mapping roles{"roles", "Through joint roles", MatchMode::Exact, {}, "built in",
                               {}};
    return roles;
}

RoleSummary roleSummaryOf(const MappingChoice& choice, const RoleFinding& roles,
                          const NamePlan& plan) {
    RoleSummary summary;
    summary.target = choice.target;
    summary.sourceGiven = choice.source != nullptr;
    summary.source = roles.bestFit;
    summary.sourceJoints = roles.bestFitJoints;
    summary.joints = roles.jointCount;
    summary.considered = roles.joints.size();
    summary.withRole = plan.withRole;
    summary.kept = plan.kept;
    summary.numbered = plan.numbered;
    summary.evidence = choice.evidence;
    summary.skeleton = roles.skeleton;
    return summary;
}

}  // namespace skelvane::conversion
