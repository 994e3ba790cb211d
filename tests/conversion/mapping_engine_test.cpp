// Mappings other than the built-in table through the one engine: contains mappings of any text,
// exact mappings of whole names, held against the plain references whole and in pieces.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "conversion/mapping/presets.h"
#include "conversion/rename/joint_line_renamer.h"
#include "conversion/rename/line_renamer.h"
#include "conversion/rename/stream_converter.h"
#include "reference/reference_conversion.h"
#include "support/sanitizers.h"

namespace skelvane::conversion {
namespace {

using reference::renameLinePlain;

Mapping mappingOf(MatchMode mode, std::vector<MappingRow> rows) {
    Mapping mapping;
    mapping.name = "test";
    mapping.mode = mode;
    mapping.rows = std::move(rows);
    return mapping;
}

// Gathers what a renamer or converter writes.
struct StringSink final : ByteSink {
    std::string text;
    std::error_code write(std::string_view bytes) override {
        text.append(bytes);
        return {};
    }
};

// What the renamer writes for one piece.
std::string fed(Renamer& renamer, std::string_view piece, bool lineEnds) {
    StringSink sink;
    EXPECT_FALSE(renamer.feed(piece, lineEnds, sink));
    return sink.text;
}

// The renamer's result for a line cut into pieces at `cuts`.
std::string renamedInPieces(Renamer& renamer, std::string_view line,
                            std::vector<std::size_t> cuts) {
    cuts.push_back(line.size());
    std::string result;
    std::size_t from = 0;
    for (std::size_t to : cuts) {
        result += fed(renamer, line.substr(from, to - from), to == line.size());
        from = to;
    }
    return result;
}

// Every way to cut the line once, and chunks of a few bytes, must give `expected`.
void expectInAnyPieces(Renamer& renamer, std::string_view line, const std::string& expected) {
    for (std::size_t cut = 0; cut <= line.size(); ++cut) {
        ASSERT_EQ(renamedInPieces(renamer, line, {cut}), expected) << "cut at " << cut;
    }
    for (std::size_t chunk : {1, 2, 5}) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = chunk; at < line.size(); at += chunk) cuts.push_back(at);
        ASSERT_EQ(renamedInPieces(renamer, line, cuts), expected) << "chunks of " << chunk;
    }
}

// The block converter's output for a line cut into blocks at every place, and in blocks of a
// few bytes, must be `expected` and its line end.
void expectConvertedInAnyBlocks(const CompiledMapping& mapping, std::string_view line,
                                const std::string& expected) {
    std::vector<std::vector<std::size_t>> cutsOfEachWay;
    for (std::size_t cut = 0; cut <= line.size(); ++cut) cutsOfEachWay.push_back({cut});
    for (std::size_t chunk : {1, 2, 5}) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = chunk; at < line.size(); at += chunk) cuts.push_back(at);
        cutsOfEachWay.push_back(cuts);
    }
    for (std::vector<std::size_t>& cuts : cutsOfEachWay) {
        StringSink sink;
        BlockConverter converter(mapping, sink);
        cuts.push_back(line.size());
        std::size_t from = 0;
        for (std::size_t to : cuts) {
            ASSERT_FALSE(converter.convert(line.substr(from, to - from)));
            from = to;
        }
        ASSERT_FALSE(converter.finish());
        ASSERT_EQ(sink.text, expected + "\r\n") << "cut at " << ::testing::PrintToString(cuts);
    }
}

TEST(ExactMapping, RenamesWholeJointNamesOnceAndNothingElse) {
    const Mapping mapping = mappingOf(
        MatchMode::Exact, {{"neck", "Neck", 2},
                           {"abdomen", "Chest", 4},
                           {"rShldr", "RightShoulder", 7},
                           {"Bip01 L Thigh", "LeftHip", 21},
                           {"mixamorig:Hips", "Hips", 5},
                           // The collar and shoulder swap works because names match only once.
                           {"LeftShoulder", "LeftCollar", 11},
                           {"LeftArm", "LeftShoulder", 12}});
    const struct {
        const char* name;
        std::string_view line;
        std::string_view expected;
    } cases[] = {
        {"WholeName", "JOINT neck", "JOINT Neck"},
        {"InsideLongerName", "JOINT neckDummy", "JOINT neckDummy"},
        {"DigitAfter", "JOINT abdomen2", "JOINT abdomen2"},
        {"BendJoint", "JOINT rShldrBend", "JOINT rShldrBend"},
        {"BlanksInsideName", "\tJOINT  Bip01 L Thigh \t", "\tJOINT  LeftHip \t"},
        {"ColonInName", "ROOT mixamorig:Hips", "ROOT Hips"},
        {"CollarNotShoulderAgain", "JOINT LeftShoulder", "JOINT LeftCollar"},
        {"ShoulderNotCollarAgain", "JOINT LeftArm", "JOINT LeftShoulder"},
        {"NotAJointLine", "neck abdomen", "neck abdomen"},
        {"OtherKeyword", "JOINTS neck", "JOINTS neck"},
        {"KeywordNeedsABlank", "JOINT\xc2\xa0neck", "JOINT\xc2\xa0neck"},
        {"NoName", "ROOT", "ROOT"},
        {"OnlyBlanks", "JOINT  \t", "JOINT  \t"},
        {"CaseSensitive", "JOINT Neck", "JOINT Neck"},
        {"EndSite", "End Site", "End Site"},
    };
    for (const DroppedParts& dropped : {DroppedParts(), DroppedParts().set(2).set(12)}) {
        const CompiledMapping compiled(mapping, dropped);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (dropped.any() ? ", parts 2 and 12 dropped" : ""));
            const std::string expected = renameLinePlain(c.line, mapping, dropped);
            if (dropped.none()) {
                EXPECT_EQ(expected, c.expected) << "the reference itself";
            }
            expectConvertedInAnyBlocks(compiled, c.line, expected);
        }
    }
}

TEST(ExactMapping, HoldsNoMoreThanTheLongestNameOrTheBlanksAfterIt) {
    const Mapping mapping = mappingOf(MatchMode::Exact, {{"hip", "Hips", 5}});
    const CompiledMapping compiled(mapping, {});
    JointLineRenamer renamer(compiled);
    // A name of 8 MB passes in pieces as soon as it is longer than any row.
    std::string out = fed(renamer, "hi", false);
    const std::string piece(1 << 16, 'p');
    for (int i = 0; i < 128; ++i) {
        const std::string passed = fed(renamer, piece, false);
        ASSERT_EQ(passed.size(), i == 0 ? piece.size() + 2 : piece.size());
        if (i == 0) out += passed;
    }
    EXPECT_EQ(out.substr(0, 5), "hippp");
    fed(renamer, {}, true);
    // Blanks after a name are held while the line may still end, up to a bound.
    EXPECT_EQ(fed(renamer, "hip ", false), "");
    EXPECT_EQ(fed(renamer, " \t", true), "Hips  \t");
    fed(renamer, "hip", false);
    const std::string blanks(JointLineRenamer::kMostHeldBlanks, ' ');
    EXPECT_EQ(fed(renamer, blanks, false), "");
    EXPECT_EQ(fed(renamer, " ", false).size(), 3 + blanks.size() + 1)
        << "given up and passed as it came";
    EXPECT_EQ(fed(renamer, "", true), "");
    EXPECT_EQ(fed(renamer, "hip", true), "Hips") << "the next name is looked at afresh";
}

// Random contains mappings of short texts drawn from letters, capitals, digits, blanks and a
// colon, so that rows start among motion bytes, chain, overlap and delete text.
class RandomMappings {
public:
    explicit RandomMappings(unsigned seed) : random_(seed) {}

    std::string text(std::size_t most) {
        static constexpr std::string_view kAlphabet = "abAB01 :h";
        std::string text(std::uniform_int_distribution<std::size_t>(1, most)(random_), 'a');
        for (char& c : text) c = kAlphabet[pick(kAlphabet.size())];
        return text;
    }

    Mapping mapping() {
        std::vector<MappingRow> rows(1 + pick(12));
        for (MappingRow& row : rows) {
            row.from = text(4);
            row.to = pick(5) == 0 ? "" : text(5);
            row.part = static_cast<int>(pick(24));
        }
        return mappingOf(MatchMode::Contains, std::move(rows));
    }

    // A mapping whose rows lengthen the text: replacements of up to 1600 bytes, chains of
    // rows that each double what the row before wrote, short replacements and deletions.
    Mapping lengtheningMapping() {
        std::vector<MappingRow> rows;
        for (std::size_t i = 1 + pick(6); i > 0; --i) {
            MappingRow row{text(3), "", static_cast<int>(pick(24))};
            switch (pick(4)) {
                case 0:
                    if (pick(2) == 0) row.to = text(5);
                    rows.push_back(row);
                    break;
                case 1:
                    for (std::size_t length = 100 + pick(1500); row.to.size() < length;) {
                        row.to += text(5);
                    }
                    rows.push_back(row);
                    break;
                default:
                    row.from.resize(1 + pick(2));
                    row.to = row.from + row.from;
                    rows.insert(rows.end(), 1 + pick(6), row);
            }
        }
        return mappingOf(MatchMode::Contains, std::move(rows));
    }

    // Rows of which some write what later rows look for: a later row's whole text, its start
    // for what follows the match in the line to complete, or its end for what comes before.
    Mapping chainedMapping() {
        Mapping chained = mapping();
        std::vector<MappingRow>& rows = chained.rows;
        for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
            if (pick(3) == 0) continue;
            const std::string& later = rows[i + 1 + pick(rows.size() - i - 1)].from;
            const std::size_t cut = pick(later.size());
            switch (pick(3)) {
                case 0:
                    rows[i].to = text(2) + later + text(2);
                    break;
                case 1:
                    rows[i].to = text(2) + later.substr(0, cut + 1);
                    break;
                default:
                    rows[i].to = later.substr(cut) + text(2);
            }
        }
        return chained;
    }

    // The same rows, in the same order, among rows that never match, so that the mapping has
    // `count` rows: most start as one of the rows does and go on with a byte no line holds, so
    // that they may begin at the end of any piece; the others look for that byte alone.
    Mapping padded(const Mapping& mapping, std::size_t count) {
        std::vector<MappingRow> rows(count - mapping.rows.size(), MappingRow{"~", "", 0});
        for (MappingRow& row : rows) {
            if (pick(4) == 0) continue;
            const std::string& like = mapping.rows[pick(mapping.rows.size())].from;
            row.from = like.substr(0, 1 + pick(like.size())) + "~";
        }
        std::size_t at = 0;
        for (std::size_t i = 0; i < mapping.rows.size(); ++i) {
            at += pick((rows.size() - at) / (mapping.rows.size() - i) + 1);
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at++), mapping.rows[i]);
        }
        return mappingOf(MatchMode::Contains, std::move(rows));
    }

    std::string line(const Mapping& mapping) {
        std::string line;
        for (std::size_t i = pick(10); i > 0; --i) {
            line += pick(3) == 0 ? text(3) : mapping.rows[pick(mapping.rows.size())].from;
        }
        return line;
    }

    std::size_t pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

private:
    std::mt19937 random_;
};

TEST(ContainsMapping, AnyTextsMatchPlainFindAndReplaceWholeAndInPieces) {
    RandomMappings random(20261207);
    int changed = 0;
    const int mappings = skelvane::testing::rounds(3000);
    for (int i = 0; i < mappings; ++i) {
        const Mapping mapping = random.mapping();
        const DroppedParts dropped(random.pick(1 << 24));
        const CompiledMapping compiled(mapping, dropped);
        LineRenamer renamer(compiled);
        for (int j = 0; j < 8; ++j) {
            const std::string line = random.line(mapping);
            const std::string expected = renameLinePlain(line, mapping, dropped);
            SCOPED_TRACE(::testing::Message() << "mapping " << i << ", line '" << line << "'");
            ASSERT_EQ(fed(renamer, line, true), expected);
            changed += expected != line;
            if (j == 0) expectInAnyPieces(renamer, line, expected);
        }
    }
    // More than five of a mapping's 8 lines: 15 000 of 24 000 in a plain build.
    EXPECT_GT(changed, 5 * mappings);
}

TEST(ContainsMapping, ChainedRowsAmongManyThatShareTheirStartsMatchPlainFindAndReplace) {
    // Only the rows whose text occurs in a chunk, or that write what a later row looks for,
    // take it; the rows passed over must still hold back what may begin their text where a
    // piece ends. Rows that never match but start like the others make that end long.
    RandomMappings random(20261209);
    int chainedHits = 0;
    const int mappings = skelvane::testing::rounds(600);
    for (int i = 0; i < mappings; ++i) {
        const Mapping chained = random.chainedMapping();
        const Mapping mapping = random.padded(chained, chained.rows.size() + random.pick(300));
        const CompiledMapping compiled(mapping, {});
        LineRenamer renamer(compiled);
        for (int j = 0; j < 4; ++j) {
            const std::string line = random.line(chained);
            const std::string expected = renameLinePlain(line, chained, {});
            SCOPED_TRACE(::testing::Message() << "mapping " << i << ", line '" << line << "'");
            ASSERT_EQ(fed(renamer, line, true), expected);
            expectInAnyPieces(renamer, line, expected);
            // A row that matches only in what an earlier row wrote.
            for (const MappingRow& row : chained.rows) {
                if (line.find(row.from) == std::string::npos &&
                    renameLinePlain(line, mappingOf(MatchMode::Contains, {row}), {}) == line &&
                    expected.find(row.to) != std::string::npos && line != expected) {
                    ++chainedHits;
                    break;
                }
            }
        }
    }
    // One mapping in three at least: 200 of 600 in a plain build.
    EXPECT_GT(chainedHits, mappings / 3);
}

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

TEST(ContainsMapping, DocumentsConvertAsTheReferenceDoesWhateverTheBlocks) {
    // Whole documents through the block converter, in blocks of random sizes, for a contains
    // mapping whose rows start among the motion bytes and for the exact presets.
    RandomMappings random(7);
    const Mapping contains = random.mapping();
    std::string document;
    while (document.size() < 200000) {
        document += (random.pick(4) == 0 ? "JOINT " : "") + random.line(contains);
        document += random.pick(2) == 0 ? "\r\n" : (random.pick(2) == 0 ? "\n" : "\r");
        if (random.pick(8) == 0) document += "  ROOT mixamorig:Hips\t\nJOINT rShldr\r\n";
        // Not joint lines, though a block edge may cut what comes before the keyword away.
        if (random.pick(8) == 0) document += "OFFSET 0 JOINT rShldr\nx ROOT mixamorig:Hips\n";
    }
    for (const Mapping* mapping :
         {&contains, findPreset("poser-max-names"), findPreset("mixamo-max")}) {
        SCOPED_TRACE(mapping->name);
        const DroppedParts dropped = DroppedParts().set(5);
        const CompiledMapping compiled(*mapping, dropped);
        StringSink sink;
        BlockConverter converter(compiled, sink);
        for (std::size_t pos = 0; pos < document.size();) {
            const std::size_t size = std::min(1 + random.pick(300), document.size() - pos);
            ASSERT_FALSE(converter.convert(std::string_view(document).substr(pos, size)));
            pos += size;
        }
        ASSERT_FALSE(converter.finish());
        EXPECT_TRUE(sink.text == reference::referenceConversion(document, *mapping, dropped));
    }
}

}  // namespace
}  // namespace skelvane::conversion
