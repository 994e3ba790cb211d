#include "conversion/line_renamer.h"

#include <functional>

namespace skelvane::conversion {

namespace {

bool holds(const std::string& buffer, std::string_view view) {
    const std::less<const char*> before;
    const char* begin = buffer.data();
    return !before(view.data(), begin) && before(view.data(), begin + buffer.capacity() + 1);
}

}  // namespace

LineRenamer::LineRenamer(const DroppedParts& dropped) {
    for (std::size_t i = 0; i < kRenameRules.size(); ++i) {
        replacements_[i] = replacementOf(kRenameRules[i], dropped);
    }
}

bool LineRenamer::cannotMatch(std::string_view text) {
    for (char c : text) {
        if (kSearchStartBytes[static_cast<unsigned char>(c)]) return false;
    }
    return true;
}

std::string_view LineRenamer::rename(std::string_view line, RuleHits* hits) {
    if (hits != nullptr) hits->reset();
    return feed(line, true, hits);
}

std::string_view LineRenamer::feed(std::string_view piece, bool lineEnds, RuleHits* hits) {
    if (holdsNothing() && cannotMatch(piece)) return piece;
    std::string_view text = piece;
    for (std::size_t rule = 0; rule < kRenameRules.size(); ++rule) {
        text = applyRule(rule, text, lineEnds, hits);
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
    const std::string_view search = kRenameRules[rule].search;
    std::string& carry = carries_[rule];
    std::string_view text = in;
    if (held_.test(rule)) {
        std::string& joined = bufferNotHolding(in, {});
        joined.assign(carry).append(in);
        text = joined;
        carry.clear();
        held_.reset(rule);
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
            held_.set(rule);
        }
    };

    std::size_t pos = text.find(search);
    if (pos == std::string_view::npos) {
        holdBack(undecided);
        return text.substr(0, undecided);
    }
    if (hits != nullptr) hits->set(rule);
    std::string& out = bufferNotHolding(text, in);
    out.clear();
    std::size_t from = 0;
    do {
        out.append(text.substr(from, pos - from)).append(replacements_[rule]);
        from = pos + search.size();
        pos = text.find(search, from);
    } while (pos != std::string_view::npos);
    const std::size_t decidedEnd = std::max(from, undecided);
    out.append(text.substr(from, decidedEnd - from));
    holdBack(decidedEnd);
    return out;
}

}  // namespace skelvane::conversion
