#include "conversion/rename/joint_scanner.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace skelvane::conversion {

namespace {

// Role finding takes the names a report keeps.
static_assert(kShownNameBytes >= kMaxRigNameBytes);

constexpr std::string_view kRoot = "ROOT";
constexpr std::string_view kJoint = "JOINT";
constexpr std::string_view kFrames = "Frames:";

// White space inside a line; CR and LF end it.
bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

}  // namespace

JointScanner::JointScanner(const CompiledMapping& mapping) : namer_(mapping) {}

void JointScanner::followName(const JointEntry& joint) {
    if (joint.cut()) return;
    auto found = newNameCounts_.find(joint.newName);
    if (found == newNameCounts_.end()) {
        if (newNameCounts_.size() == kFollowedNames) return;
        found = newNameCounts_.emplace(joint.newName, 0).first;
        newNamesInOrder_.push_back(&found->first);
    }
    ++found->second;
}

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
    report_.fit = fit_.result();
    for (const std::string* name : newNamesInOrder_) {
        const std::uint64_t count = newNameCounts_.at(*name);
        if (count < 2 || name->empty()) continue;
        report_.sharedNames.emplace_back(*name, count);
        if (report_.sharedNames.size() == kListedSharedNames) break;
    }
    return std::move(report_);
}

void JointScanner::takeLinePiece(std::string_view piece) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char byte = piece[i];
        switch (phase_) {
            case Phase::Skip:
                return;
            case Phase::Name:
                namer_.feed(piece.substr(i));
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
                namer_.feed(piece.substr(i));
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
        JointEntry entry = namer_.finish();
        followName(entry);
        // A name cut for display is longer than any row: no mapping renames it.
        fit_.addJoint(entry.cut() ? std::string_view() : std::string_view(entry.oldName));
        if (names_ != nullptr) names_->add(entry.oldName, entry.oldLength);
        report_.add(std::move(entry));
    } else if (phase_ == Phase::FramesDigits || phase_ == Phase::FramesTail) {
        report_.frames = frameCount_;
    }
    phase_ = Phase::Indent;
    keyword_.clear();
}

LineEnds JointScanner::lineEnds() const {
    const int kinds = (crLf_ > 0 ? 1 : 0) + (lf_ > 0 ? 1 : 0) + (cr_ > 0 ? 1 : 0);
    if (kinds == 0) return LineEnds::None;
    if (kinds > 1) return LineEnds::Mixed;
    if (crLf_ > 0) return LineEnds::CrLf;
    return lf_ > 0 ? LineEnds::Lf : LineEnds::Cr;
}

}  // namespace skelvane::conversion
