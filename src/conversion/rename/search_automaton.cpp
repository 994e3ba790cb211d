#include "conversion/rename/search_automaton.h"

#include <algorithm>
#include <utility>

namespace skelvane::conversion {

namespace {

// Past this many edges a state's edges are searched by halves rather than one by one.
constexpr std::uint32_t kMostEdgesLookedThrough = 12;

}  // namespace

SearchAutomaton::SearchAutomaton(const std::vector<std::string_view>& texts)
    : rootNext_(256, 0), rowCount_(texts.size()) {
    // The rows by text, then by order: in this order each text shares its start with the one
    // before it, and the children of every state are made in the order of their bytes.
    const auto indexed = [&](std::uint32_t row) { return texts[row].substr(0, kIndexedBytes); };
    std::vector<std::uint32_t> order;
    for (std::uint32_t row = 0; row < texts.size(); ++row) {
        if (!texts[row].empty()) order.push_back(row);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return indexed(a) < indexed(b); });

    // The trie, its children linked in the order of their bytes while it is built.
    struct Node {
        std::uint32_t firstChild = kNone;
        std::uint32_t lastChild = kNone;
        std::uint32_t sibling = kNone;
        unsigned char byte = 0;
    };
    std::vector<Node> nodes(1);
    states_.resize(1);
    std::vector<std::uint32_t> path{0};  // the states along the text before
    std::string_view previous;
    rows_.reserve(order.size());
    for (const std::uint32_t row : order) {
        const std::string_view text = indexed(row);
        if (!texts_.empty() && text == previous) {
            rows_.push_back(row);
            ++texts_.back().rowsTo;
            continue;
        }
        const auto shared = static_cast<std::size_t>(
            std::mismatch(text.begin(), text.end(), previous.begin(), previous.end()).first -
            text.begin());
        path.resize(shared + 1);
        for (std::size_t depth = shared; depth < text.size(); ++depth) {
            const auto state = static_cast<std::uint32_t>(nodes.size());
            Node& parent = nodes[path.back()];
            if (parent.lastChild == kNone) {
                parent.firstChild = state;
            } else {
                nodes[parent.lastChild].sibling = state;
            }
            parent.lastChild = state;
            nodes.push_back({kNone, kNone, kNone, static_cast<unsigned char>(text[depth])});
            states_.push_back({});
            path.push_back(state);
        }
        states_[path.back()].text = static_cast<std::uint32_t>(texts_.size());
        texts_.push_back({static_cast<std::uint32_t>(rows_.size()),
                          static_cast<std::uint32_t>(rows_.size() + 1), kNone});
        rows_.push_back(row);
        previous = text;
    }

    // Each state's edges side by side, sorted by byte.
    for (std::uint32_t state = 0; state < nodes.size(); ++state) {
        states_[state].edgesFrom = static_cast<std::uint32_t>(edgeBytes_.size());
        for (std::uint32_t child = nodes[state].firstChild; child != kNone;
             child = nodes[child].sibling) {
            edgeBytes_.push_back(nodes[child].byte);
            edgeTargets_.push_back(child);
        }
        states_[state].edgeCount =
            static_cast<std::uint32_t>(edgeBytes_.size()) - states_[state].edgesFrom;
    }
    for (std::uint32_t child = nodes[0].firstChild; child != kNone; child = nodes[child].sibling) {
        rootNext_[nodes[child].byte] = child;
    }

    // The failure links, shallower states first: a state's longest proper end that is a state
    // is reached from its parent's, and the texts that end there follow from it.
    std::vector<std::uint32_t> queue;
    queue.reserve(nodes.size());
    for (std::uint32_t child = nodes[0].firstChild; child != kNone; child = nodes[child].sibling) {
        queue.push_back(child);
    }
    for (std::size_t at = 0; at < queue.size(); ++at) {
        const std::uint32_t state = queue[at];
        State& current = states_[state];
        if (current.text == kNone) {
            current.text = states_[current.fail].text;
        } else {
            texts_[current.text].shorter = states_[current.fail].text;
        }
        for (std::uint32_t child = nodes[state].firstChild; child != kNone;
             child = nodes[child].sibling) {
            states_[child].fail = next(current.fail, nodes[child].byte);
            queue.push_back(child);
        }
    }
}

std::uint32_t SearchAutomaton::next(std::uint32_t state, unsigned char byte) const {
    for (;;) {
        if (state == 0) return rootNext_[byte];
        const State& current = states_[state];
        const unsigned char* const bytes = edgeBytes_.data() + current.edgesFrom;
        const unsigned char* const end = bytes + current.edgeCount;
        const unsigned char* edge = bytes;
        if (current.edgeCount <= kMostEdgesLookedThrough) {
            while (edge != end && *edge != byte) ++edge;
        } else {
            edge = std::lower_bound(bytes, end, byte);
            if (edge != end && *edge != byte) edge = end;
        }
        if (edge != end) return edgeTargets_[current.edgesFrom + (edge - bytes)];
        state = current.fail;
    }
}

SearchAutomaton::Found SearchAutomaton::find(std::string_view text, std::size_t fromRow,
                                             Marks& marks) const {
    if (marks.seen_.size() != texts_.size()) marks.seen_.assign(texts_.size(), 0);
    if (++marks.pass_ == 0) {
        std::fill(marks.seen_.begin(), marks.seen_.end(), 0);
        marks.pass_ = 1;
    }
    const std::uint32_t pass = marks.pass_;
    std::size_t firstRow = rowCount_;
    std::size_t settled = 0;
    std::uint32_t state = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        state = next(state, static_cast<unsigned char>(text[at]));
        // At the root no end of the text read so far begins a row's text.
        if (state == 0) {
            settled = at + 1;
            continue;
        }
        // The texts that end here, longest first; one already weighed in this pass has had the
        // shorter ones after it weighed too.
        for (std::uint32_t found = states_[state].text;
             found != kNone && marks.seen_[found] != pass; found = texts_[found].shorter) {
            marks.seen_[found] = pass;
            const auto rows = rows_.begin();
            const auto first = std::lower_bound(rows + texts_[found].rowsFrom,
                                                rows + texts_[found].rowsTo, fromRow);
            if (first != rows + texts_[found].rowsTo)
                firstRow = std::min<std::size_t>(firstRow, *first);
        }
    }
    return {firstRow, settled};
}

}  // namespace skelvane::conversion
