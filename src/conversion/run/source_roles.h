// What a run learns of a source before it converts it: the hierarchy at its start, its joints'
// roles and the summary of a conversion through them.
#pragma once

#include <string>

#include "conversion/bvh/hierarchy.h"
#include "conversion/files/platform.h"
#include "conversion/files/result.h"
#include "conversion/mapping/mapping.h"
#include "conversion/mapping/mapping_choice.h"
#include "conversion/mapping/mapping_fit.h"
#include "conversion/mapping/role_finder.h"
#include "conversion/rename/name_plan.h"
#include "conversion/run/run.h"

namespace skelvane::conversion {

/// Reads on from `held` until the hierarchy has been read (the MOTION line), the input ends or
/// kMaxHeldStart bytes are held, tells which preset fits the joints seen and gives their names
/// to `names` and, when asked, the joints with their parents and offsets to `skeleton`.
Result<FitResult> readHierarchy(platform::Handle in, std::string& held, JointNames& names,
                                Hierarchy* skeleton);

/// The roles of a source's joints, found as `choice` says; for a choice that renames by a
/// mapping, by the built-in profiles' names and the skeleton.
RoleFinding findRoles(const MappingChoice& choice, const JointNames& names,
                      const Hierarchy& skeleton);

/// What a conversion through roles renames with, as far as a mapping is named: whole names.
const Mapping& rolesMapping();

/// What the report of a conversion through roles tells of them.
RoleSummary roleSummaryOf(const MappingChoice& choice, const RoleFinding& roles,
                          const NamePlan& plan);

}  // namespace skelvane::conversion
