#include "conversion/mapping/mapping_fit.h"

#include "conversion/mapping/presets.h"

namespace skelvane::conversion {

namespace {

std::string jointsText(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " joint" : " joints");
}

bool isEnough(std::uint64_t count, std::uint64_t joints) {
    return count > 0 && count * kFitShareDivisor >= joints;
}

}  // namespace

FitCounter::Index::Index(std::span<const Mapping> all) {
    for (const Mapping& mapping : all) {
        mappings.push_back(&mapping);
        auto& renames = renamedNames.emplace_back();
        for (const MappingRow& row : mapping.rows) {
            const std::string_view written = replacementOf(row, {});
            if (written != row.from) renames.insert(row.from);
            if (written != kNothing && !written.empty()) targetNames.insert(written);
        }
    }
}

FitCounter::FitCounter() {
    static const auto presetIndex = std::make_shared<const Index>(presets());
    index_ = presetIndex;
    renamed_.assign(index_->mappings.size(), 0);
}

FitCounter::FitCounter(std::span<const Mapping> mappings)
    : index_(std::make_shared<const Index>(mappings)), renamed_(mappings.size(), 0) {}

void FitCounter::addJoint(std::string_view name) {
    ++joints_;
    if (name.size() > kLongestFittingName) return;
    for (std::size_t i = 0; i < renamed_.size(); ++i) {
        if (index_->renamedNames[i].contains(name)) ++renamed_[i];
    }
    if (index_->targetNames.contains(name)) ++targetNames_;
}

FitResult FitCounter::result() const {
    FitResult result;
    result.joints = joints_;
    result.targetNames = targetNames_;
    for (std::size_t i = 0; i < renamed_.size(); ++i) {
        const Mapping* mapping = index_->mappings[i];
        const std::uint64_t renamed = renamed_[i];
        result.counts.push_back({mapping, renamed});
        if (renamed == 0) continue;
        const bool exactBeatsContains = result.best != nullptr && renamed == result.renamed &&
                                        mapping->mode == MatchMode::Exact &&
                                        result.best->mode == MatchMode::Contains;
        if (result.best == nullptr || renamed > result.renamed || exactBeatsContains) {
            result.best = mapping;
            result.renamed = renamed;
        }
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
