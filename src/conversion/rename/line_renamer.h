#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversion/files/byte_sink.h"
#include "conversion/rename/compiled_mapping.h"

namespace skelvane::conversion {

/// Which rows of a mapping matched, by index into its renames.
using RuleHits = std::vector<bool>;

/// Renames the lines of one file under a mapping. A line may come whole or in pieces, so that
/// no line is ever held whole; what is decided goes out at once, and only the few bytes that
/// a match could still need are held back until the next piece.
class Renamer {
public:
    virtual ~Renamer() = default;

    /// Takes the next piece of the current line and writes the renamed text decided so far to
    /// `out`, in pieces of bounded size however much longer the renamed text grows; when
    /// `lineEnds`, the line ends after this piece and its whole rest is written. Returns the
    /// first error `out` gives, which stops the work; the line is then abandoned.
    virtual std::error_code feed(std::string_view piece, bool lineEnds, ByteSink& out) = 0;

    /// True when nothing of the current line is held back.
    virtual bool holdsNothing() const = 0;
};

/// The renamer for the mapping's match mode: a LineRenamer or a JointLineRenamer. The mapping
/// must outlive it.
std::unique_ptr<Renamer> makeRenamer(const CompiledMapping& mapping);

/// Applies a `contains` mapping's rows, in order, to every line. Each row replaces every
/// non-overlapping occurrence of its text left to right, without rescanning what it wrote, and
/// works on the result of the row before it.
///
/// In pieces, each row decides a position as soon as it sees as many bytes as its text is
/// long, and holds back only the bytes after the last decided one (fewer than its text) until
/// the next piece. The rows form a cascade, each feeding what it has decided to the next, and
/// the result is byte for byte the one of the whole line.
///
/// The cascade runs depth first so that memory stays flat whatever the rows write: a row hands
/// its output on in chunks of at most chunkBytes(), and each chunk goes through all the rows
/// after it before the row goes on. Every row's input is therefore one chunk, and each row
/// keeps at most a chunk of output, a chunk joined to what it held back, and what it held
/// back: a few MB for any mapping a file may hold, even one whose rows double the text one
/// after another.
///
/// Only the rows whose text may occur in a chunk, and those holding bytes back, take it. Each
/// row first looks for its own text, which in a line full of matches finds it for far less than
/// a pass of the mapping's automaton would cost. Once kRowsSearchedAlone rows in a row have
/// found theirs nowhere, or at once where the automaton last carried the text past more rows
/// than that from where such a run began, one pass of the automaton over the chunk finds the
/// first row whose text may occur, and the rows before it pass the chunk on untouched. Where a
/// piece ends inside the line, the first of the rows passed over holds back for them all the
/// chunk's unsettled end (what may begin their texts), so that none of them needs to see what
/// comes next; an unsettled end longer than any text (`aaaa...` under a row `aab`) is held back
/// row by row. What a row writes is looked at again by the rows after it, so a text that one
/// row's replacement makes is found by the next. A line costs a plain search for each row that
/// matches in it, and a pass of the automaton for each long run of rows that do not (and for
/// each row that holds bytes back where a piece ends, at the start of such a run), however many
/// rows the mapping has.
class LineRenamer final : public Renamer {
public:
    /// A renamer for the rows of `mapping`, which must outlive it.
    explicit LineRenamer(const CompiledMapping& mapping);

    std::error_code feed(std::string_view piece, bool lineEnds, ByteSink& out) override {
        return feed(piece, lineEnds, out, nullptr);
    }
    /// The same, adding the rows that match to `hits` when it is given.
    std::error_code feed(std::string_view piece, bool lineEnds, ByteSink& out, RuleHits* hits);

    bool holdsNothing() const override { return heldCount_ == 0; }

    /// The most bytes one row hands on at a time, and so the most any row is handed: about
    /// 2 MiB over all rows, between 512 bytes and 64 KiB each.
    std::size_t chunkBytes() const { return chunkBytes_; }

    /// How many rows in a row look for their own texts before the automaton looks for all the
    /// rest at once. On a line of joint names a pass of the automaton costs about as much as a
    /// dozen rows' own searches; where nearly every byte begins some row's text, about one.
    static constexpr std::size_t kRowsSearchedAlone = 4;

private:
    // One row's work: what it holds back between pieces and, while the rows after it take its
    // output, how far it got in the text it was handed.
    struct Row {
        // The bytes after its last decided position, waiting for the next piece.
        std::string carry;
        // The carry joined to the text it was handed, and its output gathered for the next row.
        std::string joined;
        std::string out;
        // The text being renamed: the input, or `joined`.
        std::string_view text;
        bool lineEnds = false;
        // Bytes before `from` are handed on; `match` is the next match at or after it (npos
        // for none); bytes from `undecided` on wait for the next piece, unless a match ran past.
        std::size_t from = 0;
        std::size_t match = 0;
        std::size_t undecided = 0;
        // How much of the replacement is handed on, npos when none is under way.
        std::size_t replacementDone = 0;
        // True once the last chunk of the text is handed on.
        bool done = false;
        // The row that takes its output: the next one, or, when its text does not occur in what
        // it was handed, the first after it that may change the text.
        std::size_t handsTo = 0;
        // True when the automaton, run for a run of rows that began at this one, last found the
        // next row whose text may occur more than kRowsSearchedAlone rows on.
        bool skipsFar = false;
    };

    std::error_code cascade(std::string_view input, bool lineEnds, ByteSink& out, RuleHits* hits);
    // The first row from `rule` on that must take `chunk`: one that holds bytes back, or whose
    // text may occur in it. The rows before it pass it on as it is, but for its unsettled end
    // where the line goes on, which they hold back (`chunk` loses it). `runFrom` is the first of
    // the rows in a row that passed the chunk on; a pass of the automaton moves it to the row
    // it finds.
    std::size_t firstBusyRow(std::size_t rule, std::string_view& chunk, bool lineEnds,
                             std::size_t& runFrom);
    // True when the rows from `rule` on are to be searched all at once by the automaton rather
    // than each for its own text: the run that began at `runFrom` is long, or was last time.
    bool searchesAll(std::size_t rule, std::size_t runFrom) const;
    // Notes for the run that began at `runFrom` how far the automaton carried a text of
    // `textSize` bytes.
    void noteSkip(std::size_t runFrom, std::size_t firstRow, std::size_t textSize, bool lineEnds);
    // A row that passes `chunk` on as it is holds back what may begin its text at the end
    // (`chunk` loses it); the line goes on after the chunk.
    void holdUndecided(std::size_t rule, std::string_view& chunk);
    // Sets the row to work on `input`, after what it held back; `runFrom` moves past it where
    // it changes the text, and to where the automaton leads where it passes the text on.
    void begin(std::size_t rule, std::string_view input, bool lineEnds, std::size_t& runFrom);
    bool nextChunk(std::size_t rule, std::string_view& chunk, bool& lineEnds, RuleHits* hits);
    // Makes `bytes` the row's carry; it held nothing.
    void hold(std::size_t rule, std::string_view bytes);
    bool isHeld(std::size_t rule) const { return (held_[rule / 64] >> (rule % 64) & 1) != 0; }
    // The first row from `rule` on that holds bytes back, or the number of rows.
    std::size_t nextHeldRow(std::size_t rule) const;
    void abandonLine();

    const CompiledMapping& mapping_;
    const SearchAutomaton* automaton_;
    SearchAutomaton::Marks marks_;
    std::size_t chunkBytes_;
    std::vector<Row> rows_;
    // Which rows' carries hold bytes, a bit per row, apart from the rows for the search over
    // them.
    std::vector<std::uint64_t> held_;
    std::size_t heldCount_ = 0;
    // The rows at work, outermost first: an explicit stack, as thousands of rows would take
    // more than a thread's stack if each called the next.
    std::vector<std::size_t> working_;
};

}  // namespace skelvane::conversion
