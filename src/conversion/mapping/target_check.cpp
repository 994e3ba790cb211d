#include "conversion/mapping/target_check.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "conversion/mapping/second_life.h"
#include "conversion/mapping/table_file.h"

namespace skelvane::conversion {

namespace {

using common::Role;

// The roles every other target is held to: the body a humanoid importer binds.
constexpr std::array<Role, 17> kCoreRoles = {
    Role::Hips,         Role::Neck1,       Role::Head,        Role::LeftCollar,
    Role::LeftUpperArm, Role::LeftForearm, Role::LeftHand,    Role::LeftThigh,
    Role::LeftShin,     Role::LeftFoot,    Role::RightCollar, Role::RightUpperArm,
    Role::RightForearm, Role::RightHand,   Role::RightThigh,  Role::RightShin,
    Role::RightFoot};

// Most channels whose frames are followed: as many as the joints kept can have.
constexpr std::size_t kMostTracks = kMostJoints * kMostChannels;

// A first frame's word kept to compare with, no longer than a string keeps in itself.
constexpr std::size_t kKeptWordBytes = 15;

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

bool isRotation(Channel channel) {
    return channel == Channel::Xrotation || channel == Channel::Yrotation ||
           channel == Channel::Zrotation;
}

}  // namespace

TargetCheck::TargetCheck(const RigProfile& target, const BvhReader& reader)
    : target_(target), reader_(reader), secondLife_(target.file.empty() && target.name == "sl") {}

// The frames' words follow the joints' CHANNELS in the order the joints are declared.
void TargetCheck::trackChannels() {
    tracked_ = true;
    const Hierarchy& hierarchy = reader_.hierarchy();
    // No more than 216 joints can move where no more have channels.
    std::uint64_t withChannels = 0;
    for (const Joint& joint : hierarchy.joints) {
        if (!joint.endSite && joint.channelCount > 0) ++withChannels;
    }
    const bool countMatters = withChannels > second_life::kMostMovingJoints;
    for (std::size_t joint = 0; joint < hierarchy.joints.size(); ++joint) {
        const Joint& declared = hierarchy.joints[joint];
        if (declared.endSite) continue;
        for (std::uint64_t i = 0; i < declared.channelCount && tracks_.size() < kMostTracks; ++i) {
            Track track;
            track.joint = joint;
            track.watched = countMatters || !second_life::knowsJoint(declared.name);
            if (i < declared.channels.size()) track.channel = declared.channels[i];
            // The root's positions are the hip's.
            const auto axis = static_cast<std::size_t>(track.channel);
            if (joint == 0 && axis < hipChannels_.size() && hipChannels_[axis] == kNoJoint) {
                hipChannels_[axis] = tracks_.size();
                track.hipAxis = axis;
            }
            tracks_.push_back(std::move(track));
        }
    }
    wanted_ = tracks_.size();
}

std::uint64_t TargetCheck::wordsWanted() {
    if (!tracked_) trackChannels();
    return wanted_;
}

void TargetCheck::takeWord(std::uint64_t index, std::string_view word) {
    if (!tracked_) trackChannels();
    if (index >= tracks_.size()) return;
    Track& track = tracks_[index];
    const std::size_t hipAxis = track.hipAxis;
    const bool hip = hipAxis < hipChannels_.size();
    // Nearly every word once the frames have moved each channel that matters.
    if ((track.changed || !track.watched) && !hip) return;
    if (frames_ == 0) {
        const std::optional<double> value = numberOf(word);
        track.firstIsNumber = value.has_value();
        track.first = value.value_or(0);
        if (word.size() <= kKeptWordBytes) track.firstWord = word;
        if (hip) hipStart_[hipAxis] = track.first;
        return;
    }
    if (hip) {
        const std::optional<double> value = numberOf(word);
        hip_[hipAxis] = value.value_or(0);
        hipRead_ = hipRead_ && value.has_value();
    }
    // The same word is the same value; another word may be too ("0" and "0.000").
    if (track.changed || (!track.firstWord.empty() && word == track.firstWord)) return;
    const std::optional<double> value = numberOf(word);
    track.changed = !value || !track.firstIsNumber || *value != track.first;
}

void TargetCheck::endFrame(std::uint64_t line) {
    while (wanted_ > 0) {
        const Track& last = tracks_[wanted_ - 1];
        if (last.hipAxis < hipChannels_.size() || (last.watched && !last.changed)) break;
        --wanted_;
    }
    const bool first = frames_++ == 0;
    const bool hipRead = std::exchange(hipRead_, true);
    if (first || !hipRead) return;
    double squares = 0;
    for (std::size_t axis = 0; axis < hip_.size(); ++axis) {
        if (hipChannels_[axis] == kNoJoint) continue;
        const double moved = hip_[axis] - hipStart_[axis];
        squares += moved * moved;
    }
    const double metres = std::sqrt(squares) * second_life::kMetresPerUnit;
    if (metres <= second_life::kMostHipOffsetMetres) return;
    if (hipFrames_++ == 0) {
        hipLine_ = line;
        hipMetres_ = metres;
    }
}

void TargetCheck::finish(Findings& findings) {
    if (secondLife_) {
        finishSecondLife(findings);
    } else {
        finishRoles(findings);
    }
}

void TargetCheck::finishSecondLife(Findings& findings) {
    const Hierarchy& hierarchy = reader_.hierarchy();
    const MotionHeader& motion = reader_.motion();
    if (!hierarchy.joints.empty() && !hierarchy.joints.front().endSite &&
        !second_life::takesRoot(hierarchy.joints.front().name)) {
        const Joint& root = hierarchy.joints.front();
        findings.add(root.line, FindingKind::TargetRoot, [&] {
            return "the root is " + inQuotes(second_life::nameAsRead(root.name)) +
                   "; the Second Life upload takes hip or mPelvis";
        });
    }
    std::vector<bool> moves(hierarchy.joints.size(), false);
    for (const Track& track : tracks_) {
        if (track.changed) moves[track.joint] = true;
    }
    std::uint64_t moving = 0;
    for (std::size_t i = 0; i < hierarchy.joints.size(); ++i) {
        const Joint& joint = hierarchy.joints[i];
        if (joint.endSite) continue;
        if (moves[i]) ++moving;
        if (moves[i] && !second_life::knowsJoint(joint.name)) {
            findings.add(joint.line, FindingKind::TargetName, [&] {
                return "joint " + inQuotes(second_life::nameAsRead(joint.name)) +
                       " moves, and the Second Life upload knows no joint of that name";
            });
        }
        bool axes[3] = {false, false, false};
        std::uint64_t rotations = 0;
        for (const Channel channel : joint.channels) {
            if (!isRotation(channel)) continue;
            ++rotations;
            axes[static_cast<std::size_t>(channel) - static_cast<std::size_t>(Channel::Xrotation)] =
                true;
        }
        if (rotations != 3 || !(axes[0] && axes[1] && axes[2])) {
            findings.add(joint.channelsLine != 0 ? joint.channelsLine : joint.line,
                         FindingKind::TargetChannels, [&] {
                             return "joint " + inQuotes(second_life::nameAsRead(joint.name)) +
                                    " has " + std::to_string(rotations) +
                                    " rotation channels; the Second Life upload takes Xrotation, "
                                    "Yrotation and Zrotation once each";
                         });
        }
    }
    if (moving > second_life::kMostMovingJoints) {
        findings.add(motion.motionLine != 0 ? motion.motionLine : 1, FindingKind::TargetJoints,
                     [&] {
                         return std::to_string(moving) +
                                " joints move; the Second Life upload takes at most 216";
                     });
    }
    if (motion.frames && motion.frameTime) {
        const double seconds = second_life::duration(*motion.frames, *motion.frameTime);
        if (seconds > second_life::kMostSeconds) {
            findings.add(motion.framesLine, FindingKind::TargetDuration, [&] {
                return "the Second Life viewer plays it for " + fixed(seconds, 3) +
                       " s (Frames - 2, times Frame Time); the upload takes at most 60 s";
            });
        }
    }
    if (hipFrames_ > 0) {
        findings.add(hipLine_, FindingKind::TargetHip, [&] {
            return "the hip is " + fixed(hipMetres_, 2) +
                   " m from where the first frame has it, positions read as inches as the "
                   "Second Life upload reads them, in " +
                   std::to_string(hipFrames_) + (hipFrames_ == 1 ? " frame" : " frames") +
                   "; the upload keeps it within 5 m";
        });
    }
}

void TargetCheck::finishRoles(Findings& findings) {
    const Hierarchy& hierarchy = reader_.hierarchy();
    const std::uint64_t rootLine = hierarchy.joints.empty() ? 1 : hierarchy.joints.front().line;
    for (const Role role : kCoreRoles) {
        const std::string_view name = target_.nameOf(role);
        if (name.empty()) continue;
        std::uint64_t firstLine = 0;
        for (const Joint& joint : hierarchy.joints) {
            if (joint.endSite || joint.nameLength != name.size() || joint.name != name) continue;
            if (firstLine == 0) {
                firstLine = joint.line;
                continue;
            }
            findings.add(joint.line, FindingKind::TargetRoles, [&] {
                return "a second joint named " + inQuotes(name) + ", " + target_.name + "'s " +
                       std::string(common::roleName(role)) + " (the first is on line " +
                       std::to_string(firstLine) + ")";
            });
        }
        if (firstLine == 0) {
            findings.add(rootLine, FindingKind::TargetRoles, [&] {
                return "no joint is named " + inQuotes(name) + ", " + target_.name + "'s " +
                       std::string(common::roleName(role));
            });
        }
    }
}

void TargetReading::WantedWords::take(const LinePiece& piece) {
    // As the structure check counts them: a word finished before the line's kind is known is
    // counted and handed to nobody.
    const LineKind kind = piece.line.kind;
    const bool frame = kind == LineKind::Frame;
    if (frame && !lineStarted_) {
        lineStarted_ = true;
        wanted_ = target_.wordsWanted();
    }
    const auto take = [&](std::string_view word) { takeWord(word, frame); };
    if (frame || kind == LineKind::Pending) {
        pieceWords_.split(piece, take, [&] { return !frame || index_ < wanted_; });
    }
    if (!piece.lineEnds) return;
    pieceWords_.endLine([&](std::string_view word) {
        if (!frame || index_ < wanted_) take(word);
    });
    lastLine_ = piece.line.number;
    lineStarted_ = false;
    if (frame) {
        endFrame(lastLine_);
    } else {
        index_ = 0;
    }
}

void TargetReading::WantedWords::takePlainLines(std::string_view lines, const Line& last) {
    // Each plain line ends in CR LF: its words run to the CR.
    const char* at = lines.data();
    const char* const end = at + lines.size();
    const bool frames = last.kind == LineKind::Frame;
    while (at < end) {
        if (frames) {
            wanted_ = target_.wordsWanted();
            while (index_ < wanted_) {
                while (isBlank(*at)) ++at;
                if (*at == '\r') break;
                const char* const word = at;
                while (!isBlank(*at) && *at != '\r') ++at;
                takeWord({word, static_cast<std::size_t>(at - word)}, true);
            }
        }
        at = static_cast<const char*>(std::memchr(at, '\r', end - at)) + 2;
        if (frames) {
            endFrame(++lastLine_);
        } else {
            ++lastLine_;
        }
    }
}

void TargetReading::WantedWords::takeWord(std::string_view word, bool handed) {
    if (handed) target_.takeWord(index_, word);
    ++index_;
}

void TargetReading::WantedWords::endFrame(std::uint64_t line) {
    target_.endFrame(line);
    index_ = 0;
}

TargetReading::TargetReading(const RigProfile& target)
    : reader_({Reading::Hierarchy, PlainLines::Joined}),
      target_(target, reader_),
      words_(target_) {}

BvhVisitor& TargetReading::visitor() {
    return target_.readsFrames() ? static_cast<BvhVisitor&>(words_) : idle_;
}

std::error_code TargetReading::write(std::string_view bytes) {
    reader_.feed(bytes, visitor());
    return {};
}

Findings TargetReading::finish() {
    reader_.finish(visitor());
    Findings findings;
    target_.finish(findings);
    findings.sort();
    return findings;
}

std::string refusalLine(std::string_view target, const Findings& findings) {
    std::string line;
    for (std::size_t i = 0; i < kFindingKinds; ++i) {
        const auto kind = static_cast<FindingKind>(i);
        if (findings.count(kind) == 0) continue;
        line += line.empty() ? std::string(target) + " would still refuse it: " : "; ";
        line += std::string(findingTopic(kind)) + " (" + std::to_string(findings.count(kind)) + ")";
    }
    return line;
}

}  // namespace skelvane::conversion
