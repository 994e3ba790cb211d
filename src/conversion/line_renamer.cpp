#include "conversion/line_renamer.h"

#include <algorithm>
#include <functional>

#include "conversion/joint_line_renamer.h"

namespace skelvane::conversion {

namespace {

bool holds(const std::string& buffer, std::string_view view) {
    const std::less<const char*> before;
    const char* begin = buffer.data();
    return !before(view.data(), begin) && before(view.data(), begin + buffer.capacity() + 1);
}

}  // namespace

std::unique_ptr<Renamer> makeRenamer(const CompiledMapping& mapping) {
    if (mapping.mode() == MatchMode::Exact) return std::make_unique<JointLineRenamer>(mapping);
    return std::make_unique<LineRenamer>(mapping);
}

LineRenamer::LineRenamer(const CompiledMapping& mapping)
    : mapping_(mapping),
      carries_(mapping.renames().size()),
      held_(mapping.renames().size(), false) {
    for (const Rename& rename : mapping.renames()) {
        const auto first = static_cast<unsigned char>(rename.search.empty() ? 0 : rename.search[0]);
        firstBytes_.push_back(first);
        Bytes written;
        for (const char c : rename.replacement) written.set(static_cast<unsigned char>(c));
        replacementBytes_.push_back(written);
    }
}

std::string_view LineRenamer::rename(std::string_view line, RuleHits* hits) {
    if (hits != nullptr) hits->assign(mapping_.renames().size(), false);
    return feed(line, true, hits);
}

std::string_view LineRenamer::feed(std::string_view piece, bool lineEnds, RuleHits* hits) {
    // The bytes that may stand in the text, kept as a superset: a row whose first byte is not
    // among them, and which holds nothing back, passes the text as it is.
    if (holdsNothing() && !mapping_.mayStartMatch(piece, lineEnds)) return piece;
    Bytes present;
    for (const char c : piece) present.set(static_cast<unsigned char>(c));
    if (hits != nullptr) hits->resize(mapping_.renames().size(), false);
    std::string_view text = piece;
    for (std::size_t rule = 0; rule < carries_.size(); ++rule) {
        const bool held = held_[rule];
        if (!held && !present.test(firstBytes_[rule])) continue;
        const char* before = text.data();
        text = applyRule(rule, text, lineEnds, hits);
        if (held) {
            for (const char c : text) present.set(static_cast<unsigned char>(c));
        } else if (text.data() != before) {
            present |= replacementBytes_[rule];
        }
    }
    return text;
}

std::string& LineRenamer::bufferNotHolding(std::string_view a, std::string_view b) {
    for (std::string& buffer : buffers_) {
        if (!holds(buffer, a) && !holds(buffer, b)) return buffer;
    }
    return buffers_[0];  // unreachable: two views lie in at most two of the three buffers
}

std::string_view LineRenamer::applyRule(std::size_t rule, std::string_view in, bool lineEnds,
                                        RuleHits* hits) {
    const Rename& rename = mapping_.renames()[rule];
    const std::string_view search = rename.search;
    std::string& carry = carries_[rule];
    std::string_view text = in;
    if (held_[rule]) {
        std::string& joined = bufferNotHolding(in, {});
        joined.assign(carry).append(in);
        text = joined;
        carry.clear();
        held_[rule] = false;
        --heldCount_;
    }

    // Positions from `undecided` on might begin a match that goes on past this piece; only
    // those holding the search text's first byte need to wait for it.
    std::size_t undecided = text.size();
    if (!lineEnds) {
        const std::size_t mayRunOver =
            text.size() + 1 >= search.size() ? text.size() + 1 - search.size() : 0;
        undecided = std::min(text.find(search.front(), mayRunOver), text.size());
    }
    const auto holdBack = [&](std::size_t from) {
        if (from < text.size()) {
            carry.assign(text.substr(from));
            held_[rule] = true;
            ++heldCount_;
        }
    };

    std::size_t pos = text.find(search);
    if (pos == std::string_view::npos) {
        holdBack(undecided);
        return text.substr(0, undecided);
    }
    if (hits != nullptr) (*hits)[rule] = true;
    std::string& out = bufferNotHolding(text, in);
    out.clear();
    std::size_t from = 0;
    do {
        out.append(text.substr(from, pos - from)).append(rename.replacement);
        from = pos + search.size();
        pos = text.find(search, from);
    } while (pos != std::string_view::npos);
    const std::size_t decidedEnd = std::max(from, undecided);
    out.append(text.substr(from, decidedEnd - from));
    holdBack(decidedEnd);
    return out;
}

}  // namespace skelvane::conversion
