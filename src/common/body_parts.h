#pragma once

#include <array>
#include <string_view>

namespace skelvane::common {

/// Number of body parts; parts are numbered 1..kPartCount.
inline constexpr int kPartCount = 23;

/// One body part: its number, its short name (the name of the diagram image that shows it),
/// its name in words (that image's tooltip) and the Poser joint it governs (empty for the parts
/// whose joints are always dropped).
struct BodyPart {
    int number;
    std::string_view imageName;
    std::string_view toolTip;
    std::string_view poserJoint;
};

/// The 23 body parts in part-number order (element i is part i + 1). "Right" and "left" are
/// the figure's own sides: it faces the viewer, so its right side is on the viewer's left.
inline constexpr std::array<BodyPart, kPartCount> kBodyParts{{
    {1, "Head", "Head", "head"},
    {2, "Neck", "Neck", "neck"},
    {3, "Chest", "Chest", "chest"},
    {4, "Abdomen", "Abdomen", "abdomen"},
    {5, "Hip", "Hip", "hip"},
    {6, "rCollar", "Right Collar", "rCollar"},
    {7, "rShoulder", "Right Shoulder", "rShldr"},
    {8, "rForeArm", "Right ForeArm", "rForeArm"},
    {9, "rHand", "Right Hand", "rHand"},
    {10, "Fingers", "Fingers", ""},
    {11, "lCollar", "Left Collar", "lCollar"},
    {12, "lShoulder", "Left Shoulder", "lShldr"},
    {13, "lForeArm", "Left ForeArm", "lForeArm"},
    {14, "lHand", "Left Hand", "lHand"},
    {15, "rButtock", "Right Buttock", ""},
    {16, "rThiqh", "Right Thigh", "rThigh"},
    {17, "rShin", "Right Shin", "rShin"},
    {18, "rFoot", "Right Foot", "rFoot"},
    {19, "Toes", "Toes", ""},
    {20, "lButtock", "Left Buttock", ""},
    {21, "lThiqh", "Left Thigh", "lThigh"},
    {22, "lShin", "Left Shin", "lShin"},
    {23, "lFoot", "Left Foot", "lFoot"},
}};

/// The part with the given number (1..kPartCount).
constexpr const BodyPart& bodyPart(int number) {
    return kBodyParts.at(static_cast<std::size_t>(number - 1));
}

/// True for the parts that govern no joint: their joints are always dropped and their marker
/// always stays red (Fingers, rButtock, Toes, lButtock).
constexpr bool isFixedPart(int number) {
    return bodyPart(number).poserJoint.empty();
}

/// The part a text names: its number (1..kPartCount), its diagram name (`rThiqh`) or the Poser
/// joint it governs (`rThigh`), names in any case; 0 when it names none.
int partNumberOf(std::string_view name);

namespace detail {

constexpr bool partTableIsWellFormed() {
    for (std::size_t i = 0; i < kBodyParts.size(); ++i) {
        const BodyPart& part = kBodyParts[i];
        if (part.number != static_cast<int>(i) + 1 || part.imageName.empty()) return false;
        for (std::size_t j = 0; j < i; ++j) {
            const BodyPart& other = kBodyParts[j];
            // Names and tooltips tell the parts apart; the tooltip scan of the part toggle
            // relies on it.
            if (part.imageName == other.imageName || part.toolTip == other.toolTip) return false;
            if (!part.poserJoint.empty() && part.poserJoint == other.poserJoint) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::partTableIsWellFormed(),
              "parts are numbered in order, with distinct names, tooltips and joints");
static_assert(isFixedPart(10) && isFixedPart(15) && isFixedPart(19) && isFixedPart(20),
              "fingers, buttocks and toes govern no joint");

}  // namespace skelvane::common
