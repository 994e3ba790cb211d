// Contains mappings across the pieces a line comes in: what a row may still match is held back,
// no more than that, and a text the rows lengthen streams on in bounded chunks.
#include <gtest/gtest.h>

#include <optional>

#include "conversion/rename/line_renamer.h"
#include "reference/reference_conversion.h"
#include "support/renamer_pieces.h"
#include "support/sanitizers.h"

namespace skelvane::conversion {
namespace {

using reference::renameLinePlain;

TEST(ContainsMapping, HoldsBackAcrossPiecesWhatARowMayStillMatch) {
    // Each case cut at every offset and in small pieces, among rows added that never match:
    // 300, or 4096 so that each row hands on 512 bytes at a time and the line crosses chunks,
    // or none where the order of the rows is the point.
    const auto repeated = [](std::string_view text, std::size_t times) {
        std::string result;
        while (times-- > 0) result += text;
        return result;
    };
    const struct {
        const char* name;
        std::vector<MappingRow> rows;
        std::size_t rowCount;
        std::string line;
        std::string expected;
    } cases[] = {
        // rHand writes the n that completes rShin, its start in the piece before.
        {"WrittenTextCompletesALaterRowsText",
         {{"rHand", "nothing", 0}, {"rShin", "nothing", 0}},
         300,
         "llrShirHand",
         "llnothingothing"},
        {"WrittenTextAfterTheCut", {{"xy", "b", 0}, {"ab", "Z", 0}}, 300, "axy", "Z"},
        {"ManyChunks",
         {{"xy", "b", 0}, {"ab", "Z", 0}},
         4096,
         repeated("axy", 180),
         repeated("Z", 180)},
        // The automaton holds 32 bytes of a text: the start of this one occurs alone, then
        // the whole of it, across the cut too.
        {"LongTextWhoseStartOccurs",
         {{"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", "L", 0}, {"zz", "Q", 0}},
         300,
         "0123456789ABCDEFGHIJKLMNOPQRSTUVWXzz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         "0123456789ABCDEFGHIJKLMNOPQRSTUVWXQL"},
        // The long text looks for itself alone, then the automaton for the rows after it:
        // where a piece ends after more of its start than the automaton holds, it still holds
        // that start back.
        {"LongTextSearchedAloneBeforeTheAutomaton",
         {{"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", "L", 0},
          {"~1", "", 0},
          {"~2", "", 0},
          {"~3", "", 0},
          {"-", "+", 0}},
         5,
         "-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-",
         "+L+"},
        // Every end of the line may begin aab, for longer than any text: each row holds back
        // its own end.
        {"LongBegunEnd",
         {{"aab", "X", 0}},
         300,
         repeated("a", 300) + "b",
         repeated("a", 298) + "X"},
        {"LongBegunEndChained",
         {{"ab", "b", 0}, {"bbb", "c", 0}},
         300,
         repeated("a", 300) + "bbb",
         repeated("a", 299) + "c"},
    };
    RandomMappings random(20261210);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Mapping mapping = random.padded(mappingOf(MatchMode::Contains, c.rows), c.rowCount);
        ASSERT_EQ(renameLinePlain(c.line, mapping, {}), c.expected) << "the reference itself";
        const CompiledMapping compiled(mapping, {});
        LineRenamer renamer(compiled);
        EXPECT_EQ(fed(renamer, c.line, true), c.expected);
        expectInAnyPieces(renamer, c.line, c.expected);
    }
}

TEST(ContainsMapping, HoldsBackNoMoreThanItsRowsMayStillMatch) {
    // A line of a MiB that no row changes, fed in pieces: all of it but a few bytes for each
    // row goes out as it comes, even where every end of the text begins some row's text.
    struct CountingSink final : ByteSink {
        std::size_t count = 0;
        std::error_code write(std::string_view bytes) override {
            count += bytes.size();
            return {};
        }
    };
    std::vector<MappingRow> manyRows;
    for (int i = 0; i < 4096; ++i) manyRows.push_back({"ab" + std::to_string(i) + "x", "Q", 0});
    const struct {
        const char* name;
        std::vector<MappingRow> rows;
        std::string piece;
    } cases[] = {
        {"EveryEndBeginsAText", {{"aab", "X", 0}}, std::string(4096, 'a')},
        {"TextRepeatingTheStartOfOne", {{"ab ab ab x", "Y", 0}, {"b", "b", 0}}, "ab ab ab ab "},
        {"ManyRowsSharingTheirStart", manyRows, "ab ab ab "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Mapping mapping = mappingOf(MatchMode::Contains, c.rows);
        const CompiledMapping compiled(mapping, {});
        LineRenamer renamer(compiled);
        CountingSink sink;
        std::size_t fed = 0;
        while (fed < (1 << 20)) {
            ASSERT_FALSE(renamer.feed(c.piece, false, sink));
            fed += c.piece.size();
            ASSERT_GE(sink.count + c.rows.size() * compiled.longestSearch(), fed);
        }
        ASSERT_FALSE(renamer.feed({}, true, sink));
        EXPECT_EQ(sink.count, fed);
    }
}

// The plain reference applied one row at a time, given up once the text grows past `most`
// bytes.
std::optional<std::string> renamedPlainUpTo(std::string text, const Mapping& mapping,
                                            std::size_t most) {
    for (const MappingRow& row : mapping.rows) {
        text = renameLinePlain(text, mappingOf(MatchMode::Contains, {row}), {});
        if (text.size() > most) return std::nullopt;
    }
    return text;
}

TEST(ContainsMapping, LengthenedTextGoesOnInBoundedChunksAsTheReferenceWrites) {
    // 4096 rows, so that each row hands on 512 bytes at a time: lines and replacements longer
    // than that, cut anywhere, cross chunks in the middle of stretches, matches and carries.
    // The rows added never match, so the plain reference needs only the others.
    struct LargestWrite final : ByteSink {
        std::string text;
        std::size_t largest = 0;
        std::error_code write(std::string_view bytes) override {
            largest = std::max(largest, bytes.size());
            text.append(bytes);
            return {};
        }
    };
    RandomMappings random(20261208);
    std::size_t longest = 0;
    int cutAnywhere = 0;
    for (int i = 0; i < skelvane::testing::rounds(40); ++i) {
        const Mapping lengthening = random.lengtheningMapping();
        const Mapping mapping = random.padded(lengthening, 4096);
        const CompiledMapping compiled(mapping, {});
        LineRenamer renamer(compiled);
        ASSERT_EQ(renamer.chunkBytes(), 512u);
        for (int j = 0; j < 4; ++j) {
            std::string line;
            for (std::size_t length = 1 + random.pick(j == 0 ? 400 : 1500); line.size() < length;) {
                line += random.line(lengthening);
            }
            // Rows of the same mapping may lengthen the text thousands of times over: such
            // lines are left out, for the reference's sake.
            const std::optional<std::string> plain = renamedPlainUpTo(line, lengthening, 64 << 10);
            if (!plain) continue;
            const std::string& expected = *plain;
            SCOPED_TRACE(::testing::Message() << "mapping " << i << ", line '" << line << "'");
            LargestWrite sink;
            ASSERT_FALSE(renamer.feed(line, true, sink));
            ASSERT_EQ(sink.text, expected);
            // A line no row can touch passes whole; through the rows, nothing goes in one piece
            // longer than a chunk.
            if (expected != line) {
                EXPECT_LE(sink.largest, 512u);
            }
            longest = std::max(longest, expected.size());
            if (line.size() <= 400 && expected.size() <= (8 << 10) && expected.size() > 1024) {
                expectInAnyPieces(renamer, line, expected);
                ++cutAnywhere;
            }
        }
    }
    EXPECT_GT(longest, std::size_t{16 << 10});
    EXPECT_GE(cutAnywhere, skelvane::testing::rounds(10));
}

TEST(ContainsMapping, FindsMatchesAcrossTheEdgesOfChunks) {
    // With two rows each row hands on 64 KiB at a time; in each case `ab` spans the edge of the
    // first chunk of what the first row hands on, or of the line itself.
    const std::string dashes(65535, '-');
    const struct {
        const char* name;
        MappingRow first;
        std::string line;
        std::string expected;
    } cases[] = {
        {"InAReplacementPassedWhole", {"x", dashes + "ab", 0}, "x", dashes + "Z"},
        {"InGatheredText",
         {"x", "y", 0},
         "x" + dashes.substr(1) + "ab",
         "y" + dashes.substr(1) + "Z"},
        {"InTextPassedWhole", {"x", "", 0}, "x" + dashes + "ab", dashes + "Z"},
        {"InTheLineItself", {"x", "y", 0}, dashes + "ab", dashes + "Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Mapping mapping = mappingOf(MatchMode::Contains, {c.first, {"ab", "Z", 0}});
        const CompiledMapping compiled(mapping, {});
        LineRenamer renamer(compiled);
        ASSERT_EQ(renamer.chunkBytes(), 64u << 10);
        EXPECT_TRUE(fed(renamer, c.line, true) == c.expected);
    }
}

TEST(ContainsMapping, RowsThatDoubleTheTextStreamItAndStopAtTheFirstWriteError) {
    // Thirty rows that each double what the row before wrote make a GiB of one byte; the rows
    // write it in chunks and stop as soon as the sink refuses, after a MiB. The line is then
    // abandoned: the next one starts afresh.
    std::vector<MappingRow> rows(30, MappingRow{"a", "aa", 0});
    rows.push_back({"c", "d", 0});
    const Mapping mapping = mappingOf(MatchMode::Contains, std::move(rows));
    const CompiledMapping compiled(mapping, {});
    LineRenamer renamer(compiled);
    struct FillingSink final : ByteSink {
        std::size_t taken = 0;
        std::size_t largest = 0;
        int refused = 0;
        std::error_code write(std::string_view bytes) override {
            if (taken >= (1 << 20)) {
                ++refused;
                return std::make_error_code(std::errc::no_space_on_device);
            }
            taken += bytes.size();
            largest = std::max(largest, bytes.size());
            return {};
        }
    } sink;
    EXPECT_EQ(renamer.feed("ba", false, sink), std::errc::no_space_on_device);
    EXPECT_EQ(sink.refused, 1);
    EXPECT_LE(sink.largest, renamer.chunkBytes());
    EXPECT_EQ(renamer.chunkBytes(), 64u << 10);
    EXPECT_TRUE(renamer.holdsNothing());
    EXPECT_EQ(fed(renamer, "cb", true), "db");
}

}  // namespace
}  // namespace skelvane::conversion
