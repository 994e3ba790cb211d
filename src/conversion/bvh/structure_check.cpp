#include "conversion/bvh/structure_check.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "conversion/bvh/reasons.h"

namespace skelvane::conversion {

std::string quotedStart(std::string_view text) {
    std::string out = "'";
    if (text.size() <= kQuoted) return out.append(text).append("'");
    std::size_t cut = kQuoted;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return out.append(text.substr(0, cut)).append("...'");
}

std::string counted(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string_view reasonKeyword(LineKind kind) {
    switch (kind) {
        case LineKind::OpenBrace:
            return "'{'";
        case LineKind::CloseBrace:
            return "'}'";
        default:
            break;
    }
    const std::string_view keyword = keywordText(kind);
    return keyword.empty() ? "a line" : keyword;
}

StructureCheck::StructureCheck(const BvhReader& reader) : reader_(reader) {}

void StructureCheck::take(const LinePiece& piece) {
    const std::string_view bytes = piece.bytes;
    if (lineStart_.size() <= kQuoted) {
        lineStart_.append(bytes.substr(0, kQuoted + 1 - lineStart_.size()));
    }
    if (piece.inName) {
        for (const char byte : bytes) {
            if (isBlank(byte)) {
                blankAfterStart_ = nameStarted_;
                continue;
            }
            innerBlank_ = innerBlank_ || blankAfterStart_;
            nameStarted_ = true;
            dot_ = dot_ || byte == '.';
        }
    }
    // The words of a frame line are read as numbers, from before its kind is known on. While
    // it is not, a whole word is the first of `End Site` or `Frame Time:`, none of a frame's.
    const LineKind kind = piece.line.kind;
    const bool frame = kind == LineKind::Frame;
    if (frame || kind == LineKind::Pending) {
        pieceWords_.split(
            piece, [&](std::string_view word) { takeWord(word, frame); }, [] { return true; });
    }
    if (!piece.lineEnds) return;
    pieceWords_.endLine([&](std::string_view word) {
        if (kind == LineKind::Frame) takeWord(word);
    });
    endLine(piece.line);
}

void StructureCheck::takePlainLines(std::string_view lines, const Line& last) {
    // Each plain line ends in CR LF: its words run to the CR.
    const char* at = lines.data();
    const char* const end = at + lines.size();
    while (at < end) {
        const char* const cr = static_cast<const char*>(std::memchr(at, '\r', end - at));
        const char* const lineEnd = cr != nullptr ? cr : end;
        const char* const lineStart = at;
        // Before MOTION such lines are not the hierarchy's, and their words nothing.
        if (last.kind != LineKind::Frame) at = lineEnd;
        while (at < lineEnd) {
            if (isBlank(*at)) {
                ++at;
                continue;
            }
            const char* const word = at;
            bool plain = false;
            at = plainDecimalEnd(at, lineEnd, plain);
            if (plain) {
                if (words_ != nullptr) {
                    words_->takeWord(numbers_, {word, static_cast<std::size_t>(at - word)});
                }
                ++numbers_;
                continue;
            }
            while (at < lineEnd && !isBlank(*at)) ++at;
            takeWord({word, static_cast<std::size_t>(at - word)});
        }
        const std::uint64_t number = lastLine_ + 1;
        if (last.kind == LineKind::Frame) {
            lastLine_ = number;
            endFrameLine(number);
        } else {
            lineStart_.assign(lineStart, std::min<std::size_t>(lineEnd - lineStart, kQuoted + 1));
            Line line{number, last.kind};
            endLine(line);
        }
        numbers_ = 0;
        numberBad_ = false;
        at = lineEnd + 2;
    }
}

void StructureCheck::takeWord(std::string_view word, bool frame) {
    if (words_ != nullptr && frame) words_->takeWord(numbers_, word);
    ++numbers_;
    if (numberBad_ || isNumber(word)) return;
    numberBad_ = true;
    badNumber_.assign(word.substr(0, kQuoted + 1));
}

void StructureCheck::endLine(const Line& line) {
    lastLine_ = line.number;
    if (awaitingBrace_ != 0 && line.kind != LineKind::Blank && line.kind != LineKind::OpenBrace) {
        findings_.add(awaitingBrace_, FindingKind::Braces,
                      [&] { return jointWords(awaitingJoint_) + " is not followed by '{'"; });
        awaitingBrace_ = 0;
    }
    switch (line.kind) {
        case LineKind::Frame:
            endFrameLine(line.number);
            break;
        case LineKind::Blank:
        case LineKind::Pending:
            break;
        case LineKind::Other:
            findings_.add(line.number, FindingKind::Hierarchy, [&] {
                return "not a line of the hierarchy: " + quotedStart(lineStart_);
            });
            break;
        default:
            checkKeywordLine(line);
            break;
    }
    lineStart_.clear();
    numbers_ = 0;
    numberBad_ = false;
    nameStarted_ = blankAfterStart_ = innerBlank_ = dot_ = false;
}

void StructureCheck::endFrameLine(std::uint64_t number) {
    if (words_ != nullptr) words_->endFrame(number);
    if (channelsKnown_ && numbers_ != channels_) {
        findings_.add(number, FindingKind::FrameLength, [&] {
            return "frame holds " + counted(numbers_, "number", "numbers") +
                   "; the hierarchy has " + counted(channels_, "channel", "channels");
        });
    }
    if (numberBad_) {
        findings_.add(number, FindingKind::FrameNumber, [&] {
            return "frame holds " + quotedStart(badNumber_) + ", which is no number";
        });
    }
}

void StructureCheck::checkKeywordLine(const Line& line) {
    const MotionHeader& motion = reader_.motion();
    const bool afterMotion = motion.motionLine != 0 && line.number > motion.motionLine;
    const LineKind kind = line.kind;
    const bool motionHeader = kind == LineKind::Frames || kind == LineKind::FrameTime;
    if (afterMotion && !motionHeader) {
        findings_.add(line.number, FindingKind::Hierarchy, [&] {
            if (kind == LineKind::Motion) return std::string("a second MOTION line");
            return std::string(reasonKeyword(kind)) + " after MOTION";
        });
        return;
    }
    if (!afterMotion && motionHeader) {
        findings_.add(line.number, FindingKind::Hierarchy,
                      [&] { return std::string(reasonKeyword(kind)) + " before MOTION"; });
        return;
    }
    // The keywords that take nothing after them.
    if (line.fault == LineFault::WordCount &&
        (kind == LineKind::Hierarchy || kind == LineKind::EndSite || kind == LineKind::Motion ||
         kind == LineKind::OpenBrace || kind == LineKind::CloseBrace)) {
        const bool brace = kind == LineKind::OpenBrace || kind == LineKind::CloseBrace;
        findings_.add(line.number, brace ? FindingKind::Braces : FindingKind::Hierarchy,
                      [&] { return std::string(reasonKeyword(kind)) + " takes nothing after it"; });
    }
    switch (kind) {
        case LineKind::Hierarchy:
            if (++hierarchyLines_ > 1) {
                findings_.add(line.number, FindingKind::Hierarchy,
                              [] { return std::string("a second HIERARCHY line"); });
            }
            break;
        case LineKind::Root:
        case LineKind::Joint:
        case LineKind::EndSite:
            checkDeclaration(line);
            break;
        case LineKind::OpenBrace:
            if (awaitingBrace_ == 0) {
                findings_.add(line.number, FindingKind::Braces,
                              [] { return std::string("'{' follows no ROOT, JOINT or End Site"); });
            }
            awaitingBrace_ = 0;
            ++openBraces_;
            break;
        case LineKind::CloseBrace:
            checkCloseBrace(line);
            break;
        case LineKind::Offset:
            checkOffset(line);
            break;
        case LineKind::Channels:
            checkChannels(line);
            break;
        case LineKind::Motion:
            if (++motionLines_ == 1 && openBraces_ > 0) {
                findings_.add(line.number, FindingKind::Braces, [&] {
                    return "MOTION comes with " + counted(openBraces_, "brace", "braces") +
                           " still open";
                });
            }
            break;
        case LineKind::Frames:
        case LineKind::FrameTime:
            checkMotionHeader(line);
            break;
        default:
            break;
    }
}

void StructureCheck::checkMotionHeader(const Line& line) {
    const MotionHeader& motion = reader_.motion();
    const bool frames = line.kind == LineKind::Frames;
    const std::string_view keyword = reasonKeyword(line.kind);
    if (++(frames ? framesLines_ : frameTimeLines_) > 1) {
        findings_.add(line.number, FindingKind::Motion,
                      [&] { return "a second " + std::string(keyword) + " line"; });
        return;
    }
    if (motion.frameLines > 0) {
        findings_.add(line.number, FindingKind::Motion, [&] {
            return std::string(keyword) + " comes after the first frame line (line " +
                   std::to_string(motion.firstFrameLine) + ")";
        });
    }
    switch (line.fault) {
        case LineFault::NotACount:
        case LineFault::NotANumber:
            findings_.add(line.number, FindingKind::Motion, [&] {
                return std::string(keyword) + " holds " + quotedStart(line.faultWord) +
                       ", which is no " + (frames ? "count" : "number");
            });
            return;
        case LineFault::WordCount:
            findings_.add(line.number, FindingKind::Motion, [&] {
                return std::string(keyword) + " holds " + counted(line.words, "word", "words") +
                       "; it takes one " + (frames ? "count" : "number");
            });
            return;
        default:
            break;
    }
    if (!frames && motion.frameTime && *motion.frameTime <= 0) {
        findings_.add(line.number, FindingKind::Motion,
                      [] { return std::string("Frame Time: is not above 0"); });
    }
}

std::string StructureCheck::jointWords(std::size_t joint) const {
    const Hierarchy& hierarchy = reader_.hierarchy();
    if (joint == kNoJoint) return "a joint";
    const Joint& kept = hierarchy.joints[joint];
    if (!kept.endSite) return "joint " + quotedStart(kept.name);
    if (kept.parent == kNoJoint) return "an End Site";
    return "the End Site of joint " + quotedStart(hierarchy.joints[kept.parent].name);
}

Findings StructureCheck::finish() {
    if (reader_.start() != BvhStartCheck::Verdict::Bvh) {
        // Whatever else it holds, a file that is not BVH is that first of all.
        Findings notBvh;
        notBvh.add(1, FindingKind::NotBvh,
                   [] { return std::string("the file does not start with HIERARCHY"); });
        return notBvh;
    }
    const MotionHeader& motion = reader_.motion();
    const std::uint64_t end = std::max<std::uint64_t>(lastLine_, 1);
    if (awaitingBrace_ != 0) {
        findings_.add(awaitingBrace_, FindingKind::Braces,
                      [&] { return jointWords(awaitingJoint_) + " is not followed by '{'"; });
    }
    if (roots_ == 0) {
        findings_.add(motion.motionLine != 0 ? motion.motionLine : end, FindingKind::Hierarchy,
                      [] { return std::string("the hierarchy has no ROOT"); });
    }
    if (motion.motionLine == 0) {
        if (openBraces_ > 0) {
            findings_.add(end, FindingKind::Braces, [&] {
                return "the file ends with " + counted(openBraces_, "brace", "braces") +
                       " still open";
            });
        }
        findings_.add(end, FindingKind::Motion, [] { return std::string("no MOTION line"); });
    } else {
        if (motion.framesLine == 0) {
            findings_.add(end, FindingKind::Motion, [] { return std::string("no Frames: line"); });
        }
        if (motion.frameTimeLine == 0) {
            findings_.add(end, FindingKind::Motion,
                          [] { return std::string("no Frame Time: line"); });
        }
    }
    if (motion.frames && *motion.frames != motion.frameLines) {
        findings_.add(motion.framesLine, FindingKind::FrameCount, [&] {
            return "Frames: says " + std::to_string(*motion.frames) + ", and " +
                   counted(motion.frameLines, "frame line follows", "frame lines follow");
        });
    }
    findings_.sort();
    return std::move(findings_);
}

}  // namespace skelvane::conversion
