// The automaton of a contains mapping's texts: which row's text occurs first in the row order,
// and how much of a text no row's text can still begin in, held against the rows' texts looked
// for one at a time.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "conversion/rename/search_automaton.h"
#include "support/sanitizers.h"

namespace skelvane::conversion {
namespace {

TEST(SearchAutomaton, FindsTheFirstRowFromTheOneAskedForAndTheSettledStart) {
    // Texts that end inside one another, a text given twice, one longer than the automaton
    // holds, one a row never finds.
    const std::vector<std::string_view> texts = {
        "he", "she", "his", "hers", "he", "e", "abcd", "bc", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ",
        ""};
    const SearchAutomaton automaton(texts);
    constexpr std::size_t kNoRow = 10;
    const struct {
        const char* name;
        std::string_view text;
        std::size_t fromRow;
        std::size_t firstRow;
        std::size_t settled;
    } cases[] = {
        {"NothingOccurs", "xyz", 0, kNoRow, 3},
        {"Empty", "", 0, kNoRow, 0},
        {"FirstOfSeveral", "ushers", 0, 0, 1},
        {"EarlierRowsLeftOut", "ushers", 1, 1, 1},
        {"RowThatDoesNotOccurPassedOver", "ushers", 2, 3, 1},
        {"SameTextInALaterRow", "ushers", 4, 4, 1},
        {"ShortTextAtTheEndOfLongerOnes", "ushers", 5, 5, 1},
        {"FromPastEveryRow", "ushers", kNoRow, kNoRow, 1},
        {"LongTextBegunAtTheEnd", "xxab", 0, kNoRow, 2},
        {"ShortTextInsideABegunLongOne", "abc", 6, 7, 0},
        {"ShortTextInsideACompleteLongOne", "abcd", 7, 7, 0},
        {"LongTextCompletedAtTheEnd", "abcd", 6, 6, 0},
        {"LongTextBrokenOff", "abcxbc", 6, 7, 4},
        {"SettledAgainAfterABegunText", "sx", 0, kNoRow, 2},
        {"EveryEndBeginsAText", "shshsh", 0, kNoRow, 0},
        {"StartOfALongTextFoundForItsRow", "x0123456789ABCDEFGHIJKLMNOPQRSTUVw", 8, 8, 34},
        {"LongTextBegunAtTheEndOfAText", "x0123456789ABCDEFGHIJKLMNOPQRSTU", 8, kNoRow, 1},
    };
    // One set of marks for every pass, as a renamer keeps it, twice over.
    SearchAutomaton::Marks marks;
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            const SearchAutomaton::Found found = automaton.find(c.text, c.fromRow, marks);
            EXPECT_EQ(found.firstRow, c.firstRow);
            EXPECT_EQ(found.settled, c.settled);
        }
    }
}

// The plain answers: each row's text looked for on its own, and each start of the text tried
// against the start of every text, of each text what the automaton holds.
SearchAutomaton::Found foundPlainly(const std::vector<std::string>& texts, std::string_view text,
                                    std::size_t fromRow) {
    SearchAutomaton::Found found{texts.size(), 0};
    const auto indexed = [](std::string_view row) {
        return row.substr(0, SearchAutomaton::kIndexedBytes);
    };
    for (std::size_t row = fromRow; row < texts.size(); ++row) {
        if (!texts[row].empty() && text.find(indexed(texts[row])) != std::string_view::npos) {
            found.firstRow = row;
            break;
        }
    }
    const auto begunAt = [&](std::size_t end) {
        for (std::size_t start = 0; start < end; ++start) {
            for (const std::string& row : texts) {
                if (!row.empty() && indexed(row).starts_with(text.substr(start, end - start))) {
                    return true;
                }
            }
        }
        return false;
    };
    for (found.settled = text.size(); begunAt(found.settled);) --found.settled;
    return found;
}

TEST(SearchAutomaton, AgreesWithEachTextLookedForOnItsOwn) {
    std::mt19937 random(20261209);
    const auto pick = [&](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    // Texts of a few bytes, or in every other mapping texts that all start with q, so that the
    // state after it has dozens of edges.
    std::string_view alphabet;
    const auto text = [&](std::size_t most) {
        std::string text(1 + pick(most), 'a');
        for (char& c : text) c = alphabet[pick(alphabet.size())];
        return text;
    };
    int occurring = 0;
    int unsettled = 0;
    const int mappings = skelvane::testing::rounds(300);
    for (int i = 0; i < mappings; ++i) {
        const bool wide = i % 2 == 1;
        alphabet = wide ? "qabcdefghijklmnopqrstuvwxyz0123456789" : "aab:";
        std::vector<std::string> texts(1 + pick(wide ? 100 : 40));
        // Now and then a text given again, in the next row.
        for (std::size_t row = 0; row < texts.size(); ++row) {
            texts[row] = row > 0 && pick(8) == 0 ? texts[row - 1] : wide ? "q" + text(2) : text(6);
        }
        const std::vector<std::string_view> views(texts.begin(), texts.end());
        const SearchAutomaton automaton(views);
        SearchAutomaton::Marks marks;
        for (int j = 0; j < 40; ++j) {
            const std::string line = text(30);
            const std::size_t fromRow = pick(texts.size() + 1);
            SCOPED_TRACE(::testing::Message()
                         << "mapping " << i << ", text '" << line << "', from row " << fromRow);
            const SearchAutomaton::Found expected = foundPlainly(texts, line, fromRow);
            const SearchAutomaton::Found found = automaton.find(line, fromRow, marks);
            ASSERT_EQ(found.firstRow, expected.firstRow);
            ASSERT_EQ(found.settled, expected.settled);
            occurring += expected.firstRow > fromRow && expected.firstRow < texts.size();
            unsettled += expected.settled > 0 && expected.settled < line.size();
        }
    }
    // More than three of a mapping's 40 lines each: 900 of 12 000 in a plain build.
    EXPECT_GT(occurring, 3 * mappings);
    EXPECT_GT(unsettled, 3 * mappings);
}

}  // namespace
}  // namespace skelvane::conversion
