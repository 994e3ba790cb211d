// Mappings other than the built-in table through the one engine: contains mappings of any text,
// exact mappings of whole names, held against the plain references whole and in pieces.
#include <gtest/gtest.h>

#include "conversion/mapping/presets.h"
#include "conversion/rename/joint_line_renamer.h"
#include "conversion/rename/line_renamer.h"
#include "conversion/rename/stream_converter.h"
#include "reference/reference_conversion.h"
#include "support/renamer_pieces.h"
#include "support/sanitizers.h"

namespace skelvane::conversion {
namespace {

using reference::renameLinePlain;

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
        GatheredBytes sink;
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
