#include "conversion/rename/line_renamer.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "conversion/rename/joint_line_renamer.h"

namespace skelvane::conversion {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// What the rows may hand on at a time, all together, and the bounds for one row: small enough
// that every row's chunk of output and chunk of input fit in a few MB whatever the mapping,
// large enough that a long line costs few turns of the cascade.
constexpr std::size_t kCascadeBytes = 2 << 20;
constexpr std::size_t kLeastChunk = 512;
constexpr std::size_t kMostChunk = 64 << 10;

std::error_code writeTo(ByteSink& out, std::string_view bytes) {
    return bytes.empty() ? std::error_code() : out.write(bytes);
}

// Positions from the one returned on might begin a match of `search` that goes on past the
// text; only those holding its first byte need to wait for the next piece.
std::size_t undecidedFrom(std::string_view text, std::string_view search, bool lineEnds) {
    if (lineEnds) return text.size();
    const std::size_t mayRunOver =
        text.size() + 1 >= search.size() ? text.size() + 1 - search.size() : 0;
    return std::min(text.find(search.front(), mayRunOver), text.size());
}

}  // namespace

std::unique_ptr<Renamer> makeRenamer(const CompiledMapping& mapping) {
    if (mapping.mode() == MatchMode::Exact) return std::make_unique<JointLineRenamer>(mapping);
    return std::make_unique<LineRenamer>(mapping);
}

LineRenamer::LineRenamer(const CompiledMapping& mapping)
    : mapping_(mapping),
      automaton_(mapping.automaton()),
      chunkBytes_(std::clamp(kCascadeBytes / std::max<std::size_t>(mapping.renames().size(), 1),
                             kLeastChunk, kMostChunk)),
      rows_(mapping.renames().size()),
      held_((mapping.renames().size() + 63) / 64, 0) {
    working_.reserve(rows_.size());
}

std::error_code LineRenamer::feed(std::string_view piece, bool lineEnds, ByteSink& out,
                                  RuleHits* hits) {
    // Where no row's text can start in the piece and nothing is held back, it passes as it is.
    if (holdsNothing() && !mapping_.mayStartMatch(piece, lineEnds)) return writeTo(out, piece);
    if (piece.empty() && !lineEnds) return {};
    if (hits != nullptr) hits->resize(rows_.size(), false);
    // A long piece goes in by chunks too, so that no row is ever handed more than a chunk.
    std::size_t at = 0;
    do {
        const std::string_view part = piece.substr(at, chunkBytes_);
        at += part.size();
        const bool partEndsLine = lineEnds && at == piece.size();
        if (const std::error_code error = cascade(part, partEndsLine, out, hits)) return error;
    } while (at < piece.size());
    return {};
}

std::error_code LineRenamer::cascade(std::string_view input, bool lineEnds, ByteSink& out,
                                     RuleHits* hits) {
    // A chunk goes down the rows from `next` on to those that may change it, each handing on its
    // first chunk of output; a row with more to hand on waits on the stack and takes its turn
    // again once the rows after it are done with what it handed on.
    std::string_view chunk = input;
    bool chunkEndsLine = lineEnds;
    std::size_t next = 0;
    // The rows from runFrom to next looked for their own texts and passed the chunk on as they
    // were handed it; a pass of the automaton begins a new run at the row it leads to.
    std::size_t runFrom = 0;
    for (;;) {
        bool throughAllRows = true;
        for (;;) {
            const std::size_t rule = firstBusyRow(next, chunk, chunkEndsLine, runFrom);
            if (chunk.empty() && !chunkEndsLine) {
                throughAllRows = false;
                break;
            }
            if (rule == rows_.size()) break;
            begin(rule, chunk, chunkEndsLine, runFrom);
            if (!nextChunk(rule, chunk, chunkEndsLine, hits)) {
                throughAllRows = false;
                break;
            }
            if (!rows_[rule].done) working_.push_back(rule);
            next = rows_[rule].handsTo;
        }
        if (throughAllRows) {
            if (const std::error_code error = writeTo(out, chunk)) {
                abandonLine();
                return error;
            }
        }
        // The next chunk of the innermost row that has one.
        for (;;) {
            if (working_.empty()) return {};
            const std::size_t rule = working_.back();
            const bool more = nextChunk(rule, chunk, chunkEndsLine, hits);
            if (!more || rows_[rule].done) working_.pop_back();
            if (!more) continue;
            next = rows_[rule].handsTo;
            runFrom = next;
            break;
        }
    }
}

std::size_t LineRenamer::firstBusyRow(std::size_t rule, std::string_view& chunk, bool lineEnds,
                                      std::size_t& runFrom) {
    std::size_t busy = rule;
    // The first byte that some row passed over may still need, and what the automaton found.
    std::size_t undecided = chunk.size();
    std::optional<SearchAutomaton::Found> found;
    for (; busy < rows_.size() && !isHeld(busy); ++busy) {
        if (searchesAll(busy, runFrom)) {
            found = automaton_->find(chunk, busy, marks_);
            noteSkip(runFrom, found->firstRow, chunk.size(), lineEnds);
            busy = std::min(found->firstRow, nextHeldRow(busy));
            runFrom = busy;
            break;
        }
        const std::string_view search = mapping_.renames()[busy].search;
        if (chunk.find(search) != kNone) break;
        undecided = std::min(undecided, undecidedFrom(chunk, search, lineEnds));
    }
    if (busy == rule || lineEnds) return busy;
    // The rows passed over see the rest of the line after this chunk only as the rows before
    // them leave it, so each must hold back what may begin its text. The first of them holds
    // back the unsettled end for them all where it is no longer than a text; otherwise each
    // holds back its own.
    if (found) {
        if (chunk.size() - found->settled > mapping_.longestSearch()) {
            for (std::size_t idle = rule; idle < busy; ++idle) holdUndecided(idle, chunk);
            return busy;
        }
        undecided = std::min(undecided, found->settled);
    }
    if (undecided < chunk.size()) {
        hold(rule, chunk.substr(undecided));
        chunk = chunk.substr(0, undecided);
    }
    return busy;
}

bool LineRenamer::searchesAll(std::size_t rule, std::size_t runFrom) const {
    return rule - runFrom >= kRowsSearchedAlone || rows_[runFrom].skipsFar;
}

void LineRenamer::noteSkip(std::size_t runFrom, std::size_t firstRow, std::size_t textSize,
                           bool lineEnds) {
    // What is left of a row's output after its full chunks holds few texts whatever the line
    // holds, and tells nothing of the next chunk.
    if (lineEnds || textSize * 2 >= chunkBytes_) {
        rows_[runFrom].skipsFar = firstRow - runFrom > kRowsSearchedAlone;
    }
}

void LineRenamer::holdUndecided(std::size_t rule, std::string_view& chunk) {
    const std::size_t undecided = undecidedFrom(chunk, mapping_.renames()[rule].search, false);
    if (undecided < chunk.size()) {
        hold(rule, chunk.substr(undecided));
        chunk = chunk.substr(0, undecided);
    }
}

void LineRenamer::begin(std::size_t rule, std::string_view input, bool lineEnds,
                        std::size_t& runFrom) {
    Row& row = rows_[rule];
    const std::string_view search = mapping_.renames()[rule].search;
    row.text = input;
    row.lineEnds = lineEnds;
    row.from = 0;
    row.replacementDone = kNone;
    row.done = false;
    row.handsTo = rule + 1;
    const bool held = isHeld(rule);
    if (held) {
        // The input is at most a chunk and the carry no longer than any text: reserved once,
        // the joined text never grows again.
        if (row.joined.capacity() < row.carry.size() + input.size()) {
            row.joined.reserve(std::max(chunkBytes_, input.size()) + mapping_.longestSearch());
        }
        row.joined.assign(row.carry).append(input);
        row.text = row.joined;
        row.carry.clear();
        held_[rule / 64] &= ~(std::uint64_t{1} << (rule % 64));
        --heldCount_;
    }
    row.undecided = undecidedFrom(row.text, search, lineEnds);
    if (held && searchesAll(rule, runFrom)) {
        // A row that held bytes back, its text nowhere in what it now has, hands that on past
        // the rows after it that do not change it either, holding back the unsettled end for
        // them all as firstBusyRow does.
        const SearchAutomaton::Found found = automaton_->find(row.text, rule, marks_);
        noteSkip(runFrom, found.firstRow, row.text.size(), lineEnds);
        if (found.firstRow != rule) {
            row.match = kNone;
            if (lineEnds || row.text.size() - found.settled <= mapping_.longestSearch()) {
                if (!lineEnds) row.undecided = found.settled;
                row.handsTo = std::min(found.firstRow, nextHeldRow(rule + 1));
                runFrom = row.handsTo;
            }
            return;
        }
    }
    row.match = row.text.find(search);
    // The rows after one that changes the text begin a new run.
    if (row.match != kNone) runFrom = rule + 1;
}

bool LineRenamer::nextChunk(std::size_t rule, std::string_view& chunk, bool& lineEnds,
                            RuleHits* hits) {
    Row& row = rows_[rule];
    const Rename& rename = mapping_.renames()[rule];
    const std::string_view search = rename.search;
    const std::string_view replacement = rename.replacement;
    const std::string_view text = row.text;
    // The last chunk of the text: what follows its decided end waits for the next piece.
    const auto finish = [&] {
        row.done = true;
        lineEnds = row.lineEnds;
        if (row.from < text.size()) {
            hold(rule, text.substr(row.from));
        }
    };
    std::string& out = row.out;
    out.clear();
    for (;;) {
        // The next stretch to hand on: the rest of a replacement under way, the text up to the
        // next match, or the decided rest of the text.
        std::string_view stretch;
        bool last = false;
        if (row.replacementDone != kNone) {
            stretch = replacement.substr(row.replacementDone);
        } else if (row.match == row.from) {
            if (hits != nullptr) (*hits)[rule] = true;
            row.replacementDone = replacement.empty() ? kNone : 0;
            row.from += search.size();
            row.match = text.find(search, row.from);
            continue;
        } else if (row.match != kNone) {
            stretch = text.substr(row.from, row.match - row.from);
        } else {
            stretch = text.substr(row.from, std::max(row.from, row.undecided) - row.from);
            last = true;
        }

        // A stretch that fills a chunk, or ends the text, goes on where it lies when nothing is
        // gathered before it; shorter ones are gathered up to a chunk.
        std::string_view taken;
        const bool inPlace = out.empty() && (last || stretch.size() >= chunkBytes_);
        if (inPlace) {
            taken = stretch.substr(0, chunkBytes_);
        } else {
            taken = stretch.substr(0, chunkBytes_ - out.size());
            if (out.capacity() < chunkBytes_) out.reserve(chunkBytes_);
            out.append(taken);
        }
        if (row.replacementDone != kNone) {
            row.replacementDone += taken.size();
            if (row.replacementDone == replacement.size()) row.replacementDone = kNone;
        } else {
            row.from += taken.size();
        }

        const bool ended = last && taken.size() == stretch.size();
        if (ended) finish();
        if (inPlace) {
            chunk = taken;
            if (!ended) lineEnds = false;
            return !chunk.empty() || lineEnds;
        }
        if (ended || out.size() == chunkBytes_) {
            chunk = out;
            if (!ended) lineEnds = false;
            return true;
        }
    }
}

void LineRenamer::hold(std::size_t rule, std::string_view bytes) {
    rows_[rule].carry.append(bytes);
    held_[rule / 64] |= std::uint64_t{1} << (rule % 64);
    ++heldCount_;
}

std::size_t LineRenamer::nextHeldRow(std::size_t rule) const {
    for (std::size_t word = rule / 64; word < held_.size(); ++word) {
        std::uint64_t bits = held_[word];
        if (word == rule / 64) bits &= ~std::uint64_t{0} << (rule % 64);
        if (bits != 0) return std::min(rows_.size(), word * 64 + std::countr_zero(bits));
    }
    return rows_.size();
}

void LineRenamer::abandonLine() {
    working_.clear();
    for (Row& row : rows_) row.carry.clear();
    held_.assign(held_.size(), 0);
    heldCount_ = 0;
}

}  // namespace skelvane::conversion
