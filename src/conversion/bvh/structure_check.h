#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/bvh/findings.h"

namespace skelvane::conversion {

/// The words of a line handed in pieces, each whole however the pieces cut it: a word cut by a
/// piece's end is kept, as far as one byte past the longest number (enough to tell it is none),
/// until a blank or the line's end finishes it.
class PieceWords {
public:
    /// Hands `take` each word that ends in `piece`, while `wanted()` holds before each.
    template <typename Take, typename Wanted>
    void split(const LinePiece& piece, Take&& take, Wanted&& wanted) {
        const std::string_view bytes = piece.bytes;
        std::size_t at = 0;
        while (at < bytes.size() && wanted()) {
            if (isBlank(bytes[at])) {
                if (std::exchange(cut_, false)) take(std::string_view(cutWord_));
                ++at;
                continue;
            }
            std::size_t stop = at;
            while (stop < bytes.size() && !isBlank(bytes[stop])) ++stop;
            const std::string_view word = bytes.substr(at, stop - at);
            if (cut_ || (stop == bytes.size() && !piece.lineEnds)) {
                if (!cut_) cutWord_.clear();
                cut_ = true;
                if (cutWord_.size() <= kMostNumberBytes) {
                    cutWord_.append(word.substr(0, kMostNumberBytes + 1 - cutWord_.size()));
                }
            } else {
                take(word);
            }
            at = stop;
        }
    }

    /// At the line's end: the word its last piece left cut, if any, handed to `take` once.
    template <typename Take>
    void endLine(Take&& take) {
        if (std::exchange(cut_, false)) take(std::string_view(cutWord_));
    }

private:
    std::string cutWord_;
    bool cut_ = false;
};

/// Takes the words of each frame line as a StructureCheck reads them.
class FrameWords {
public:
    /// The word at `index` (from 0) of the frame line at hand, whole, valid during the call.
    virtual void takeWord(std::uint64_t index, std::string_view word) = 0;
    /// The end of the frame line at hand, on line `line`.
    virtual void endFrame(std::uint64_t line) = 0;

protected:
    ~FrameWords() = default;
};

/// Checks the structure of a BVH file as a BvhReader that reads the hierarchy hands it on:
/// braces that pair, each ROOT and JOINT with a name, an OFFSET of three numbers and CHANNELS
/// naming as many of the six channels as it counts, each End Site with an OFFSET, lines where
/// the hierarchy takes them; MOTION, a `Frames:` count and a `Frame Time:` above 0; as many
/// frame lines as `Frames:` says, each holding as many numbers as the hierarchy has channels,
/// each a number as numberOf reads it. Warns of more than one root, of joints named as an
/// earlier one (names of up to kKeptJointNameBytes are compared) and of names holding a blank
/// or a dot. Reads every number of every frame line and keeps none, nor any line: its memory
/// stays flat whatever the file.
class StructureCheck final : public BvhVisitor {
public:
    /// A check of what `reader`, which must read with Reading::Hierarchy and outlive the check,
    /// hands it.
    explicit StructureCheck(const BvhReader& reader);

    void take(const LinePiece& piece) override;
    void takePlainLines(std::string_view lines, const Line& last) override;

    /// Hands the words of every frame line to `words` as well, which must outlive the check.
    void handFrameWords(FrameWords& words) { words_ = &words; }

    /// Once the reader has finished: what the check found.
    Findings finish();

private:
    // One word of a line that is or may be a frame line, whole; `frame` when it is known to be.
    void takeWord(std::string_view word, bool frame = true);
    // The end of any line, with what its words were as frame numbers.
    void endLine(const Line& line);
    void endFrameLine(std::uint64_t number);
    void checkKeywordLine(const Line& line);
    void checkDeclaration(const Line& line);
    void checkOffset(const Line& line);
    void checkChannels(const Line& line);
    void checkCloseBrace(const Line& line);
    void checkMotionHeader(const Line& line);
    // What the joint of a line is called in a reason: "JOINT 'hip'", "End Site".
    std::string jointWords(std::size_t joint) const;

    const BvhReader& reader_;
    FrameWords* words_ = nullptr;
    Findings findings_;
    // The line at hand: its first bytes (to quote a line that is nothing), the word of a frame
    // line cut by a piece's end, its numbers so far and the first word that is not one.
    std::string lineStart_;
    PieceWords pieceWords_;
    std::uint64_t numbers_ = 0;
    std::string badNumber_;
    bool numberBad_ = false;
    // The name of the ROOT or JOINT line at hand: a blank seen after its first byte, a blank
    // inside it, a dot in it.
    bool nameStarted_ = false;
    bool blankAfterStart_ = false;
    bool innerBlank_ = false;
    bool dot_ = false;

    // The file so far: the number of the last line; the braces open; a ROOT, JOINT or End Site
    // line that waits for its brace; the roots; the channels of every CHANNELS line and whether
    // each count could be read; the joints' names and lines; lines already told.
    std::uint64_t lastLine_ = 0;
    std::uint64_t openBraces_ = 0;
    std::uint64_t awaitingBrace_ = 0;
    std::size_t awaitingJoint_ = kNoJoint;
    std::uint64_t roots_ = 0;
    std::uint64_t channels_ = 0;
    bool channelsKnown_ = true;
    std::unordered_map<std::string, std::uint64_t> names_;
    std::uint64_t hierarchyLines_ = 0;
    std::uint64_t motionLines_ = 0;
    std::uint64_t framesLines_ = 0;
    std::uint64_t frameTimeLines_ = 0;
};

}  // namespace skelvane::conversion
