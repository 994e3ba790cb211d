#include "conversion/joint_scanner.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace skelvane::conversion {

namespace {

constexpr std::string_view kRoot = "ROOT";
constexpr std::string_view kJoint = "JOINT";
constexpr std::string_view kFrames = "Frames:";

// A kept name holds a few bytes past the shown length, so that it can be cut at the edge of
// a character once it is known where the name ends.
constexpr std::size_t kKeptNameBytes = kShownNameBytes + 4;

// A letter right beside a match makes it a match inside a word; bytes past ASCII are taken for
// the letters of other scripts.
bool isLetter(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return (value | 0x20) >= 'a' && (value | 0x20) <= 'z' ? true : value >= 0x80;
}

// How long the name as the rows leave it may grow while hitInsideWord follows it: rows may
// double it one after another.
constexpr std::size_t kMostFollowedNameBytes = 64 << 10;

// Whether a row matched inside a longer word: a letter right before or after the text it
// matched, in the name as the rows before it left it. Nothing when the rows make the name
// longer than kMostFollowedNameBytes.
std::optional<bool> hitInsideWord(std::string_view name, const std::vector<Rename>& renames) {
    std::string text(name);
    for (const Rename& rename : renames) {
        const std::string& search = rename.search;
        std::size_t pos = text.find(search);
        if (search.empty() || pos == std::string::npos) continue;
        std::string renamed;
        std::size_t from = 0;
        for (; pos != std::string::npos; pos = text.find(search, from)) {
            const std::size_t end = pos + search.size();
            if ((pos > 0 && isLetter(text[pos - 1])) ||
                (end < text.size() && isLetter(text[end]))) {
                return true;
            }
            renamed.append(text, from, pos - from).append(rename.replacement);
            if (renamed.size() > kMostFollowedNameBytes) return std::nullopt;
            from = end;
        }
        text = renamed.append(text, from);
    }
    return false;
}

// White space inside a line; CR and LF end it.
bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

}  // namespace

JointNamer::JointNamer(const CompiledMapping& mapping)
    : mapping_(mapping), renamer_(mapping), hits_(mapping.renames().size(), false) {}

void JointNamer::keep(std::string& kept, std::uint64_t& length, std::string_view piece) {
    length += piece.size();
    if (kept.size() < kKeptNameBytes) kept.append(piece.substr(0, kKeptNameBytes - kept.size()));
}

std::error_code JointNamer::write(std::string_view bytes) {
    keep(entry_.newName, entry_.newLength, bytes);
    return {};
}

void JointNamer::feed(std::string_view piece) {
    std::size_t blanks = 0;
    while (blanks < piece.size() && isBlank(piece[piece.size() - 1 - blanks])) ++blanks;
    trailingBlanks_ = blanks == piece.size() ? trailingBlanks_ + blanks : blanks;
    keep(entry_.oldName, entry_.oldLength, piece);
    if (mapping_.mode() == MatchMode::Contains) {
        renamer_.feed(piece, false, *this, &hits_);
    }
}

JointEntry JointNamer::finish() {
    if (mapping_.mode() == MatchMode::Contains) {
        renamer_.feed({}, true, *this, &hits_);
    }
    // Rows neither match nor write blanks at the ends of a name, so the new name ends in the
    // same blanks.
    for (auto [name, length] : {std::pair{&entry_.oldName, &entry_.oldLength},
                                std::pair{&entry_.newName, &entry_.newLength}}) {
        *length -= std::min(*length, trailingBlanks_);
        name->resize(std::min<std::uint64_t>(name->size(), *length));
        name->resize(cutAtCharacter(*name, kShownNameBytes).size());
    }
    if (mapping_.mode() == MatchMode::Exact) {
        nameWhole();
    } else {
        nameByHits();
    }
    hits_.assign(hits_.size(), false);
    trailingBlanks_ = 0;
    return std::exchange(entry_, JointEntry{});
}

void JointNamer::nameWhole() {
    const bool whole = entry_.oldLength == entry_.oldName.size();
    const Rename* rename = whole ? mapping_.renameOf(entry_.oldName) : nullptr;
    entry_.newName = entry_.oldName;
    entry_.newLength = entry_.oldLength;
    if (rename == nullptr || rename->replacement == entry_.oldName) return;
    entry_.newName = cutAtCharacter(rename->replacement, kShownNameBytes);
    entry_.newLength = rename->replacement.size();
    entry_.outcome =
        rename->replacement == kNothing ? JointOutcome::Dropped : JointOutcome::Renamed;
    entry_.part = rename->part;
}

void JointNamer::nameByHits() {
    const std::vector<Rename>& renames = mapping_.renames();
    std::size_t hitCount = 0;
    bool wholeName = false;
    for (std::size_t i = 0; i < renames.size(); ++i) {
        if (!hits_[i]) continue;
        ++hitCount;
        if (renames[i].replacement != kNothing) {
            if (entry_.outcome == JointOutcome::Untouched) entry_.outcome = JointOutcome::Renamed;
        } else if (entry_.outcome != JointOutcome::Dropped) {
            entry_.outcome = JointOutcome::Dropped;
            entry_.part = renames[i].part;
        }
        wholeName = wholeName || (renames[i].search == entry_.oldName &&
                                  entry_.oldLength == entry_.oldName.size());
    }
    if (hitCount == 0) return;
    // A name kept whole is looked at closely; of one too long to keep, or that the rows make
    // too long to follow, any hit that is not the whole name is taken to lie inside a word.
    std::optional<bool> insideWord;
    if (entry_.oldLength == entry_.oldName.size()) {
        insideWord = hitInsideWord(entry_.oldName, renames);
    }
    entry_.partialWord = insideWord.value_or(!(wholeName && hitCount == 1));
}

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
