#include "conversion/rename/compiled_mapping.h"

#include <algorithm>
#include <utility>

namespace skelvane::conversion {

CompiledMapping::CompiledMapping(const Mapping& mapping, const DroppedParts& dropped)
    : mapping_(mapping) {
    renames_.reserve(mapping.rows.size());
    for (const MappingRow& row : mapping.rows) {
        const std::string_view replacement = replacementOf(row, dropped);
        renames_.push_back({row.from, std::string(replacement), row.part, replacement == kNothing});
        longestSearch_ = std::max(longestSearch_, row.from.size());
    }
    index();
}

CompiledMapping::CompiledMapping(const Mapping& mapping, Planned planned)
    : mapping_(mapping), renames_(std::move(planned.renames)) {
    for (const Rename& rename : renames_) {
        longestSearch_ = std::max(longestSearch_, rename.search.size());
    }
    index();
}

void CompiledMapping::index() {
    if (mapping_.mode == MatchMode::Exact) {
        // Only joint lines are renamed: the converter looks at the start of each line, so the
        // scan looks for nothing but line ends.
        for (std::size_t i = 0; i < renames_.size(); ++i) {
            byName_.try_emplace(renames_[i].search, i);
        }
    } else {
        std::vector<std::string_view> texts;
        texts.reserve(renames_.size());
        for (const Rename& rename : renames_) texts.push_back(rename.search);
        automaton_ = std::make_unique<const SearchAutomaton>(texts);
        for (const Rename& rename : renames_) {
            const std::string& search = rename.search;
            if (search.empty()) continue;
            const auto first = static_cast<unsigned char>(search[0]);
            scanTable_.addSearchStart(first);
            if (search.size() == 1) {
                oneByteSearches_.set(first);
            } else {
                searchBigrams_.set(first << 8 | static_cast<unsigned char>(search[1]));
            }
        }
    }
}

bool CompiledMapping::mayStartMatch(std::string_view text, bool lineEnds) const {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (scanTable_.classOf(byte) != ScanTable::kSearchStart) continue;
        if (oneByteSearches_.test(byte)) return true;
        if (i + 1 == text.size()) return !lineEnds;
        if (searchBigrams_.test(byte << 8 | static_cast<unsigned char>(text[i + 1]))) return true;
    }
    return false;
}

const Rename* CompiledMapping::renameOf(std::string_view name) const {
    const auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &renames_[found->second];
}

}  // namespace skelvane::conversion
