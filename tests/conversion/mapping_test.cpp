#include "conversion/mapping/mapping.h"

#include <gtest/gtest.h>

#include "conversion/mapping/mapping_catalog.h"
#include "conversion/mapping/presets.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using skelvane::testing::TempFolder;
using skelvane::testing::writeFile;

Mapping parsed(const Result<Mapping, MappingError>& result) {
    if (!result) {
        ADD_FAILURE() << result.error().message();
        return {};
    }
    return *result;
}

std::string errorOf(const Result<Mapping, MappingError>& result) {
    return result ? "(accepted)" : result.error().message();
}

TEST(ParseMapping, ReadsDirectivesCommentsAndQuotedFields) {
    const std::string text =
        "\xEF\xBB\xBF# skelvane-map 1\r\n"
        "# title:  Biped names \r\n"
        "# Names as Biped writes them; see http://example.invalid/biped.\r\n"
        "#\r\n"
        "# match: exact\r\n"
        "\r\n"
        "from,to,part\r\n"
        "Bip01 L Thigh,LeftHip,lThigh\r\n"
        "\"#hash\",\"a,b\",\r\n"
        "# a comment among the rows\r\n"
        "\"say \"\"hi\"\"\",caf\xC3\xA9, 5 \r\n"
        "\r\n"
        "mixamorig:Hips,Hips,Hip\n";
    const Mapping mapping = parsed(parseMapping(text, "maps/biped.csv"));
    EXPECT_EQ(mapping.name, "maps/biped.csv");
    EXPECT_EQ(mapping.origin, "maps/biped.csv");
    EXPECT_EQ(mapping.title, "Biped names");
    EXPECT_EQ(mapping.mode, MatchMode::Exact);
    EXPECT_EQ(mapping.notes, "Names as Biped writes them; see http://example.invalid/biped.\n");
    EXPECT_EQ(mapping.rows, (std::vector<MappingRow>{{"Bip01 L Thigh", "LeftHip", 21},
                                                     {"#hash", "a,b", 0},
                                                     {"say \"hi\"", "caf\xC3\xA9", 5},
                                                     {"mixamorig:Hips", "Hips", 5}}));
}

TEST(ParseMapping, WithoutDirectivesMatchesWholeNamesAndTakesTheFileNameAsTitle) {
    const Mapping mapping =
        parsed(parseMapping("# skelvane-map 1\nfrom,to,part\nhip,Hips,\n", "dir/my map.csv"));
    EXPECT_EQ(mapping.title, "my map.csv");
    EXPECT_EQ(mapping.mode, MatchMode::Exact);
    EXPECT_EQ(mapping.rows, (std::vector<MappingRow>{{"hip", "Hips", 0}}));
}

TEST(ParseMapping, ContainsModeMayDeleteTextAndRepeatAFrom) {
    const Mapping mapping = parsed(parseMapping(
        "# skelvane-map 1\n# match: contains\nfrom,to,part\nDummy,,\nhip,Hips,5\nhip,x,\n", "m"));
    EXPECT_EQ(mapping.mode, MatchMode::Contains);
    EXPECT_EQ(mapping.rows,
              (std::vector<MappingRow>{{"Dummy", "", 0}, {"hip", "Hips", 5}, {"hip", "x", 0}}));
}

TEST(ParseMapping, TakesExactlyTheLimits) {
    std::string rows = "# skelvane-map 1\nfrom,to,part\n";
    for (std::size_t i = 0; i < kMaxMappingRows; ++i) rows += "j" + std::to_string(i) + ",x,\n";
    EXPECT_EQ(parsed(parseMapping(rows, "m")).rows.size(), 4096u);

    std::string full = "# skelvane-map 1\nfrom,to,part\n#";
    full += std::string(kMaxMappingBytes - full.size() - 1, 'x') + "\n";
    ASSERT_EQ(full.size(), 1048576u);
    EXPECT_TRUE(parsed(parseMapping(full, "m")).rows.empty());
}

struct ErrorCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class MappingErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(MappingErrorTest, RefusesTheWholeFileNamingTheLine) {
    EXPECT_EQ(errorOf(parseMapping(GetParam().text, "m.csv")), GetParam().expected);
}

const std::string kVersion = "# skelvane-map 1\n";
const std::string kHeader = kVersion + "from,to,part\n";
const std::string kContains = kVersion + "# match: contains\nfrom,to,part\n";

std::string tooManyRows() {
    std::string text = kHeader;
    for (std::size_t i = 0; i <= kMaxMappingRows; ++i) text += "j" + std::to_string(i) + ",x,\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, MappingErrorTest,
    ::testing::Values(
        ErrorCase{"EmptyFile", "", "m.csv:1: missing version line '# skelvane-map 1'"},
        ErrorCase{"NoVersionLine", "from,to,part\nhip,Hips,\n",
                  "m.csv:1: missing version line '# skelvane-map 1'"},
        ErrorCase{"UnknownVersion", "# skelvane-map 2\nfrom,to,part\n",
                  "m.csv:1: unknown version line '# skelvane-map 2'; this program reads "
                  "'# skelvane-map 1'"},
        ErrorCase{"UnknownDirective", kVersion + "# Title: x\nfrom,to,part\n",
                  "m.csv:2: unknown directive 'Title' (known: title, match)"},
        ErrorCase{"UnknownMatchMode", kVersion + "# match: whole\nfrom,to,part\n",
                  "m.csv:2: unknown match mode 'whole' (use contains or exact)"},
        ErrorCase{"DirectiveTwice", kVersion + "# match: exact\n# match: contains\n",
                  "m.csv:3: 'match' given twice"},
        ErrorCase{"EmptyTitle", kVersion + "# title:\n", "m.csv:2: empty title"},
        ErrorCase{"RowBeforeHeader", kVersion + "# match: exact\nhip,Hips,5\nfrom,to,part\n",
                  "m.csv:3: missing header row 'from,to,part'"},
        ErrorCase{"NoHeaderAtAll", kVersion + "# comments only\n",
                  "m.csv:3: missing header row 'from,to,part'"},
        ErrorCase{"TwoFields", kHeader + "hip,Hips\n",
                  "m.csv:3: expected 3 fields (from,to,part), found 2"},
        ErrorCase{"TrailingComma", kHeader + "hip,Hips,5\nneck,Neck,2,\n",
                  "m.csv:4: expected 3 fields (from,to,part), found 4"},
        ErrorCase{"UnclosedQuote", kHeader + "\"hip,Hips,5\n", "m.csv:3: unclosed quote"},
        ErrorCase{"TextAfterQuote", kHeader + "\"hip\"s,Hips,5\n",
                  "m.csv:3: text after a closing quote"},
        ErrorCase{"QuoteInsideField", kHeader + "h\"ip,Hips,5\n",
                  "m.csv:3: quote inside a field that does not begin with one"},
        ErrorCase{"EmptyFrom", kContains + ",Hips,5\n", "m.csv:4: empty 'from'"},
        ErrorCase{"UnknownPart", kHeader + "hip,Hips,24\n",
                  "m.csv:3: unknown body part '24' (use 1..23 or a name such as rShoulder)"},
        ErrorCase{"FromTwice", kHeader + "hip,Hips,5\nneck,Neck,\nhip,Pelvis,\n",
                  "m.csv:5: 'hip' given twice (first on line 3)"},
        ErrorCase{"EmptyTo", kHeader + "hip,,5\n",
                  "m.csv:3: empty 'to' (only contains mode may delete text)"},
        ErrorCase{"BlankAroundFrom", kHeader + "\"hip \",Hips,5\n",
                  "m.csv:3: 'from' 'hip ' begins or ends with a blank, which no joint name does"},
        ErrorCase{"BlankTo", kHeader + "hip, ,5\n",
                  "m.csv:3: 'to' ' ' begins or ends with a blank, which no joint name does"},
        ErrorCase{"TabAfterTo", kHeader + "hip,Hips\t,5\n",
                  "m.csv:3: 'to' 'Hips\t' begins or ends with a blank, which no joint name does"},
        ErrorCase{"NulInTo", kHeader + std::string("hip,Hi\0ps,5\n", 12),
                  "m.csv:3: 'to' '" + std::string("Hi\0ps", 5) +
                      "' holds U+0000, which no joint name may"},
        ErrorCase{"VerticalTabInFrom", kHeader + "h\vip,Hips,5\n",
                  "m.csv:3: 'from' 'h\vip' holds U+000B, which no joint name may"},
        ErrorCase{"NextLineInTo", kHeader + "hip,Hips\xC2\x85x,5\n",
                  "m.csv:3: 'to' 'Hips\xC2\x85x' holds U+0085, which no joint name may"},
        ErrorCase{"LineSeparatorInTo", kHeader + "hip,Hi\xE2\x80\xA8ps,5\n",
                  "m.csv:3: 'to' 'Hi\xE2\x80\xA8ps' holds U+2028, which no joint name may"},
        ErrorCase{"ParagraphSeparatorInTo", kHeader + "hip,Hi\xE2\x80\xA9ps,5\n",
                  "m.csv:3: 'to' 'Hi\xE2\x80\xA9ps' holds U+2029, which no joint name may"},
        ErrorCase{"NotUtf8", kHeader + "hip,H\xFFips,5\n", "m.csv:3: bytes that are not UTF-8"},
        ErrorCase{"OverlongUtf8", kVersion + "# \xC0\xAF\n", "m.csv:2: bytes that are not UTF-8"},
        ErrorCase{"LoneCr", kHeader + "hip,Hips,5\rneck,Neck,2\n",
                  "m.csv:3: CR without LF; lines end with LF or CR LF"},
        ErrorCase{"TooManyRows", tooManyRows(), "m.csv:4099: more than 4096 rows"},
        ErrorCase{"TooLarge", kHeader + "#" + std::string(kMaxMappingBytes, 'x') + "\n",
                  "m.csv:3: larger than 1 MB"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(LoadMappingFile, ReadsAFileAndNamesItAsGiven) {
    const TempFolder folder;
    writeFile(folder / "biped.csv", "# skelvane-map 1\nfrom,to,part\nBip01 Pelvis,Hips,Hip\n");
    const Mapping mapping = parsed(loadMappingFile(folder / "biped.csv"));
    EXPECT_EQ(mapping.name, (folder / "biped.csv").string());
    EXPECT_EQ(mapping.title, "biped.csv");
    EXPECT_EQ(mapping.rows, (std::vector<MappingRow>{{"Bip01 Pelvis", "Hips", 5}}));
}

TEST(LoadMappingFile, RefusesWhatCannotBeReadOrIsTooLarge) {
    const TempFolder folder;
    const std::string big = (folder / "big.csv").string();
    writeFile(big, kHeader + "#" + std::string(3 * kMaxMappingBytes, 'x') + "\n");
    EXPECT_EQ(errorOf(loadMappingFile(big)), big + ":3: larger than 1 MB");
    const std::string missing = (folder / "missing.csv").string();
    EXPECT_EQ(errorOf(loadMappingFile(missing)), missing + ": No such file or directory");
    EXPECT_EQ(errorOf(loadMappingFile(folder.path())), folder.path().string() + ": Is a directory");
}

TEST(MappingRowReplacement, WritesNothingForDroppedAndFixedParts) {
    DroppedParts hipDropped;
    hipDropped.set(5);
    const DroppedParts allDropped = DroppedParts().set();
    struct Case {
        const char* name;
        MappingRow row;
        DroppedParts dropped;
        std::string_view expected;
    };
    const Case cases[] = {
        {"Converted", {"hip", "Hips", 5}, {}, "Hips"},
        {"Dropped", {"hip", "Hips", 5}, hipDropped, "nothing"},
        {"OtherPartDropped", {"neck", "Neck", 2}, hipDropped, "Neck"},
        {"NoPartIsNeverDropped", {"LeftToeBase", "LeftToe", 0}, allDropped, "LeftToe"},
        {"FingersNeverConverted", {"rThumb1", "RightFinger0", 10}, {}, "nothing"},
        {"ButtockNeverConverted", {"lButtock", "LeftButtock", 20}, {}, "nothing"},
        {"EmptyToStaysEmpty", {"Dummy", "", 0}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(replacementOf(c.row, c.dropped), c.expected);
    }
}

TEST(MappingCatalog, ResolvesWhatTheUserNamesOrSaysThatItNamesNothing) {
    const TempFolder folder;
    const skelvane::testing::WorkingDirectory inFolder(folder.path());
    writeFile(folder / "rig.csv", "# skelvane-map 1\nfrom,to,part\nroot_bone,Hips,\n");
    writeFile(folder / "bad.csv", "# skelvane-map 1\nfrom,to\n");
    MappingCatalog catalog;
    const auto resolved = [&](std::string_view name) -> std::string {
        auto choice = catalog.resolve(name);
        if (!choice) {
            const MappingError& error = choice.error();
            return (error.error == MappingFault::NoSuchName ? "none: " : "error: ") +
                   error.message();
        }
        const MappingChoice& chosen = *choice;
        if (chosen.bestFit) return "best fit";
        return chosen.mapping->name +
               (catalog.find(chosen.mapping->name) == chosen.mapping ? "" : " (not the catalog's)");
    };
    const std::pair<std::string_view, std::string> cases[] = {
        {"auto", "best fit"},
        {"cmu-max", "cmu-max"},
        {"rig.csv", "rig.csv"},
        // A bare word that names no preset and no file is no mapping, never the default.
        {"poser-maxx", "none: poser-maxx: no mapping named 'poser-maxx'"},
        {"bad.csv", "error: bad.csv:2: missing header row 'from,to,part'"},
        {"./gone", "error: ./gone: No such file or directory"},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(resolved(name), expected);
    }
    // Loaded again, a file is updated where it is kept: a choice made before sees the new rows.
    const Mapping* before = catalog.resolve("rig.csv")->mapping;
    writeFile(folder / "rig.csv", "# skelvane-map 1\nfrom,to,part\npelvis,Hips,\n");
    EXPECT_EQ(catalog.resolve("rig.csv")->mapping, before);
    EXPECT_EQ(before->rows.front().from, "pelvis");
    EXPECT_EQ(MappingChoice{}.mapping, &defaultMapping());
}

}  // namespace
}  // namespace skelvane::conversion
