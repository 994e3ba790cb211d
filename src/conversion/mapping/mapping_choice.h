#pragma once

#include "conversion/mapping/mapping.h"
#include "conversion/mapping/presets.h"

namespace skelvane::conversion {

/// Which mapping renames a job: one mapping (a preset, or a mapping file that a catalog keeps),
/// or for each source the preset that fits it best. It holds the mapping itself, so a choice
/// never has to be looked up again and cannot miss.
struct MappingChoice {
    /// The mapping; the default table until another is chosen, unused for a best fit.
    const Mapping* mapping = &defaultMapping();
    /// Each source is renamed by the preset that fits its joints best instead.
    bool bestFit = false;

    /// A choice of one mapping, which must outlive the choice.
    static MappingChoice of(const Mapping& chosen) { return {&chosen, false}; }
    /// The best fit of each source.
    static MappingChoice bestFitOfEach() { return {&defaultMapping(), true}; }

    friend bool operator==(const MappingChoice& a, const MappingChoice& b) {
        return a.bestFit == b.bestFit && (a.bestFit || a.mapping == b.mapping);
    }
};

}  // namespace skelvane::conversion
