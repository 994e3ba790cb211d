#include "conversion/bvh/findings.h"

#include <algorithm>

namespace skelvane::conversion {

namespace {

struct KindFacts {
    FindingKind kind;
    Severity severity;
    std::string_view key;
    std::string_view topic;
};

constexpr std::array<KindFacts, kFindingKinds> kKinds = {{
    {FindingKind::NotBvh, Severity::Error, "not-bvh", "findings of a file that is not BVH"},
    {FindingKind::Hierarchy, Severity::Error, "hierarchy",
     "lines that are not where the hierarchy takes them"},
    {FindingKind::Braces, Severity::Error, "braces", "braces that do not pair"},
    {FindingKind::Name, Severity::Error, "name", "joints without a name"},
    {FindingKind::Offset, Severity::Error, "offset", "faults of OFFSET"},
    {FindingKind::Channels, Severity::Error, "channels", "faults of CHANNELS"},
    {FindingKind::Motion, Severity::Error, "motion", "faults of the motion header"},
    {FindingKind::FrameCount, Severity::Error, "frame-count",
     "disagreements of Frames: and the frame lines"},
    {FindingKind::FrameLength, Severity::Error, "frame-length",
     "frame lines whose count of numbers is not the channels'"},
    {FindingKind::FrameNumber, Severity::Error, "frame-number",
     "frame lines holding a word that is not a number"},
    {FindingKind::Roots, Severity::Warning, "roots", "roots past the first"},
    {FindingKind::DuplicateName, Severity::Warning, "duplicate-name",
     "joints named as an earlier one"},
    {FindingKind::NameBlank, Severity::Warning, "name-blank", "joint names holding a blank"},
    {FindingKind::NameDot, Severity::Warning, "name-dot", "joint names holding a dot"},
    {FindingKind::TargetRoot, Severity::Error, "target-root", "roots the target does not take"},
    {FindingKind::TargetName, Severity::Error, "target-name",
     "moving joints whose names the target does not know"},
    {FindingKind::TargetJoints, Severity::Error, "target-joints",
     "counts of moving joints past the target's"},
    {FindingKind::TargetChannels, Severity::Error, "target-channels",
     "joints whose rotation channels the target cannot read"},
    {FindingKind::TargetDuration, Severity::Error, "target-duration",
     "durations past the target's"},
    {FindingKind::TargetHip, Severity::Error, "target-hip",
     "hip positions past the target's reach"},
    {FindingKind::TargetRoles, Severity::Error, "target-roles",
     "core roles whose names the target misses or finds twice"},
}};

const KindFacts& factsOf(FindingKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

// The table is in the order of the kinds, so that a kind is its own index.
constexpr bool inOrder() {
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
    }
    return true;
}
static_assert(inOrder());

}  // namespace

Severity severityOf(FindingKind kind) {
    return factsOf(kind).severity;
}

std::string_view findingKey(FindingKind kind) {
    return factsOf(kind).key;
}

std::string_view findingTopic(FindingKind kind) {
    return factsOf(kind).topic;
}

std::string_view severityWord(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

void Findings::sort() {
    std::stable_sort(listed_.begin(), listed_.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

std::uint64_t Findings::unlisted(FindingKind kind) const {
    const std::uint64_t all = count(kind);
    return all > kListedPerKind ? all - kListedPerKind : 0;
}

std::uint64_t Findings::errors() const {
    std::uint64_t sum = 0;
    for (const KindFacts& facts : kKinds) {
        if (facts.severity == Severity::Error) sum += count(facts.kind);
    }
    return sum;
}

std::uint64_t Findings::warnings() const {
    std::uint64_t sum = 0;
    for (const KindFacts& facts : kKinds) {
        if (facts.severity == Severity::Warning) sum += count(facts.kind);
    }
    return sum;
}

}  // namespace skelvane::conversion
