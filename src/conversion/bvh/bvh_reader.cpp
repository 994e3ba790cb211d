#include "conversion/bvh/bvh_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

namespace skelvane::conversion {

namespace {

constexpr std::string_view kHierarchy = "HIERARCHY";
constexpr std::size_t kNone = std::string_view::npos;

// A keyword of one word, or the first of two with the word that must follow it, and both as
// they are written.
struct Keyword {
    std::string_view word;
    LineKind kind;
    std::string_view second = {};
    std::string_view whole = word;
};

constexpr std::array<Keyword, 11> kKeywords = {{
    {kHierarchy, LineKind::Hierarchy},
    {"ROOT", LineKind::Root},
    {"JOINT", LineKind::Joint},
    {"End", LineKind::EndSite, "Site", "End Site"},
    {"{", LineKind::OpenBrace},
    {"}", LineKind::CloseBrace},
    {"OFFSET", LineKind::Offset},
    {"CHANNELS", LineKind::Channels},
    {"MOTION", LineKind::Motion},
    {"Frames:", LineKind::Frames},
    {"Frame", LineKind::FrameTime, "Time:", "Frame Time:"},
}};

constexpr std::size_t kLongestKeyword =
    std::max_element(kKeywords.begin(), kKeywords.end(), [](const Keyword& a, const Keyword& b) {
        return a.word.size() < b.word.size();
    })->word.size();

// The bytes that tell a line's kind at once when they come first: neither a blank nor the
// first byte of a keyword. Motion data starts with a digit or a sign.
constexpr std::array<bool, 256> kTellsAtOnce = [] {
    std::array<bool, 256> tells{};
    tells.fill(true);
    tells[' '] = tells['\t'] = false;
    for (const Keyword& keyword : kKeywords) {
        tells[static_cast<unsigned char>(keyword.word.front())] = false;
    }
    return tells;
}();

constexpr std::array<std::string_view, 6> kChannelNames = {"Xposition", "Yposition", "Zposition",
                                                           "Xrotation", "Yrotation", "Zrotation"};

// Where the blanks from `at` end: lines are indented by runs of spaces or of tabs, taken eight
// at a time.
std::size_t afterBlanks(const char* data, std::size_t at, std::size_t to) {
    constexpr std::uint64_t kSpaces = 0x2020202020202020;
    constexpr std::uint64_t kTabs = 0x0909090909090909;
    for (std::uint64_t eight = 0; to - at >= sizeof eight; at += sizeof eight) {
        std::memcpy(&eight, data + at, sizeof eight);
        if (eight != kSpaces && eight != kTabs) break;
    }
    while (at < to && isBlank(data[at])) ++at;
    return at;
}

const Keyword* keywordOf(std::string_view word) {
    const auto found = std::find_if(kKeywords.begin(), kKeywords.end(),
                                    [&](const Keyword& keyword) { return keyword.word == word; });
    return found == kKeywords.end() ? nullptr : &*found;
}

Channel channelOf(std::string_view name) {
    const auto found = std::find(kChannelNames.begin(), kChannelNames.end(), name);
    return found == kChannelNames.end()
               ? Channel::Other
               : static_cast<Channel>(std::distance(kChannelNames.begin(), found));
}

const ScanTable& lineEndsOnly() {
    static const ScanTable table;
    return table;
}

}  // namespace

std::string_view keywordText(LineKind kind) {
    const auto found = std::find_if(kKeywords.begin(), kKeywords.end(),
                                    [&](const Keyword& keyword) { return keyword.kind == kind; });
    return found == kKeywords.end() ? std::string_view() : found->whole;
}

std::string_view channelName(Channel channel) {
    const auto index = static_cast<std::size_t>(channel);
    return index < kChannelNames.size() ? kChannelNames[index] : "other";
}

LineEnds LineEndCounts::style() const {
    const int kinds = (crLf > 0 ? 1 : 0) + (lf > 0 ? 1 : 0) + (cr > 0 ? 1 : 0);
    if (kinds == 0) return LineEnds::None;
    if (kinds > 1) return LineEnds::Mixed;
    if (crLf > 0) return LineEnds::CrLf;
    return lf > 0 ? LineEnds::Lf : LineEnds::Cr;
}

// The lines

void BvhVisitor::takePlainLines(std::string_view, const Line&) {}

BvhReader::BvhReader(const ScanTable& marks, ReaderOptions options)
    : marks_(marks),
      findLineEnd_(lineEndFinder(marks)),
      reading_(options.reading),
      joinsPlainLines_(options.plainLines == PlainLines::Joined) {}

BvhReader::BvhReader(ReaderOptions options) : BvhReader(lineEndsOnly(), options) {}

void BvhReader::feed(std::string_view block, BvhVisitor& visitor) {
    if (block.empty()) return;
    if (start_.verdict() == BvhStartCheck::Verdict::NeedMore) start_.feed(block);
    const char* const data = block.data();
    const std::size_t size = block.size();
    std::size_t pos = 0;
    if (crPending_) {
        crPending_ = false;
        if (data[0] == '\n') {
            ++lineEnds_.crLf;
            pos = 1;
        } else {
            ++lineEnds_.cr;
        }
    }
    while (pos < size) {
        bool marked = false;
        const std::size_t end = findLineEnd_(marks_, data, pos, size, marked);
        if (end == size) {
            handRunOn(data, visitor);
            takeLinePiece(data, pos, end, marked, {}, visitor);
            return;
        }
        std::size_t next = end + 1;
        if (data[end] == '\n') {
            ++lineEnds_.lf;
        } else if (next == size) {
            // Whether an LF follows is for the next block to tell.
            crPending_ = true;
        } else if (data[next] == '\n') {
            ++lineEnds_.crLf;
            ++next;
        } else {
            ++lineEnds_.cr;
        }
        const bool plain = joinsPlainLines_ && next - end == 2 && !marked && !lineOpen_ &&
                           (reading_ == Reading::Lines ||
                            (pos < end && kTellsAtOnce[static_cast<unsigned char>(data[pos])]));
        if (plain) {
            // A Frame or Other line, passed over at its first byte as takeLinePiece would: it
            // joins the run, and leaves the line at hand as fresh as it found it.
            if (runFrom_ == runTo_) runFrom_ = pos;
            runTo_ = next;
            if (inMotion_ && motion_.frameLines++ == 0) motion_.firstFrameLine = line_.number;
            ++line_.number;
        } else {
            handRunOn(data, visitor);
            takeLinePiece(data, pos, end, marked, {data + end, next - end}, visitor);
        }
        pos = next;
    }
    handRunOn(data, visitor);
}

void BvhReader::handRunOn(const char* data, BvhVisitor& visitor) {
    if (runFrom_ == runTo_) return;
    // No MOTION line comes within a run.
    const LineKind kind = reading_ == Reading::Lines ? LineKind::Pending
                          : inMotion_                ? LineKind::Frame
                                                     : LineKind::Other;
    const Line last{line_.number - 1, kind};
    visitor.takePlainLines({data + runFrom_, runTo_ - runFrom_}, last);
    runFrom_ = runTo_ = 0;
}

void BvhReader::finish(BvhVisitor& visitor) {
    if (crPending_) ++lineEnds_.cr;
    crPending_ = false;
    start_.finish();
    if (!lineOpen_) return;
    const bool inName = step_ == Step::Name;
    if (reading_ != Reading::Lines) endLine();
    visitor.take(LinePiece{{}, {}, true, inName, false, line_});
    resetLine();
}

void BvhReader::takeLinePiece(const char* data, std::size_t from, std::size_t to, bool marked,
                              std::string_view terminator, BvhVisitor& visitor) {
    // `terminator` is empty only for a piece that the block cuts off.
    const bool lineEnds = !terminator.empty();
    std::size_t nameAt = kNone;
    switch (reading_ == Reading::Lines ? Step::Rest : step_) {
        case Step::Rest:
            break;
        case Step::Name:
            nameAt = from;
            break;
        case Step::Indent:
            // Most lines are frames, told by their first byte.
            if (from < to && kTellsAtOnce[static_cast<unsigned char>(data[from])]) {
                decide(LineKind::Other);
                break;
            }
            [[fallthrough]];
        default:
            wordsRead_ = true;
            nameAt = readWords(data, from, to);
            break;
    }
    if (nameAt != kNone) readName({data + nameAt, to - nameAt});
    if (lineEnds && reading_ != Reading::Lines) endLine();
    if (nameAt != kNone && nameAt > from) {
        visitor.take(LinePiece{{data + from, nameAt - from}, {}, false, false, marked, line_});
        from = nameAt;
    }
    visitor.take(
        LinePiece{{data + from, to - from}, terminator, lineEnds, nameAt != kNone, marked, line_});
    if (lineEnds) {
        resetLine();
    } else {
        lineOpen_ = true;
    }
}

std::size_t BvhReader::readWords(const char* data, std::size_t at, std::size_t to) {
    while (at < to) {
        switch (step_) {
            case Step::Indent:
            case Step::WordGap:
            case Step::NameGap:
                at = afterBlanks(data, at, to);
                if (at == to) return kNone;
                if (step_ == Step::NameGap) {
                    step_ = Step::Name;
                    return at;
                }
                if (step_ == Step::Indent && kTellsAtOnce[static_cast<unsigned char>(data[at])]) {
                    decide(LineKind::Other);
                    return kNone;
                }
                step_ = Step::Word;
                break;
            case Step::Word: {
                // A word ends at a blank, or right after a colon (Frames:, Time:).
                std::size_t stop = at;
                while (stop < to && !isBlank(data[stop]) && data[stop] != ':') ++stop;
                const bool colon = stop < to && data[stop] == ':';
                if (colon) ++stop;
                if (word_.size + (stop - at) > kLongestKeyword) {
                    decide(LineKind::Other);
                    return kNone;
                }
                std::memcpy(word_.bytes + word_.size, data + at, stop - at);
                word_.size += stop - at;
                at = stop;
                if (colon || at < to) endKeyword();
                break;
            }
            case Step::Arguments:
                readArguments(data, at, to);
                return kNone;
            case Step::Name:
            case Step::Rest:
                return kNone;
        }
    }
    return kNone;
}

void BvhReader::endKeyword() {
    const std::string_view word = word_.view();
    word_.size = 0;
    if (firstOfTwo_ != LineKind::Pending) {
        const LineKind kind = std::exchange(firstOfTwo_, LineKind::Pending);
        const Keyword* first = std::find_if(kKeywords.begin(), kKeywords.end(),
                                            [&](const Keyword& k) { return k.kind == kind; });
        if (word != first->second) {
            decide(LineKind::Other);
            return;
        }
        decide(kind);
        // The seconds of Frame Time: are the motion header's, the words after End Site the
        // hierarchy's.
        step_ = kind == LineKind::FrameTime || reading_ == Reading::Hierarchy ? Step::Arguments
                                                                              : Step::Rest;
        return;
    }
    const Keyword* keyword = keywordOf(word);
    if (keyword == nullptr) {
        decide(LineKind::Other);
    } else if (!keyword->second.empty()) {
        firstOfTwo_ = keyword->kind;
        step_ = Step::WordGap;
    } else {
        decide(keyword->kind);
        // The count of Frames: is the motion header's, the words after other keywords the
        // hierarchy's.
        const LineKind kind = keyword->kind;
        step_ = kind == LineKind::Root || kind == LineKind::Joint            ? Step::NameGap
                : kind == LineKind::Frames || reading_ == Reading::Hierarchy ? Step::Arguments
                                                                             : Step::Rest;
    }
}

void BvhReader::decide(LineKind kind) {
    if (kind == LineKind::Other) {
        line_.kind = inMotion_ ? LineKind::Frame : LineKind::Other;
        step_ = Step::Rest;
        return;
    }
    line_.kind = kind;
}

void BvhReader::readArguments(const char* data, std::size_t at, std::size_t to) {
    while (at < to) {
        if (isBlank(data[at])) {
            if (argumentBytes_ != 0) endArgument();
            ++at;
            continue;
        }
        std::size_t stop = at;
        while (stop < to && !isBlank(data[stop])) ++stop;
        takeArgumentBytes({data + at, stop - at});
        at = stop;
    }
}

void BvhReader::takeArgumentBytes(std::string_view bytes) {
    argumentBytes_ += bytes.size();
    const std::size_t room = Word::kMostBytes - word_.size;
    word_.tooLong = word_.tooLong || bytes.size() > room;
    const std::size_t kept = std::min(room, bytes.size());
    std::memcpy(word_.bytes + word_.size, bytes.data(), kept);
    word_.size += kept;
    // Counts are read digit by digit, however many leading zeros they have.
    const bool count =
        line_.kind == LineKind::Frames || (line_.kind == LineKind::Channels && arguments_ == 0);
    for (std::size_t i = 0; count && countRead_ && i < bytes.size(); ++i) {
        const char byte = bytes[i];
        const auto digit = static_cast<std::uint64_t>(byte - '0');
        if (byte < '0' || byte > '9' ||
            count_ > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            countRead_ = false;
        } else {
            count_ = count_ * 10 + digit;
        }
    }
}

void BvhReader::setFault(LineFault fault, std::string_view word) {
    if (line_.fault != LineFault::None) return;
    line_.fault = fault;
    faultWord_.size = word.copy(faultWord_.bytes, Word::kMostBytes);
    line_.faultWord = faultWord_.view();
}

void BvhReader::endArgument() {
    // A word longer than any number or channel's name is kept in part, to be named in part.
    const std::string_view kept = word_.view();
    const std::string_view word = word_.tooLong ? std::string_view() : kept;
    const std::size_t index = arguments_++;
    switch (line_.kind) {
        case LineKind::Offset:
        case LineKind::FrameTime:
            if (const auto number = numberOf(word)) {
                if (index < numbers_.size()) numbers_[index] = *number;
            } else {
                setFault(LineFault::NotANumber, kept);
            }
            break;
        case LineKind::Channels:
            if (index == 0) {
                if (countRead_) {
                    channelCount_ = count_;
                } else {
                    setFault(LineFault::NotACount, kept);
                }
            } else {
                const Channel channel = channelOf(word);
                if (channel == Channel::Other) setFault(LineFault::NotAChannel, kept);
                if (channels_.size() < kMostChannels) channels_.push_back(channel);
            }
            break;
        case LineKind::Frames:
            if (index == 0 && countRead_) {
                frames_ = count_;
            } else if (index == 0) {
                setFault(LineFault::NotACount, kept);
            }
            break;
        default:
            setFault(LineFault::WordCount);
            break;
    }
    word_.size = 0;
    word_.tooLong = false;
    argumentBytes_ = 0;
    count_ = 0;
    countRead_ = true;
}

void BvhReader::readName(std::string_view piece) {
    nameBytes_ += piece.size();
    if (reading_ == Reading::Hierarchy && name_.size() < kKeptJointNameBytes)
        name_.append(piece.substr(0, kKeptJointNameBytes - name_.size()));
    std::size_t blanks = 0;
    while (blanks < piece.size() && isBlank(piece[piece.size() - 1 - blanks])) ++blanks;
    trailingBlanks_ = blanks == piece.size() ? trailingBlanks_ + blanks : blanks;
}

void BvhReader::resetLine() {
    line_ = Line{line_.number + 1};
    step_ = Step::Indent;
    lineOpen_ = false;
    if (!wordsRead_) return;
    wordsRead_ = false;
    firstOfTwo_ = LineKind::Pending;
    word_.size = 0;
    word_.tooLong = false;
    arguments_ = 0;
    argumentBytes_ = 0;
    count_ = 0;
    countRead_ = true;
    numbers_ = {};
    channelCount_ = 0;
    channels_.clear();
    frames_ = 0;
    name_.clear();
    nameBytes_ = 0;
    trailingBlanks_ = 0;
}

}  // namespace skelvane::conversion
