#include "conversion/joint_scanner.h"

#include <limits>

namespace skelvane::conversion {

namespace {

constexpr std::string_view kRoot = "ROOT";
constexpr std::string_view kJoint = "JOINT";
constexpr std::string_view kFrames = "Frames:";

// A name buffer grown past this by one long name is given back after it.
constexpr std::size_t kKeptNameCapacity = 64 * 1024;

// White space inside a line; CR and LF end it.
bool isBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f';
}

std::string_view trimTrailingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

JointScanner::JointScanner(const DroppedParts& dropped) : dropped_(dropped), renamer_(dropped) {}

void JointScanner::feed(std::string_view piece) {
    start_.feed(piece);
    std::size_t pos = 0;
    if (pendingCr_ && !piece.empty()) {
        pendingCr_ = false;
        if (piece.front() == '\n') {
            ++crLf_;
            pos = 1;
        } else {
            ++cr_;
        }
    }
    while (pos < piece.size()) {
        std::size_t end = pos;
        while (end < piece.size() && piece[end] != '\n' && piece[end] != '\r') ++end;
        if (end > pos) takeLinePiece(piece.substr(pos, end - pos));
        if (end == piece.size()) break;
        endLine();
        if (piece[end] == '\n') {
            ++lf_;
        } else if (end + 1 == piece.size()) {
            pendingCr_ = true;
        } else if (piece[end + 1] == '\n') {
            ++crLf_;
            ++end;
        } else {
            ++cr_;
        }
        pos = end + 1;
    }
}

JointReport JointScanner::finish() {
    if (pendingCr_) ++cr_;
    pendingCr_ = false;
    endLine();
    report_.lineEnds = lineEnds();
    report_.bvh = start_.finish() == BvhStartCheck::Verdict::Bvh;
    return std::move(report_);
}

void JointScanner::takeLinePiece(std::string_view piece) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char byte = piece[i];
        switch (phase_) {
            case Phase::Skip:
                return;
            case Phase::Name:
                name_.append(piece.substr(i));
                return;
            case Phase::Indent:
                if (isBlank(byte)) break;
                phase_ = Phase::Keyword;
                takeKeywordByte(byte);
                break;
            case Phase::Keyword:
                takeKeywordByte(byte);
                break;
            case Phase::NameGap:
                if (isBlank(byte)) break;
                phase_ = Phase::Name;
                name_.append(piece.substr(i));
                return;
            case Phase::FramesGap:
            case Phase::FramesDigits:
            case Phase::FramesTail:
                takeFramesByte(byte);
                break;
        }
    }
}

bool JointScanner::keywordIsJoint() const {
    return keyword_ == kRoot || keyword_ == kJoint;
}

void JointScanner::takeKeywordByte(char byte) {
    if (keywordIsJoint()) {
        // `ROOTS` or `JOINTED` is some other word.
        phase_ = isBlank(byte) ? Phase::NameGap : Phase::Skip;
        return;
    }
    keyword_.push_back(byte);
    if (keyword_ == kFrames) {
        // The first `Frames:` line settles the count, even when it is not a number.
        phase_ = framesSeen_ ? Phase::Skip : Phase::FramesGap;
        framesSeen_ = true;
        return;
    }
    const auto begins = [this](std::string_view word) { return word.starts_with(keyword_); };
    if (!begins(kRoot) && !begins(kJoint) && !begins(kFrames)) phase_ = Phase::Skip;
}

void JointScanner::takeFramesByte(char byte) {
    if (isBlank(byte)) {
        if (phase_ == Phase::FramesDigits) phase_ = Phase::FramesTail;
        return;
    }
    const bool digit = byte >= '0' && byte <= '9';
    if (!digit || phase_ == Phase::FramesTail) {
        phase_ = Phase::Skip;
        return;
    }
    const auto value = static_cast<std::uint64_t>(byte - '0');
    if (frameCount_ > (std::numeric_limits<std::uint64_t>::max() - value) / 10) {
        phase_ = Phase::Skip;
        return;
    }
    frameCount_ = frameCount_ * 10 + value;
    phase_ = Phase::FramesDigits;
}

void JointScanner::endLine() {
    if (phase_ == Phase::NameGap || phase_ == Phase::Name ||
        (phase_ == Phase::Keyword && keywordIsJoint())) {
        report_.joints.push_back(jointEntryFor(trimTrailingBlanks(name_), renamer_, dropped_));
    } else if (phase_ == Phase::FramesDigits || phase_ == Phase::FramesTail) {
        report_.frames = frameCount_;
    }
    phase_ = Phase::Indent;
    keyword_.clear();
    name_.clear();
    if (name_.capacity() > kKeptNameCapacity) name_.shrink_to_fit();
}

LineEnds JointScanner::lineEnds() const {
    const int kinds = (crLf_ > 0 ? 1 : 0) + (lf_ > 0 ? 1 : 0) + (cr_ > 0 ? 1 : 0);
    if (kinds == 0) return LineEnds::None;
    if (kinds > 1) return LineEnds::Mixed;
    if (crLf_ > 0) return LineEnds::CrLf;
    return lf_ > 0 ? LineEnds::Lf : LineEnds::Cr;
}

}  // namespace skelvane::conversion
