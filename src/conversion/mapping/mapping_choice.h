#pragma once

#include "conversion/mapping/mapping.h"
#include "conversion/mapping/presets.h"
#include "conversion/mapping/rig_profile.h"
#include "conversion/mapping/role_finder.h"

namespace skelvane::conversion {

/// What a conversion through roles finds the roles of a source's joints by.
enum class RoleEvidence : unsigned char {
    /// Their names alone.
    Names,
    /// Their names, weighed against the skeleton's shape (see skeleton_roles.h).
    NamesAndSkeleton,
    /// The skeleton's shape alone, whatever the joints are called.
    Skeleton,
};

/// Which mapping renames a job: one mapping (a preset, or a mapping file that a catalog keeps),
/// for each source the preset that fits it best, or a conversion through roles into a target
/// rig. It holds what it chose itself, so a choice never has to be looked up again and cannot
/// miss.
struct MappingChoice {
    /// The mapping; the default table until another is chosen, unused for a best fit and for
    /// a conversion through roles.
    const Mapping* mapping = &defaultMapping();
    /// Each source is renamed by the preset that fits its joints best instead.
    bool bestFit = false;
    /// For a conversion through roles, the rig whose names are written; null otherwise.
    const RigProfile* target = nullptr;
    /// For a conversion through roles, what finds the roles of each source's joints by their
    /// names; null when the skeleton alone finds them.
    const RoleFinder* roleFinder = nullptr;
    /// The rig the sources were said to be in, which alone `roleFinder` knows; null when each
    /// source's rig is found among all the profiles.
    const RigProfile* source = nullptr;
    /// For a conversion through roles, what the roles are found by.
    RoleEvidence evidence = RoleEvidence::Names;

    /// A choice of one mapping, which must outlive the choice.
    static MappingChoice of(const Mapping& chosen) { return {&chosen, false}; }
    /// The best fit of each source.
    static MappingChoice bestFitOfEach() { return {&defaultMapping(), true}; }
    /// A conversion through roles, found by `finder` from the names (and the skeleton, as
    /// `evidence` says), into `target`'s names; `source` is the rig the finder knows alone, if it
    /// was given. All three must outlive the choice.
    static MappingChoice throughRoles(const RoleFinder& finder, const RigProfile& target,
                                      const RigProfile* source = nullptr,
                                      RoleEvidence evidence = RoleEvidence::Names) {
        return {&defaultMapping(), false, &target, &finder, source, evidence};
    }
    /// A conversion through roles found by the skeleton alone, into `target`'s names, which
    /// must outlive the choice.
    static MappingChoice bySkeleton(const RigProfile& target) {
        return {&defaultMapping(), false, &target, nullptr, nullptr, RoleEvidence::Skeleton};
    }

    /// True for a conversion through roles.
    bool roles() const { return target != nullptr; }

    friend bool operator==(const MappingChoice& a, const MappingChoice& b) {
        if (a.roles() || b.roles()) {
            return a.target == b.target && a.roleFinder == b.roleFinder && a.source == b.source &&
                   a.evidence == b.evidence;
        }
        return a.bestFit == b.bestFit && (a.bestFit || a.mapping == b.mapping);
    }
};

}  // namespace skelvane::conversion
