#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace skelvane::conversion {

/// The texts of a contains mapping's rows in one automaton (Aho-Corasick), so that a single
/// pass over a text tells which rows' texts may occur in it and where one may begin at its end,
/// whatever the number of rows. Only the first kIndexedBytes of each text go in, so that its
/// size has a bound far below the mapping's: a row with a longer text is found where its start
/// occurs, for the row to look for the rest itself.
class SearchAutomaton {
public:
    /// How much of each text goes into the automaton: longer than nearly any joint name.
    static constexpr std::size_t kIndexedBytes = 32;

    /// What one pass found.
    struct Found {
        /// The first row, from the one asked for on, whose text may occur in the text: it does,
        /// or its first kIndexedBytes do. The number of rows when there is none.
        std::size_t firstRow;
        /// How much of the text is settled for the rows before that one: no end of that much
        /// begins the text of any of them, so none can begin there and run on past it, whatever
        /// follows.
        std::size_t settled;
    };

    /// What a pass keeps of its own so that each text a row looks for is weighed once: one per
    /// renamer, as passes of one automaton may run in several at once.
    class Marks {
    private:
        friend class SearchAutomaton;
        std::vector<std::uint32_t> seen_;
        std::uint32_t pass_ = 0;
    };

    /// The automaton of the rows' texts, row i looking for `texts[i]`; a row with no text is
    /// never found.
    explicit SearchAutomaton(const std::vector<std::string_view>& texts);
    SearchAutomaton(const SearchAutomaton&) = delete;
    SearchAutomaton& operator=(const SearchAutomaton&) = delete;

    /// One pass over `text`: the first row from `fromRow` on whose text may occur in it, and how
    /// much of it is settled.
    Found find(std::string_view text, std::size_t fromRow, Marks& marks) const;

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // One state: the start of some row's text, reached by reading it from the root.
    struct State {
        // Its edges, sorted by byte, at [edgesFrom, edgesFrom + edgeCount) in the edge arrays.
        std::uint32_t edgesFrom = 0;
        std::uint32_t edgeCount = 0;
        // The state of its longest proper end that is a state.
        std::uint32_t fail = 0;
        // The longest of its ends (itself included) that is some row's whole text, as an index
        // into texts_; kNone when none is.
        std::uint32_t text = kNone;
    };

    // One distinct text of the rows: the rows that look for it, in order, at
    // [rowsFrom, rowsTo) in rows_, and the next shorter end of it that is a text.
    struct Text {
        std::uint32_t rowsFrom = 0;
        std::uint32_t rowsTo = 0;
        std::uint32_t shorter = kNone;
    };

    std::uint32_t next(std::uint32_t state, unsigned char byte) const;

    std::vector<State> states_;
    std::vector<unsigned char> edgeBytes_;
    std::vector<std::uint32_t> edgeTargets_;
    // The root's edges for every byte, the root itself where there is none.
    std::vector<std::uint32_t> rootNext_;
    std::vector<Text> texts_;
    std::vector<std::uint32_t> rows_;
    std::size_t rowCount_;
};

}  // namespace skelvane::conversion
