#include "conversion/rename/stream_converter.h"

#include <gtest/gtest.h>

#include "conversion/bvh/line_scan.h"
#include "conversion/files/write_behind.h"
#include "conversion/mapping/presets.h"

#include <cerrno>
#include <iostream>
#include <memory>
#include <random>

#include "support/sanitizers.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using skelvane::testing::referenceConversion;

using File = skelvane::testing::Stream;
using skelvane::testing::handleOf;

File fileHolding(std::string_view bytes) {
    return skelvane::testing::streamHolding(bytes);
}

std::string contentOf(std::FILE* file) {
    std::rewind(file);
    std::string bytes;
    char chunk[4096];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, file)) bytes.append(chunk, n);
    return bytes;
}

const CompiledMapping kPoserMax(defaultMapping(), {});

std::string convert(std::string_view input, const DroppedParts& dropped = {},
                    const Mapping& mapping = defaultMapping()) {
    File in = fileHolding(input);
    File out(std::tmpfile());
    const CompiledMapping compiled(mapping, dropped);
    WriteBehind sink(handleOf(out.get()));
    ReadBlock block;
    EXPECT_FALSE(convertStream(handleOf(in.get()), sink, compiled, {}, block));
    return contentOf(out.get());
}

struct LineEndCase {
    const char* name;
    std::string_view input;
    std::string_view expected;
};

void PrintTo(const LineEndCase& c, std::ostream* os) {
    *os << c.name;
}

class LineEndTest : public ::testing::TestWithParam<LineEndCase> {};

TEST_P(LineEndTest, EveryLineIsWrittenWithCrLf) {
    EXPECT_EQ(convert(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Terminators, LineEndTest,
    ::testing::Values(LineEndCase{"CrLf", "ROOT hip\r\n{\r\n", "ROOT Hips\r\n{\r\n"},
                      LineEndCase{"Lf", "ROOT hip\n{\n", "ROOT Hips\r\n{\r\n"},
                      LineEndCase{"LoneCr", "ROOT hip\r{\r", "ROOT Hips\r\n{\r\n"},
                      LineEndCase{"Mixed", "a\r\nb\nc\rd\r\n", "a\r\nb\r\nc\r\nd\r\n"},
                      LineEndCase{"LastLineUnterminated", "MOTION\r\n0 1 2", "MOTION\r\n0 1 2\r\n"},
                      LineEndCase{"OnlyUnterminatedLine", "ROOT hip", "ROOT Hips\r\n"},
                      LineEndCase{"EmptyFile", "", ""},
                      LineEndCase{"EmptyLines", "\n\r\n\r", "\r\n\r\n\r\n"},
                      LineEndCase{"CrBeforeCrLf", "a\r\r\nb", "a\r\n\r\nb\r\n"},
                      LineEndCase{"LfThenCr", "a\n\rb", "a\r\n\r\nb\r\n"},
                      LineEndCase{"TrailingBlanksKept", "OFFSET 1 2 3 \n", "OFFSET 1 2 3 \r\n"},
                      LineEndCase{"NulAndHighBytes", std::string_view("hip\0\xfe\n", 6),
                                  std::string_view("Hips\0\xfe\r\n", 8)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineScan, EveryFinderStopsAtTheFirstLineEndAndSeesSearchStarts) {
    // Motion bytes with one byte put at each place, before, inside and after whole 64-byte
    // strides, looked for from several starts. 'h' begins a search text; so do 'B', 'R', 'Z',
    // '$' and '?', among the bytes motion data is made of, which are looked up by nibble: the
    // bytes that share a nibble with them ('C', 'Y', '%', '>', '2', 'b') and 'e', 0x80 and NUL
    // only look unusual; CR and LF end the line.
    struct Special {
        char byte;
        bool endsLine;
        bool startsSearch;
    };
    const Special specials[] = {
        {'\r', true, false}, {'\n', true, false}, {'h', false, true},     {'B', false, true},
        {'Z', false, true},  {'$', false, true},  {'?', false, true},     {'C', false, false},
        {'Y', false, false}, {'%', false, false}, {'>', false, false},    {'2', false, false},
        {'b', false, false}, {'e', false, false}, {'\x80', false, false}, {'\0', false, false}};
    ScanTable table;
    for (const unsigned char start : {'h', 'B', 'R', 'Z', '$', '?'}) table.addSearchStart(start);
    ASSERT_EQ(table.comparedBytes(), (std::vector<unsigned char>{'B', 'R', 'Z', '$', '?'}));
    ASSERT_EQ(availableLineEndFinders(table).back().first, "by table");
    // Without compared bytes the portable finder is the one that needs no table.
    ScanTable lowerCaseOnly;
    lowerCaseOnly.addSearchStart('h');
    ASSERT_EQ(availableLineEndFinders(lowerCaseOnly).back().first, "portable");
    struct Run {
        std::string_view name;
        LineEndFinder find;
        const ScanTable* table;
    };
    std::vector<Run> runs;
    for (const ScanTable* used : {&table, &lowerCaseOnly}) {
        for (const auto& [name, find] : availableLineEndFinders(*used)) {
            if (used == &lowerCaseOnly)
                std::cout << "[ line scan ] this processor runs " << name << "\n";
            runs.push_back({name, find, used});
        }
    }
    for (const auto& [name, find, used] : runs) {
        const bool compared = used == &table;
        for (const Special& special : specials) {
            const bool starts = special.startsSearch && (compared || special.byte == 'h');
            for (std::size_t at = 0; at < 200; ++at) {
                std::string data(200, '7');
                data[at] = special.byte;
                for (std::size_t from : {0, 1, 63, 64, 150}) {
                    bool mayMatch = false;
                    const std::size_t end = find(*used, data.data(), from, data.size(), mayMatch);
                    const bool seen = at >= from;
                    SCOPED_TRACE(::testing::Message()
                                 << name << (compared ? " (compared)" : "") << " byte "
                                 << int(special.byte) << " at " << at << " from " << from);
                    ASSERT_EQ(end, seen && special.endsLine ? at : data.size());
                    ASSERT_EQ(mayMatch, seen && starts);
                }
            }
        }
    }
}

TEST(ConvertStream, LinesAndTerminatorsSplitAcrossReadBlocks) {
    // Reads go in blocks that divide 1 MiB. Put a CR LF, a joint name and a lone CR across block
    // edges (and, with a shift, just beside them).
    constexpr std::size_t kBlock = 1 << 20;
    // Appends a blank line long enough that `tail` then starts `before` bytes ahead of `edge`.
    auto placeBefore = [](std::string& text, std::size_t edge, std::size_t before,
                          std::string_view tail) {
        text.append(edge - before - text.size() - 1, ' ');
        text += '\n';
        text += tail;
    };
    for (std::size_t shift : {0, 1, 2}) {
        SCOPED_TRACE(shift);
        std::string input;
        placeBefore(input, kBlock, 1 + shift, "\r\n");
        placeBefore(input, 2 * kBlock, 10 + shift, "JOINT rShldr\n");
        placeBefore(input, 3 * kBlock, 5 + shift, "head\rneck\r");
        EXPECT_EQ(convert(input), referenceConversion(input));
    }
    // One line of several blocks, no terminator: every block edge cuts a search text or its
    // replacement's neighbour somewhere else.
    std::string line;
    for (std::size_t i = 0; line.size() < 3 * kBlock + 100; ++i) {
        const auto& rules = reference::kRenameRules;
        line += rules[i % rules.size()].search;
        line.append(i % 7, 'x');
    }
    EXPECT_EQ(convert(line, DroppedParts().set(5)),
              referenceConversion(line, DroppedParts().set(5)));
}

TEST(ConvertStream, MatchesLineByLineReferenceOnLargeRandomDocument) {
    std::mt19937 random(7);
    const char* pieces[] = {"JOINT ", "hip", "rThumb", "abd",   "omen", "0.25 ", "-1.5 ", "\t",
                            "\r\n",   "\n",  "\r",     "lFoot", "neck", "x",     " "};
    std::string input;
    while (input.size() < static_cast<std::size_t>(skelvane::testing::rounds(3 << 20))) {
        input +=
            pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
    }
    const DroppedParts dropped = DroppedParts().set(3).set(22);
    EXPECT_EQ(convert(input, dropped), referenceConversion(input, dropped));
}

TEST(WriteBehind, WritesEveryPieceInOrderOnItsThreadOrInTurn) {
    // Pieces of 1 to 99 999 bytes fill several blocks of the ring and end inside one.
    std::string written;
    std::vector<std::string> pieces;
    for (std::size_t i = 0; written.size() < (3u << 20); ++i) {
        pieces.emplace_back((i * 7919) % 100000 + 1, static_cast<char>('a' + i % 26));
        written += pieces.back();
    }
    for (bool inTurn : {false, true}) {
        SCOPED_TRACE(inTurn ? "in turn" : "on its thread");
        File out(std::tmpfile());
        WriteBehind sink(handleOf(out.get()), inTurn);
        for (const std::string& piece : pieces) ASSERT_FALSE(sink.write(piece));
        ASSERT_FALSE(sink.flush());
        EXPECT_TRUE(contentOf(out.get()) == written);
    }
}

}  // namespace
}  // namespace skelvane::conversion
