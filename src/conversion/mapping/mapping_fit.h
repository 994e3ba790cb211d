#pragma once

// Which preset fits a file, judged from its joint names alone, so that `--map auto` can pick
// one and the reports can say which.
//
// A mapping renames a joint when one of its rows has the joint's whole name as `from` and
// writes something else (with no part dropped; a row whose `to` is its `from` does not count).
// Contains-mode tables are judged by whole names too: their hits inside longer names
// (`neckDummy`, `lShldrTwist`) are what a table made for another rig does by accident, and
// counting them would let poser-max outbid genesis-max on Genesis files.
//
// The best mapping renames the most joints; on a tie an exact-mode mapping wins (it touches
// joint names only), then the earlier one. It fits when it renames at least a quarter of the
// joints. Below that, renaming a handful of names in a foreign rig does more harm than good.
//
// Converting twice must do no harm: a file whose joints already carry the names the mappings
// write, "nothing" aside (Max names: Hips, LeftShoulder, Chest2...), keeps them, even though some
// of those are source names elsewhere (`LeftShoulder` is Mixamo's collar, cmu-max renames `Neck`).
// So when at least a quarter of the joints carry such names, and no fewer than the best mapping
// renames, the verdict is TargetNames rather than Fits.
//
// Only counters are kept, so memory stays flat however many joints a file declares; a name
// longer than kLongestFittingName counts as a joint that no mapping renames.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "conversion/mapping/mapping.h"

namespace skelvane::conversion {

/// A mapping fits when it renames at least one in this many of a file's joints.
inline constexpr std::uint64_t kFitShareDivisor = 4;
/// Longer joint names are renamed by no mapping (no row is anywhere near this long).
inline constexpr std::size_t kLongestFittingName = 256;

/// What the joint names of a file say about the mappings.
enum class FitVerdict {
    /// The best mapping renames enough joints.
    Fits,
    /// Enough joints already carry names the mappings write, so they are kept.
    TargetNames,
    /// No mapping renames enough joints, or the file declares none.
    NothingFits,
};

/// How many of a file's joints one mapping renames.
struct MappingCount {
    const Mapping* mapping = nullptr;
    std::uint64_t renamed = 0;
};

/// The verdict on one file, with the counts it rests on.
struct FitResult {
    FitVerdict verdict = FitVerdict::NothingFits;
    /// The mapping that renames the most joints, fitting or not; null when none renames any.
    const Mapping* best = nullptr;
    /// The joints `best` renames.
    std::uint64_t renamed = 0;
    /// The joints the file declares.
    std::uint64_t joints = 0;
    /// The joints whose names some mapping writes.
    std::uint64_t targetNames = 0;
    /// Every mapping's count, in the mappings' order.
    std::vector<MappingCount> counts;

    /// The mapping `--map auto` converts with: `best` when it fits, otherwise keepNamesMapping().
    const Mapping& choice() const;

    /// One line for reports, such as "best fit: mixamo-max, 52 of 55 joints".
    std::string summary() const;
};

/// Counts, joint by joint, how many names each mapping renames and gives the verdict.
class FitCounter {
public:
    /// A counter for the presets.
    FitCounter();

    /// A counter for other mappings, which must outlive it.
    explicit FitCounter(std::span<const Mapping> mappings);

    /// Takes the name of the next `ROOT` or `JOINT` line, without the blanks around it.
    void addJoint(std::string_view name);

    /// The verdict on the joints taken so far.
    FitResult result() const;

    /// The names each mapping renames and the names mappings write, looked up per joint.
    struct Index {
        explicit Index(std::span<const Mapping> mappings);
        std::vector<const Mapping*> mappings;
        std::vector<std::unordered_set<std::string_view>> renamedNames;
        std::unordered_set<std::string_view> targetNames;
    };

private:
    // The presets' index is made once and shared by every counter.
    std::shared_ptr<const Index> index_;
    std::vector<std::uint64_t> renamed_;
    std::uint64_t joints_ = 0;
    std::uint64_t targetNames_ = 0;
};

}  // namespace skelvane::conversion
