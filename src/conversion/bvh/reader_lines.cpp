// What a line the reader has read whole means: the motion header's counts and the hierarchy's
// joints, braces, OFFSETs and CHANNELS.
#include "conversion/bvh/bvh_reader.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace skelvane::conversion {

std::size_t BvhReader::innermostJoint() const {
    return openPastKept_ != 0 || open_.empty() ? kNoJoint : open_.back();
}

void BvhReader::endLine() {
    if (!wordsRead_) {
        // Told by its first byte, or blank.
        if (step_ == Step::Indent) {
            line_.kind = LineKind::Blank;
        } else if (line_.kind == LineKind::Frame && motion_.frameLines++ == 0) {
            motion_.firstFrameLine = line_.number;
        }
        return;
    }
    switch (step_) {
        case Step::Indent:
            line_.kind = LineKind::Blank;
            break;
        case Step::Word:
            endKeyword();
            // A first word of two alone is no keyword.
            if (firstOfTwo_ != LineKind::Pending) decide(LineKind::Other);
            break;
        case Step::WordGap:
            decide(LineKind::Other);
            break;
        case Step::Name:
            line_.nameLength = nameBytes_ - trailingBlanks_;
            name_.resize(std::min<std::uint64_t>(name_.size(), line_.nameLength));
            break;
        case Step::Arguments:
            if (argumentBytes_ != 0) endArgument();
            break;
        case Step::NameGap:
        case Step::Rest:
            break;
    }
    const std::uint64_t number = line_.number;
    line_.words = arguments_;
    switch (line_.kind) {
        case LineKind::Root:
        case LineKind::Joint:
            if (line_.nameLength == 0) setFault(LineFault::NoName);
            break;
        case LineKind::Offset:
            if (reading_ != Reading::Hierarchy) break;
            if (arguments_ != numbers_.size()) setFault(LineFault::WordCount);
            break;
        case LineKind::Channels:
            if (reading_ != Reading::Hierarchy) break;
            line_.count = channelCount_;
            if (arguments_ == 0 || channelCount_ != arguments_ - 1) setFault(LineFault::WordCount);
            break;
        case LineKind::Motion:
            if (motion_.motionLine == 0) motion_.motionLine = number;
            inMotion_ = true;
            break;
        case LineKind::Frames:
            line_.count = frames_;
            if (arguments_ != 1) setFault(LineFault::WordCount);
            if (motion_.framesLine != 0) break;
            motion_.framesLine = number;
            if (line_.wellFormed()) motion_.frames = frames_;
            break;
        case LineKind::FrameTime:
            if (arguments_ != 1) setFault(LineFault::WordCount);
            if (motion_.frameTimeLine != 0) break;
            motion_.frameTimeLine = number;
            if (line_.wellFormed()) motion_.frameTime = numbers_[0];
            break;
        case LineKind::Frame:
            if (motion_.frameLines++ == 0) motion_.firstFrameLine = number;
            break;
        default:
            break;
    }
    if (reading_ == Reading::Hierarchy && !inMotion_) addToHierarchy();
}

void BvhReader::addToHierarchy() {
    const std::uint64_t number = line_.number;
    switch (line_.kind) {
        case LineKind::Hierarchy:
            if (hierarchy_.hierarchyLine == 0) hierarchy_.hierarchyLine = number;
            break;
        case LineKind::Root:
        case LineKind::Joint:
            declareJoint(false);
            break;
        case LineKind::EndSite:
            declareJoint(true);
            break;
        case LineKind::OpenBrace:
            line_.joint = std::exchange(declared_, kNoJoint);
            if (open_.size() < kMostJoints && openPastKept_ == 0) {
                open_.push_back(line_.joint);
            } else {
                ++openPastKept_;
            }
            if (line_.joint != kNoJoint) hierarchy_.joints[line_.joint].openLine = number;
            break;
        case LineKind::CloseBrace:
            if (openPastKept_ != 0) {
                --openPastKept_;
            } else if (!open_.empty()) {
                line_.joint = open_.back();
                open_.pop_back();
                if (line_.joint != kNoJoint) hierarchy_.joints[line_.joint].closeLine = number;
            } else {
                setFault(LineFault::ClosesNothing);
            }
            break;
        case LineKind::Offset:
            line_.joint = innermostJoint();
            if (line_.joint != kNoJoint && hierarchy_.joints[line_.joint].offsetLine == 0) {
                Joint& joint = hierarchy_.joints[line_.joint];
                joint.offsetLine = number;
                joint.offset = numbers_;
            }
            break;
        case LineKind::Channels:
            line_.joint = innermostJoint();
            if (line_.joint != kNoJoint && hierarchy_.joints[line_.joint].channelsLine == 0) {
                Joint& joint = hierarchy_.joints[line_.joint];
                joint.channelsLine = number;
                joint.channelCount = channelCount_;
                joint.channels = std::move(channels_);
            }
            break;
        default:
            break;
    }
}

void BvhReader::declareJoint(bool endSite) {
    ++hierarchy_.declared;
    declared_ = kNoJoint;
    if (hierarchy_.joints.size() == kMostJoints) return;
    declared_ = line_.joint = hierarchy_.joints.size();
    Joint& joint = hierarchy_.joints.emplace_back();
    joint.parent = innermostJoint();
    joint.endSite = endSite;
    joint.line = line_.number;
    if (!endSite) {
        joint.name = name_;
        joint.nameLength = line_.nameLength;
    }
}

}  // namespace skelvane::conversion
