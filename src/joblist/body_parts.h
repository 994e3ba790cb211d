#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace skelvane::joblist {

/// Number of body parts; parts are numbered 1..kPartCount.
inline constexpr int kPartCount = 23;

/// One body part: its number, the name of the diagram image that shows it and the Poser joint
/// it governs (empty for the parts whose joints are always dropped).
struct BodyPart {
    int number;
    std::string_view imageName;
    std::string_view poserJoint;
};

/// The 23 body parts in part-number order (element i is part i + 1).
inline constexpr std::array<BodyPart, kPartCount> kBodyParts{{
    {1, "Head", "head"},
    {2, "Neck", "neck"},
    {3, "Chest", "chest"},
    {4, "Abdomen", "abdomen"},
    {5, "Hip", "hip"},
    {6, "rCollar", "rCollar"},
    {7, "rShoulder", "rShldr"},
    {8, "rForeArm", "rForeArm"},
    {9, "rHand", "rHand"},
    {10, "Fingers", ""},
    {11, "lCollar", "lCollar"},
    {12, "lShoulder", "lShldr"},
    {13, "lForeArm", "lForeArm"},
    {14, "lHand", "lHand"},
    {15, "rButtock", ""},
    {16, "rThiqh", "rThigh"},
    {17, "rShin", "rShin"},
    {18, "rFoot", "rFoot"},
    {19, "Toes", ""},
    {20, "lButtock", ""},
    {21, "lThiqh", "lThigh"},
    {22, "lShin", "lShin"},
    {23, "lFoot", "lFoot"},
}};

/// True for the parts whose joints are always dropped and whose marker always stays red
/// (Fingers, rButtock, Toes, lButtock).
constexpr bool isFixedPart(int number) {
    return number == 10 || number == 15 || number == 19 || number == 20;
}

/// The part with the given image name (exact, case-sensitive), if any.
std::optional<BodyPart> findPartByImageName(std::string_view imageName);

}  // namespace skelvane::joblist
