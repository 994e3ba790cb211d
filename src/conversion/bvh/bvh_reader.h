#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/bvh/hierarchy.h"
#include "conversion/bvh/line_scan.h"

namespace skelvane::conversion {

/// White space inside a line of a BVH file: space and tab (CR and LF end lines).
constexpr bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

/// Most bytes of a number in a BVH file: a longer word is none.
inline constexpr std::size_t kMostNumberBytes = 64;

/// A number as OFFSET, Frame Time: and frame lines take it: the whole of `text`, at most
/// kMostNumberBytes, as std::from_chars reads a decimal number after an optional '+', and
/// finite ("1.2.3", "1e", "nan" and "inf" are none). For double or float.
template <typename Number = double>
std::optional<Number> numberOf(std::string_view text);
extern template std::optional<double> numberOf(std::string_view text);
extern template std::optional<float> numberOf(std::string_view text);

/// Reads a word from `at` as far as it is a plain decimal: a sign, digits and at most one dot.
/// Returns where that stops; `plain` tells whether the word is one, with at least one digit and
/// no more than kMostNumberBytes, when it stops at `end` or a blank. Such a word is a number as
/// numberOf reads it, told without asking std::from_chars: a check that only needs to know
/// whether each word of a frame is a number asks numberOf of the other words alone.
[[gnu::always_inline]] inline const char* plainDecimalEnd(const char* at, const char* end,
                                                          bool& plain) {
    const char* const start = at;
    if (at < end && (*at == '-' || *at == '+')) ++at;
    bool digits = false;
    bool dot = false;
    for (; at < end; ++at) {
        const auto digit = static_cast<unsigned>(*at - '0');
        if (digit < 10) {
            digits = true;
        } else if (*at == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
    }
    plain = digits && (at == end || isBlank(*at)) &&
            static_cast<std::size_t>(at - start) <= kMostNumberBytes;
    return at;
}

/// Whether numberOf reads `word` as a number, told at once for a plain decimal.
bool isNumber(std::string_view word);

/// Tells, from the first bytes of an input fed in pieces of any size, whether it starts like a
/// BVH file: `HIERARCHY` (case-sensitive) first, after an optional UTF-8 byte-order mark and any
/// ASCII white space. Holds a few counters only, however much white space comes first.
class BvhStartCheck {
public:
    /// The answer so far: more input needed, or settled for good.
    enum class Verdict { NeedMore, Bvh, NotBvh };

    /// Takes the next piece of the input; once settled, further pieces change nothing.
    Verdict feed(std::string_view piece);

    /// The answer at the end of the input: an input that ends undecided is not BVH.
    Verdict finish();

    /// The answer so far, without feeding anything.
    Verdict verdict() const { return verdict_; }

private:
    Verdict verdict_ = Verdict::NeedMore;
    // Bytes of the byte-order mark seen so far, and of "HIERARCHY" once past the white space.
    std::size_t bomMatched_ = 0;
    bool bomDone_ = false;
    std::size_t keywordMatched_ = 0;
};

/// True when the whole of `bytes` starts like a BVH file (see BvhStartCheck).
bool startsLikeBvh(std::string_view bytes);

/// How the lines of a file end; None for a file without any line end.
enum class LineEnds { None, CrLf, Lf, Cr, Mixed };

/// How many lines of a file ended in each way.
struct LineEndCounts {
    std::uint64_t crLf = 0;
    std::uint64_t lf = 0;
    std::uint64_t cr = 0;

    /// The one way they all end, Mixed or None.
    LineEnds style() const;
};

/// What a line is, told by its first word after blanks (two for `End Site` and `Frame Time:`).
/// Keywords are case-sensitive and end at a blank or the line's end, except `Frames:` and
/// `Time:`, which end at their colon so that the value may follow at once.
enum class LineKind : unsigned char {
    /// Its first word has not all come yet.
    Pending,
    /// Nothing but blanks.
    Blank,
    Hierarchy,
    Root,
    Joint,
    EndSite,
    OpenBrace,
    CloseBrace,
    Offset,
    Channels,
    Motion,
    Frames,
    FrameTime,
    /// After a MOTION line, a line that is none of the above.
    Frame,
    /// Before any MOTION line, a line that is none of the above.
    Other
};

/// The keyword that makes a line of `kind`, both words of two ("End Site", "Frame Time:");
/// empty for the kinds no keyword makes.
std::string_view keywordText(LineKind kind);

/// Why a line is not well formed, as far as the reader reads it: the first fault it met.
enum class LineFault : unsigned char {
    None,
    /// A ROOT or JOINT without a name.
    NoName,
    /// A word where a number goes (OFFSET, Frame Time:) that is not one.
    NotANumber,
    /// A word where a count goes (Frames:, the first of CHANNELS) that is not one.
    NotACount,
    /// A word of CHANNELS that names none of the six channels.
    NotAChannel,
    /// Not as many words as the keyword takes: three numbers (OFFSET), one (Frames:, Frame
    /// Time:), a count and as many channels (CHANNELS), none (the other keywords).
    WordCount,
    /// A closing brace with none open.
    ClosesNothing
};

/// One line as far as it has been read; complete when its last piece is handed on.
struct Line {
    /// Counted from 1.
    std::uint64_t number = 1;
    LineKind kind = LineKind::Pending;
    /// The joint the line declares (ROOT, JOINT, End Site), opens, closes, or gives the OFFSET
    /// or CHANNELS of (the innermost open one): an index into Hierarchy::joints, or kNoJoint
    /// (none, after MOTION, or past kMostJoints).
    std::size_t joint = kNoJoint;
    /// ROOT and JOINT: the name's length in bytes, blanks around it left out.
    std::uint64_t nameLength = 0;
    /// Why what follows the keyword is not what the keyword takes, as far as the reader reads
    /// it: a name (ROOT, JOINT), a count (Frames:), a number (Frame Time:); reading the
    /// hierarchy, also three numbers (OFFSET), a count and as many names of channels
    /// (CHANNELS), nothing (the others), and a brace that closes nothing.
    LineFault fault = LineFault::None;
    /// The words read after the keyword (not a ROOT's or JOINT's name), and the count of a
    /// Frames: or CHANNELS line as far as it is one.
    std::uint64_t words = 0;
    std::uint64_t count = 0;
    /// With NotANumber, NotACount and NotAChannel: the start of the word at fault (at most 64
    /// bytes), valid while the visitor holds the line.
    std::string_view faultWord = {};

    bool wellFormed() const { return fault == LineFault::None; }
};

/// A stretch of a line's bytes, handed to a visitor in file order: every byte of the input but
/// its line ends comes in exactly one piece (or run of plain lines, see BvhVisitor). A piece
/// lies in one block, so its views last until the visitor returns.
struct LinePiece {
    /// The line's bytes, without its end.
    std::string_view bytes;
    /// With the last piece of a line: the bytes that end it in this block ("\r\n", "\n" or
    /// "\r"; a CR at the end of a block that an LF follows in the next is "\r", and that LF is
    /// not handed on), empty for a last line without end.
    std::string_view terminator;
    /// True for the last piece of the line.
    bool lineEnds = false;
    /// True when the bytes lie in the name of a ROOT or JOINT line, which runs from its first
    /// byte that is not blank after the keyword's blanks to the line's end (blanks after it
    /// too): the name never shares a piece with the bytes before it.
    bool inName = false;
    /// True when the line's bytes in this block hold a byte the reader's scan table marks.
    bool marked = false;
    /// The line: its kind once its first word is read; all of it with its last piece.
    const Line& line;
};

/// Takes a file's lines from a BvhReader, piece by piece.
class BvhVisitor {
public:
    /// Takes the next piece of the file.
    virtual void take(const LinePiece& piece) = 0;

    /// From a reader that joins plain lines: takes the next run of them, `lines` holding them
    /// whole with their CR LF, `last` the last of them. A plain line ends in CR LF within one
    /// block, holds no marked byte, and the reader has nothing to tell of it: any such line when
    /// it reads the lines alone, else a Frame or Other line, told by its first byte (neither a
    /// blank nor a keyword's first). That is nearly all of a file's motion data. These visitors
    /// ignore them.
    virtual void takePlainLines(std::string_view lines, const Line& last);

protected:
    ~BvhVisitor() = default;
};

/// How much of each line a reader reads, and so what its visitors and its owner may rely on.
enum class Reading : unsigned char {
    /// The lines alone: every line's kind stays Pending, no piece is in a name, and the
    /// hierarchy and the motion header stay empty.
    Lines,
    /// Also each line's kind, the names of ROOT and JOINT lines, and the motion header.
    Kinds,
    /// Also the hierarchy: the joints, their braces, OFFSETs and CHANNELS.
    Hierarchy
};

/// Whether a reader hands plain lines (see BvhVisitor::takePlainLines) on one by one, as any
/// other line, or joins those that follow each other in a block into runs: the bytes of motion
/// data then cost the visitor one call per run rather than one per line.
enum class PlainLines { OneByOne, Joined };

/// What a reader is asked for: each costs only the passes that ask for it.
struct ReaderOptions {
    Reading reading = Reading::Hierarchy;
    PlainLines plainLines = PlainLines::OneByOne;
};

/// Reads a BVH file fed in blocks of any size, once through: splits it into lines (ending at
/// CR LF, LF or a lone CR, also across blocks), tells each line's kind, hands every piece of
/// every line to a visitor, and fills the hierarchy, the motion header and the start check as
/// it goes, as far as its options ask. Holds no line and no name whole: a few words of the
/// line at hand, the start of the name at hand and what Hierarchy keeps, so its memory stays
/// flat whatever the file.
class BvhReader {
public:
    /// A reader that marks the lines holding a byte `marks` marks (see LinePiece::marked);
    /// `marks` must outlive it.
    BvhReader(const ScanTable& marks, ReaderOptions options);
    /// A reader that marks nothing.
    explicit BvhReader(ReaderOptions options = {});

    /// Reads the next block, handing its pieces to `visitor`.
    void feed(std::string_view block, BvhVisitor& visitor);
    /// Ends the file: hands `visitor` the end of a last line without terminator, if any.
    void finish(BvhVisitor& visitor);

    /// Whether the file starts like a BVH file, as far as read (see BvhStartCheck).
    BvhStartCheck::Verdict start() const { return start_.verdict(); }
    const Hierarchy& hierarchy() const { return hierarchy_; }
    const MotionHeader& motion() const { return motion_; }
    const LineEndCounts& lineEnds() const { return lineEnds_; }

private:
    // Where the reading of the current line stands.
    enum class Step : unsigned char {
        Indent,     // blanks before the first word
        Word,       // a keyword, or the second word of `End Site` or `Frame Time:`
        WordGap,    // blanks between the two words of such a keyword
        NameGap,    // blanks between ROOT or JOINT and the name
        Name,       // the name, to the line's end
        Arguments,  // the words after a keyword
        Rest        // nothing more to read
    };

    // A word of a line, kept as long as it may still be a keyword or a short argument.
    struct Word {
        static constexpr std::size_t kMostBytes = kMostNumberBytes;
        char bytes[kMostBytes];
        std::size_t size = 0;
        bool tooLong = false;
        std::string_view view() const { return {bytes, size}; }
    };

    void takeLinePiece(const char* data, std::size_t from, std::size_t to, bool marked,
                       std::string_view terminator, BvhVisitor& visitor);
    void handRunOn(const char* data, BvhVisitor& visitor);
    // Reads the words of the line in data[at, to); returns where its name begins, if there.
    std::size_t readWords(const char* data, std::size_t at, std::size_t to);
    void endKeyword();
    void decide(LineKind kind);
    void readArguments(const char* data, std::size_t at, std::size_t to);
    void takeArgumentBytes(std::string_view bytes);
    void endArgument();
    void readName(std::string_view piece);
    void setFault(LineFault fault, std::string_view word = {});
    void endLine();
    void addToHierarchy();
    void declareJoint(bool endSite);
    std::size_t innermostJoint() const;
    void resetLine();

    const ScanTable& marks_;
    LineEndFinder findLineEnd_;
    Reading reading_;
    bool joinsPlainLines_;
    BvhStartCheck start_;
    LineEndCounts lineEnds_;
    Hierarchy hierarchy_;
    MotionHeader motion_;

    Line line_;
    Step step_ = Step::Indent;
    // Whether the line was read further than its first byte, so that there is more to reset.
    bool wordsRead_ = false;
    // While `step_` is Word: whether it is a second word, and of which keyword.
    LineKind firstOfTwo_ = LineKind::Pending;
    Word word_;
    // The start of the word the line's fault is about.
    Word faultWord_;
    // The arguments of the line so far: how many; the bytes of the one at hand and its value
    // as a count, while it is all digits; the numbers of OFFSET or Frame Time:, the count and
    // channels of CHANNELS, the count of Frames:.
    std::size_t arguments_ = 0;
    std::uint64_t argumentBytes_ = 0;
    std::uint64_t count_ = 0;
    bool countRead_ = true;
    std::array<double, 3> numbers_{};
    std::uint64_t channelCount_ = 0;
    std::vector<Channel> channels_;
    std::uint64_t frames_ = 0;
    // The name at hand: its kept start, its length so far and the blanks at its end.
    std::string name_;
    std::uint64_t nameBytes_ = 0;
    std::uint64_t trailingBlanks_ = 0;

    // The file so far: past MOTION; the joint declared last, until its brace opens; the joints
    // whose braces are open, innermost last, and the open braces past kMostJoints of them.
    bool inMotion_ = false;
    std::size_t declared_ = kNoJoint;
    std::vector<std::size_t> open_;
    std::uint64_t openPastKept_ = 0;
    // The run of plain lines of this block not yet handed on.
    std::size_t runFrom_ = 0;
    std::size_t runTo_ = 0;
    // Bytes of the current line have been handed on, its end not yet.
    bool lineOpen_ = false;
    // A block ended in CR: an LF at the start of the next one belongs to it.
    bool crPending_ = false;
};

}  // namespace skelvane::conversion
