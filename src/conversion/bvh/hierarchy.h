#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skelvane::conversion {

/// An index into Hierarchy::joints that stands for no joint.
inline constexpr std::size_t kNoJoint = std::numeric_limits<std::size_t>::max();

/// Most joints (End Sites among them) a hierarchy keeps: a file may declare any number, and the
/// ones past these are counted but not kept.
inline constexpr std::size_t kMostJoints = 4096;

/// Most bytes of a joint's name a hierarchy keeps; a longer name keeps its start and its length.
inline constexpr std::size_t kKeptJointNameBytes = 256;

/// Most channels a hierarchy keeps of one joint; a CHANNELS line may name any number.
inline constexpr std::size_t kMostChannels = 16;

/// A channel of a joint's motion as CHANNELS names it; Other for a name that is none of these.
enum class Channel : unsigned char {
    Xposition,
    Yposition,
    Zposition,
    Xrotation,
    Yrotation,
    Zrotation,
    Other
};

/// A joint of the hierarchy: a ROOT, a JOINT or an End Site, and the lines that give its parts
/// (counted from 1; 0 for a part the file does not give).
struct Joint {
    /// The start of its name (at most kKeptJointNameBytes, blanks around it left out), and the
    /// whole name's length in bytes; empty for an End Site.
    std::string name;
    std::uint64_t nameLength = 0;
    /// The joint whose braces enclose its declaration; kNoJoint for a root.
    std::size_t parent = kNoJoint;
    bool endSite = false;
    std::uint64_t line = 0;
    std::uint64_t openLine = 0;
    std::uint64_t closeLine = 0;
    /// Its first OFFSET: as many of the three numbers as the line holds, in order.
    std::uint64_t offsetLine = 0;
    std::array<double, 3> offset{};
    /// Its first CHANNELS: the count it declares and the channels it names, in order (at most
    /// kMostChannels).
    std::uint64_t channelsLine = 0;
    std::uint64_t channelCount = 0;
    std::vector<Channel> channels;
};

/// The joints a file declares before its MOTION line, in file order, as far as they are kept.
struct Hierarchy {
    std::uint64_t hierarchyLine = 0;
    /// At most kMostJoints.
    std::vector<Joint> joints;
    /// Every ROOT, JOINT and End Site before MOTION, kept or not.
    std::uint64_t declared = 0;

    /// True when the file declares more joints than are kept.
    bool cut() const { return declared > joints.size(); }
};

/// What a file says of its motion, and how many frame lines follow.
struct MotionHeader {
    /// The first MOTION line.
    std::uint64_t motionLine = 0;
    /// The first `Frames:` line of the file and its count: digits alone, and no more than a
    /// 64-bit count holds; none when the line holds anything else.
    std::uint64_t framesLine = 0;
    std::optional<std::uint64_t> frames;
    /// The first `Frame Time:` line and its number of seconds, when it holds one number.
    std::uint64_t frameTimeLine = 0;
    std::optional<double> frameTime;
    /// The lines after MOTION that are no keyword's and not blank, and the first of them.
    std::uint64_t frameLines = 0;
    std::uint64_t firstFrameLine = 0;
};

/// The name CHANNELS gives a channel ("Xposition"...), "other" for Other.
std::string_view channelName(Channel channel);

}  // namespace skelvane::conversion
