#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skelvane::conversion {

/// How bad a finding is: an error makes readers fail or read the file wrongly, a warning is
/// legal BVH that some readers take otherwise than meant.
enum class Severity : unsigned char { Warning, Error };

/// What a finding is about: each kind is listed up to kListedPerKind times and counted beyond.
enum class FindingKind : unsigned char {
    // Errors of structure.
    NotBvh,
    Hierarchy,
    Braces,
    Name,
    Offset,
    Channels,
    Motion,
    FrameCount,
    FrameLength,
    FrameNumber,
    // Warnings of structure.
    Roots,
    DuplicateName,
    NameBlank,
    NameDot,
    // What a target would refuse (see TargetCheck).
    TargetRoot,
    TargetName,
    TargetJoints,
    TargetChannels,
    TargetDuration,
    TargetHip,
    TargetRoles,
};

inline constexpr std::size_t kFindingKinds = static_cast<std::size_t>(FindingKind::TargetRoles) + 1;

/// Most findings of one kind a file's findings list; the rest are counted.
inline constexpr std::size_t kListedPerKind = 20;

/// A kind's severity.
Severity severityOf(FindingKind kind);

/// A kind as a value for scripts ("frame-length").
std::string_view findingKey(FindingKind kind);

/// What findings of a kind are about, as the count of those not listed says it ("frame lines
/// whose count of numbers is not the channels'").
std::string_view findingTopic(FindingKind kind);

/// A severity in words: "error", "warning".
std::string_view severityWord(Severity severity);

/// One finding: the line it is on (counted from 1) and why, in words.
struct Finding {
    std::uint64_t line = 0;
    FindingKind kind = FindingKind::NotBvh;
    std::string reason;
};

/// What a check found in one file: the findings of each kind up to kListedPerKind in line
/// order, and how many there were of each kind. Its size is bounded whatever the file.
class Findings {
public:
    /// Counts a finding of `kind` on `line`; lists it, with the reason `reason()` gives, while
    /// its kind has room, so that a reason costs nothing once the list of its kind is full.
    template <typename Reason>
    void add(std::uint64_t line, FindingKind kind, Reason&& reason) {
        if (counts_[index(kind)]++ < kListedPerKind) listed_.push_back({line, kind, reason()});
    }

    /// Puts the listed findings in line order, findings on one line in the order found.
    void sort();

    const std::vector<Finding>& listed() const { return listed_; }
    /// All findings of a kind, listed or not.
    std::uint64_t count(FindingKind kind) const { return counts_[index(kind)]; }
    /// The findings of a kind that are counted but not listed.
    std::uint64_t unlisted(FindingKind kind) const;
    /// All errors, all warnings.
    std::uint64_t errors() const;
    std::uint64_t warnings() const;

private:
    static std::size_t index(FindingKind kind) { return static_cast<std::size_t>(kind); }

    std::vector<Finding> listed_;
    std::array<std::uint64_t, kFindingKinds> counts_{};
};

}  // namespace skelvane::conversion
