#pragma once

#include <array>
#include <string_view>

#include "conversion/mapping/dropped_parts.h"

namespace skelvane::reference {

/// One rule of the built-in table as the tests know it: every occurrence of `search` becomes
/// `maxName`, or "nothing" when the governing part is not converted; rules without a governing
/// part (0) always give "nothing".
struct RenameRule {
    std::string_view search;
    std::string_view maxName;
    int governingPart;
};

/// The built-in table written out by hand, in the order of application, for the plain
/// reference and the tests: a wrong name, part or order in the shipped table fails against it.
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
    {"neck", "Neck", 2},           {"rToe", "nothing", 0},
    {"lToe", "nothing", 0},        {"rightEye", "nothing", 0},
    {"leftEye", "nothing", 0},     {"rThumb", "nothing", 0},
    {"rIndex", "nothing", 0},      {"rMid", "nothing", 0},
    {"rRing", "nothing", 0},       {"rPinky", "nothing", 0},
    {"lThumb", "nothing", 0},      {"lIndex", "nothing", 0},
    {"lMid", "nothing", 0},        {"lRing", "nothing", 0},
    {"lPinky", "nothing", 0},      {"genital", "nothing", 0},
    {"lButtock", "nothing", 0},    {"rButtock", "nothing", 0},
}};

/// The replacement a rule writes for the given dropped parts.
constexpr std::string_view replacementOf(const RenameRule& rule,
                                         const conversion::DroppedParts& dropped) {
    return rule.governingPart == 0 || dropped.test(static_cast<std::size_t>(rule.governingPart))
               ? std::string_view("nothing")
               : rule.maxName;
}

}  // namespace skelvane::reference
