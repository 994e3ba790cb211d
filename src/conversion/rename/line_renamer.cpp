#include "conversion/rename/line_renamer.h"

#include <algorithm>

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

class AppendingSink final : public ByteSink {
public:
    explicit AppendingSink(std::string& text) : text_(text) {}
    std::error_code write(std::string_view bytes) override {
        text_.append(bytes);
        return {};
    }

private:
    std::string& text_;
};

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
      chunkBytes_(std::clamp(kCascadeBytes / std::max<std::size_t>(mapping.renames().size(), 1),
                             kLeastChunk, kMostChunk)),
      rows_(mapping.renames().size()),
      held_(mapping.renames().size(), 0) {
    for (const Rename& rename : mapping.renames()) {
        const auto first = static_cast<unsigned char>(rename.search.empty() ? 0 : rename.search[0]);
        firstBytes_.push_back(first);
        Bytes written;
        for (const char c : rename.replacement) written.set(static_cast<unsigned char>(c));
        replacementBytes_.push_back(written);
    }
    working_.reserve(rows_.size());
}

std::string_view LineRenamer::rename(std::string_view line, RuleHits* hits) {
    if (hits != nullptr) hits->assign(mapping_.renames().size(), false);
    whole_.clear();
    AppendingSink sink(whole_);
    feed(line, true, sink, hits);
    return whole_;
}

std::error_code LineRenamer::feed(std::string_view piece, bool lineEnds, ByteSink& out,
                                  RuleHits* hits) {
    // The bytes that may stand in the text, kept as a superset: a row whose first byte is not
    // among them, and which holds nothing back, passes the text as it is.
    if (holdsNothing() && !mapping_.mayStartMatch(piece, lineEnds)) return writeTo(out, piece);
    if (piece.empty() && !lineEnds) return {};
    Bytes present;
    for (const char c : piece) present.set(static_cast<unsigned char>(c));
    if (hits != nullptr) hits->resize(rows_.size(), false);
    // A long piece goes in by chunks too, so that no row is ever handed more than a chunk.
    std::size_t at = 0;
    do {
        const std::string_view part = piece.substr(at, chunkBytes_);
        at += part.size();
        const bool partEndsLine = lineEnds && at == piece.size();
        if (const std::error_code error = cascade(part, partEndsLine, present, out, hits)) {
            return error;
        }
    } while (at < piece.size());
    return {};
}

std::error_code LineRenamer::cascade(std::string_view input, bool lineEnds, const Bytes& present,
                                     ByteSink& out, RuleHits* hits) {
    // A chunk goes down the rows from `next` on, each handing on its first chunk of output; a
    // row with more to hand on waits on the stack and takes its turn again once the rows after
    // it are done with what it handed on.
    std::string_view chunk = input;
    bool chunkEndsLine = lineEnds;
    const Bytes* passed = &present;
    std::size_t next = 0;
    for (;;) {
        bool throughAllRows = true;
        for (std::size_t rule = nextRow(next, *passed); rule < rows_.size();
             rule = nextRow(rule + 1, *passed)) {
            // Most rows find nothing in most chunks: they hand it on as it is, but for what may
            // begin their text at its end.
            if (held_[rule] == 0 && passesUnchanged(rule, chunk, chunkEndsLine)) {
                if (chunk.empty() && !chunkEndsLine) {
                    throughAllRows = false;
                    break;
                }
                continue;
            }
            begin(rule, chunk, chunkEndsLine, *passed);
            if (!nextChunk(rule, chunk, chunkEndsLine, hits)) {
                throughAllRows = false;
                break;
            }
            if (!rows_[rule].done) working_.push_back(rule);
            passed = &rows_[rule].present;
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
            passed = &rows_[rule].present;
            next = rule + 1;
            break;
        }
    }
}

std::size_t LineRenamer::nextRow(std::size_t rule, const Bytes& present) const {
    while (rule < rows_.size() && held_[rule] == 0 && !present[firstBytes_[rule]]) ++rule;
    return rule;
}

bool LineRenamer::passesUnchanged(std::size_t rule, std::string_view& text, bool lineEnds) {
    const std::string_view search = mapping_.renames()[rule].search;
    if (text.find(search) != std::string_view::npos) return false;
    const std::size_t undecided = undecidedFrom(text, search, lineEnds);
    if (undecided < text.size()) {
        rows_[rule].carry.assign(text.substr(undecided));
        held_[rule] = 1;
        ++heldCount_;
        text = text.substr(0, undecided);
    }
    return true;
}

void LineRenamer::begin(std::size_t rule, std::string_view input, bool lineEnds,
                        const Bytes& present) {
    Row& row = rows_[rule];
    const std::string_view search = mapping_.renames()[rule].search;
    row.present = present;
    row.text = input;
    if (held_[rule] != 0) {
        // The input is at most a chunk and the carry shorter than the search text: reserved
        // once, the joined text never grows again.
        if (row.joined.capacity() < row.carry.size() + input.size()) {
            row.joined.reserve(std::max(chunkBytes_, input.size()) + search.size());
        }
        row.joined.assign(row.carry).append(input);
        for (const char c : row.carry) row.present.set(static_cast<unsigned char>(c));
        row.text = row.joined;
        row.carry.clear();
        held_[rule] = 0;
        --heldCount_;
    }
    const std::string_view text = row.text;
    row.lineEnds = lineEnds;
    row.undecided = undecidedFrom(text, search, lineEnds);
    row.from = 0;
    row.match = text.find(search);
    row.replacementDone = kNone;
    row.done = false;
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
            row.carry.assign(text.substr(row.from));
            held_[rule] = 1;
            ++heldCount_;
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
            row.present |= replacementBytes_[rule];
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

void LineRenamer::abandonLine() {
    working_.clear();
    for (Row& row : rows_) row.carry.clear();
    held_.assign(held_.size(), 0);
    heldCount_ = 0;
}

}  // namespace skelvane::conversion
