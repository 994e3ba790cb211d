#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/bvh/findings.h"
#include "conversion/bvh/structure_check.h"
#include "conversion/files/byte_sink.h"
#include "conversion/mapping/rig_profile.h"

namespace skelvane::conversion {

/// Holds a file, as a BvhReader that reads the hierarchy reads it, to what a target takes.
/// The built-in profile `sl` stands for the Second Life viewer's BVH upload (see
/// second_life.h): the root is hip or mPelvis; every joint that moves has a name the upload
/// knows (a joint whose values never change is dropped and needs none); at most 216 joints move;
/// each joint has the three rotation channels; the animation lasts at most 60 s as the viewer
/// counts it; the hip moves at most 5 m from where the first frame has it, positions read as
/// inches. Every other profile: its names for the 17 core roles (hips, neck, head, and on each
/// side collar, upper arm, forearm, hand, thigh, shin, foot) name one joint each, whole and
/// exactly. The first kMostJoints joints are held to them. Keeps no frame: for each channel the
/// first frame's word and value, and whether it has changed.
class TargetCheck final : public FrameWords {
public:
    /// A check against `target` of what `reader` reads; both must outlive it.
    TargetCheck(const RigProfile& target, const BvhReader& reader);

    /// True when the target's rules look at the frames: hand the check the words of each frame
    /// line (see StructureCheck::handFrameWords).
    bool readsFrames() const { return secondLife_; }

    /// How many words of each frame line from the next on the rules still look at: the hip's
    /// positions, and the channels of joints whose moving would matter that have not moved yet.
    /// A reader may leave the words past them unread.
    std::uint64_t wordsWanted();

    void takeWord(std::uint64_t index, std::string_view word) override;
    void endFrame(std::uint64_t line) override;

    /// Once the reader has finished: adds what the target would refuse to `findings`.
    void finish(Findings& findings);

private:
    // What is kept of one channel of the frames.
    struct Track {
        std::size_t joint = kNoJoint;
        Channel channel = Channel::Other;
        // Which of the hip's position channels it is (0..2), or none (3).
        std::size_t hipAxis = 3;
        bool changed = false;
        // Whether its moving matters: a joint of a name the upload does not know, or any joint
        // where there are enough of them for the number that move to matter.
        bool watched = false;
        bool firstIsNumber = false;
        double first = 0;
        std::string firstWord;
    };

    void trackChannels();
    void finishSecondLife(Findings& findings);
    void finishRoles(Findings& findings);

    const RigProfile& target_;
    const BvhReader& reader_;
    bool secondLife_;
    // The channels of the frames, as far as they are followed, and the frame lines so far.
    std::vector<Track> tracks_;
    bool tracked_ = false;
    std::uint64_t frames_ = 0;
    // One past the last track still wanted, as of the last frame's end.
    std::uint64_t wanted_ = 0;
    // The hip's position channels (indices into tracks_), its position in the first frame and
    // in the frame at hand; the first frame that moves it too far, how far, and how many do.
    std::array<std::size_t, 3> hipChannels_{kNoJoint, kNoJoint, kNoJoint};
    std::array<double, 3> hipStart_{};
    std::array<double, 3> hip_{};
    bool hipRead_ = true;
    std::uint64_t hipLine_ = 0;
    double hipMetres_ = 0;
    std::uint64_t hipFrames_ = 0;
};

/// Holds a file fed in pieces of any size to a target's rules alone, as a conversion writes it:
/// takes the bytes written and gives what the target would refuse. Never fails a write.
class TargetReading final : public ByteSink {
public:
    /// A reading against `target`, which must outlive it.
    explicit TargetReading(const RigProfile& target);

    std::error_code write(std::string_view bytes) override;

    /// Ends the file and gives the target's findings.
    Findings finish();

private:
    // Reads the lines alone, when the target's rules look at the hierarchy only.
    struct Idle final : BvhVisitor {
        void take(const LinePiece&) override {}
    };

    // Hands the target check the words it still wants of each frame line and passes over the
    // rest: what a conversion wrote needs no second structure check, and most of a frame line
    // is read by nobody once its channels have moved.
    class WantedWords final : public BvhVisitor {
    public:
        explicit WantedWords(TargetCheck& target) : target_(target) {}
        void take(const LinePiece& piece) override;
        void takePlainLines(std::string_view lines, const Line& last) override;

    private:
        void takeWord(std::string_view word, bool handed);
        void endFrame(std::uint64_t line);

        TargetCheck& target_;
        std::uint64_t wanted_ = 0;
        std::uint64_t index_ = 0;
        std::uint64_t lastLine_ = 0;
        bool lineStarted_ = false;
        PieceWords pieceWords_;
    };

    BvhVisitor& visitor();

    BvhReader reader_;
    TargetCheck target_;
    WantedWords words_;
    Idle idle_;
};

/// The target's findings in one line, such as "sl would still refuse it: moving joints whose
/// names the upload does not know (3); roots the upload does not take (1)"; empty when there are
/// none.
std::string refusalLine(std::string_view target, const Findings& findings);

}  // namespace skelvane::conversion
