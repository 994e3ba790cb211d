#pragma once

// Weighing the roles found by a file's joint names against what its skeleton shows (see
// skeleton_roles.h).
//
// The skeleton is weighed against the names chain by chain. Where every role the names give to a
// chain's joints belongs there, on the right side and in the chain's order, and on an arm or leg of
// the usual length matches the skeleton's, the names stand and the skeleton agrees; links the names
// leave open take the skeleton's role unless another joint on the body holds it. Elsewhere the
// skeleton decides: a limb of the usual length takes its roles from the skeleton, and a name whose
// role does not belong where its joint lies loses it. Each joint is told what the skeleton said of
// it (SkeletonSays).

#include "conversion/mapping/role_finder.h"
#include "conversion/mapping/skeleton_roles.h"

namespace skelvane::conversion {

/// Weighs the roles found by names (or none, see RoleFinder::nothingFound) against `skeleton`,
/// as the top of this file tells, and notes what the skeleton said of each joint and of the
/// file.
void foldSkeleton(RoleFinding& roles, const SkeletonReading& skeleton);

}  // namespace skelvane::conversion
