#pragma once

#include <array>
#include <bitset>
#include <string>
#include <string_view>

#include "joblist/body_parts.h"

namespace skelvane::joblist {
class JobList;
}

namespace skelvane::conversion {

/// One rename rule: every occurrence of `search` becomes `maxName`, or "nothing" when the
/// governing part is not converted. Rules without a governing part (0) always give "nothing".
struct RenameRule {
    std::string_view search;
    std::string_view maxName;
    int governingPart;
};

/// The word that replaces the joints of parts that are not converted.
inline constexpr std::string_view kNothing = "nothing";

/// The 36 rules in the order they are applied.
inline constexpr std::array<RenameRule, 36> kRenameRules{{
    {"head", "Head", 1},           {"hip", "Hips", 5},
    {"chest", "Chest2", 3},        {"abdomen", "Chest", 4},
    {"rCollar", "RightCollar", 6}, {"rShldr", "RightShoulder", 7},
    {"rForeArm", "RightElbow", 8}, {"rHand", "RightWrist", 9},
    {"lCollar", "LeftCollar", 11}, {"lShldr", "LeftShoulder", 12},
    {"lForeArm", "LeftElbow", 13}, {"lHand", "LeftWrist", 14},
    {"rThigh", "RightHip", 16},    {"rShin", "RightKnee", 17},
    {"rFoot", "RightAnkle", 18},   {"lThigh", "LeftHip", 21},
    {"lShin", "LeftKnee", 22},     {"lFoot", "LeftAnkle", 23},
    {"neck", "Neck", 2},           {"rToe", kNothing, 0},
    {"lToe", kNothing, 0},         {"rightEye", kNothing, 0},
    {"leftEye", kNothing, 0},      {"rThumb", kNothing, 0},
    {"rIndex", kNothing, 0},       {"rMid", kNothing, 0},
    {"rRing", kNothing, 0},        {"rPinky", kNothing, 0},
    {"lThumb", kNothing, 0},       {"lIndex", kNothing, 0},
    {"lMid", kNothing, 0},         {"lRing", kNothing, 0},
    {"lPinky", kNothing, 0},       {"genital", kNothing, 0},
    {"lButtock", kNothing, 0},     {"rButtock", kNothing, 0},
}};

/// The bytes that begin some search text. A rule can only match where its first byte stands,
/// so text without any of them comes through every rule unchanged; motion data lines, nearly
/// all of a file, are digits, signs, dots and blanks.
inline constexpr std::array<bool, 256> kSearchStartBytes = [] {
    std::array<bool, 256> table{};
    for (const RenameRule& rule : kRenameRules) {
        table[static_cast<unsigned char>(rule.search.front())] = true;
    }
    return table;
}();

/// Which body parts are not converted, indexed by part number (bit 0 is unused).
using DroppedParts = std::bitset<joblist::kPartCount + 1>;

/// The parts of a job-list row that are not converted: those whose flag cell is not 0.
DroppedParts droppedPartsOf(const joblist::JobList& jobs, int row);

/// The replacement a rule writes for the given dropped parts.
constexpr std::string_view replacementOf(const RenameRule& rule, const DroppedParts& dropped) {
    return rule.governingPart == 0 || dropped.test(rule.governingPart) ? kNothing : rule.maxName;
}

}  // namespace skelvane::conversion
