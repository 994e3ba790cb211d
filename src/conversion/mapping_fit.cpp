#include "conversion/mapping_fit.h"

#include "conversion/presets.h"

namespace skelvane::conversion {

namespace {

std::string jointsText(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " joint" : " joints");
}

bool isEnough(std::uint64_t count, std::uint64_t joints) {
    return count > 0 && count * kFitShareDivisor >= joints;
}

}  // namespace

FitCounter::FitCounter() : FitCounter(presets()) {}

FitCounter::FitCounter(std::span<const Mapping> mappings) {
    tables_.reserve(mappings.size());
    for (const Mapping& mapping : mappings) {
        Table& table = tables_.emplace_back(Table{&mapping, {}, 0});
        for (const MappingRow& row : mapping.rows) {
            const std::string_view written = replacementOf(row, {});
            if (written != row.from) table.renamedNames.insert(row.from);
            if (written != kNothing && !written.empty()) targetNameSet_.insert(written);
        }
    }
}

void FitCounter::addJoint(std::string_view name) {
    ++joints_;
    if (name.size() > kLongestFittingName) return;
    for (Table& table : tables_) {
        if (table.renamedNames.contains(name)) ++table.renamed;
    }
    if (targetNameSet_.contains(name)) ++targetNames_;
}

FitResult FitCounter::result() const {
    FitResult result;
    result.joints = joints_;
    result.targetNames = targetNames_;
    const Table* best = nullptr;
    for (const Table& table : tables_) {
        result.counts.push_back({table.mapping, table.renamed});
        if (table.renamed == 0) continue;
        const bool exactBeatsContains = best != nullptr && table.renamed == best->renamed &&
                                        table.mapping->mode == MatchMode::Exact &&
                                        best->mapping->mode == MatchMode::Contains;
        if (best == nullptr || table.renamed > best->renamed || exactBeatsContains) best = &table;
    }
    if (best != nullptr) {
        result.best = best->mapping;
        result.renamed = best->renamed;
    }
    if (isEnough(targetNames_, joints_) && targetNames_ >= result.renamed) {
        result.verdict = FitVerdict::TargetNames;
    } else if (isEnough(result.renamed, joints_)) {
        result.verdict = FitVerdict::Fits;
    }
    return result;
}

const Mapping& FitResult::choice() const {
    return verdict == FitVerdict::Fits ? *best : keepNamesMapping();
}

std::string FitResult::summary() const {
    const std::string of = " of " + jointsText(joints);
    switch (verdict) {
        case FitVerdict::Fits:
            return "best fit: " + best->name + ", " + std::to_string(renamed) + of;
        case FitVerdict::TargetNames:
            return "best fit: none, Max names on " + std::to_string(targetNames) + of;
        case FitVerdict::NothingFits:
            break;
    }
    if (joints == 0) return "best fit: none, no joints";
    if (best == nullptr) return "best fit: none, no preset renames any" + of;
    return "best fit: none, " + best->name + " renames only " + std::to_string(renamed) + of;
}

}  // namespace skelvane::conversion
