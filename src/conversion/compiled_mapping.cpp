#include "conversion/compiled_mapping.h"

#include <algorithm>

namespace skelvane::conversion {

CompiledMapping::CompiledMapping(const Mapping& mapping, const DroppedParts& dropped)
    : mapping_(mapping) {
    renames_.reserve(mapping.rows.size());
    for (const MappingRow& row : mapping.rows) {
        renames_.push_back({row.from, std::string(replacementOf(row, dropped)), row.part});
        longestSearch_ = std::max(longestSearch_, row.from.size());
    }
    if (mapping.mode == MatchMode::Exact) {
        // Only joint lines are renamed: the converter looks at the start of each line, so the
        // scan looks for nothing but line ends.
        for (std::size_t i = 0; i < renames_.size(); ++i) {
            byName_.try_emplace(renames_[i].search, i);
        }
    } else {
        for (const Rename& rename : renames_) {
            if (!rename.search.empty()) {
                scanTable_.addSearchStart(static_cast<unsigned char>(rename.search.front()));
            }
        }
    }
}

const Rename* CompiledMapping::renameOf(std::string_view name) const {
    const auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &renames_[found->second];
}

}  // namespace skelvane::conversion
