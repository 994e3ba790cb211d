// The built-in table (the preset poser-max) through the engine every mapping goes through,
// held against the table written out by hand and against plain find-and-replace.
#include <gtest/gtest.h>

#include <random>

#include "conversion/mapping/presets.h"
#include "conversion/rename/joint_line_renamer.h"
#include "conversion/rename/line_renamer.h"
#include "reference/reference_conversion.h"
#include "support/renamer_pieces.h"
#include "support/sanitizers.h"

namespace skelvane::conversion {
namespace {

using reference::kRenameRules;
using reference::renameLinePlain;
using reference::RenameRule;

// What the renamer writes for a whole line.
std::string renamedWhole(LineRenamer& renamer, std::string_view line) {
    GatheredBytes sink;
    EXPECT_FALSE(renamer.feed(line, true, sink));
    return sink.text;
}

std::string renameLine(std::string_view line, const DroppedParts& dropped) {
    const CompiledMapping mapping(defaultMapping(), dropped);
    LineRenamer renamer(mapping);
    return renamedWhole(renamer, line);
}

DroppedParts dropping(std::initializer_list<int> parts) {
    DroppedParts dropped;
    for (int part : parts) dropped.set(part);
    return dropped;
}

DroppedParts droppingAll() {
    return DroppedParts().set();
}

struct RenameCase {
    const char* name;
    std::string_view line;
    DroppedParts dropped;
    std::string_view expected;
};

void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << c.name;
}

class RenameLineTest : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameLineTest, GivesTheSequentialResult) {
    const RenameCase& c = GetParam();
    EXPECT_EQ(renameLine(c.line, c.dropped), c.expected);
    EXPECT_EQ(renameLinePlain(c.line, c.dropped), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RenameLineTest,
    ::testing::Values(
        RenameCase{"Root", "ROOT hip", {}, "ROOT Hips"},
        RenameCase{"AbdomenIsChest", "JOINT abdomen", {}, "JOINT Chest"},
        RenameCase{"ChestIsChest2", "JOINT chest", {}, "JOINT Chest2"},
        RenameCase{"Shoulder", "JOINT rShldr", {}, "JOINT RightShoulder"},
        RenameCase{"ShoulderDropped", "JOINT rShldr", dropping({7}), "JOINT nothing"},
        RenameCase{"OtherPartDropped", "JOINT rShldr", dropping({12}), "JOINT RightShoulder"},
        RenameCase{"ThighIsHip", "\t\tJOINT lThigh", {}, "\t\tJOINT LeftHip"},
        RenameCase{"FingerKeepsDigit", "JOINT rThumb2", {}, "JOINT nothing2"},
        RenameCase{"InsideLongerWord", "forehead neckDummy", {}, "foreHead NeckDummy"},
        RenameCase{"EveryOccurrence", "hiphip hip", {}, "HipsHips Hips"},
        RenameCase{"CaseSensitive", "JOINT Head Hips Chest HIP", {}, "JOINT Head Hips Chest HIP"},
        RenameCase{"Empty", "", droppingAll(), ""},
        // Rule 2 eats the tail of "rThigh" before rule 13 can see it.
        RenameCase{"EarlierRuleWins", "rThighip", {}, "rThigHips"},
        // Rules 4 and 19, 5 and 6: the earlier one takes the shared letters.
        RenameCase{"AbdomenBeforeNeck", "abdomeneck", {}, "Chesteck"},
        RenameCase{"CollarBeforeShoulder", "rCollarShldr", {}, "RightCollaRightShoulder"},
        // The "g" that ends "nothing" completes a later search text.
        RenameCase{"ReplacementFeedsLaterRule", "rToeenital", {}, "nothinnothing"},
        RenameCase{"NonAsciiPassesThrough", "hip\xff\x80 head", {}, "Hips\xff\x80 Head"},
        RenameCase{
            "NulPassesThrough", std::string_view("a\0hip", 5), {}, std::string_view("a\0Hips", 6)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenameTable, GovernedRulesSearchForTheJointTheirPartNames) {
    for (const RenameRule& rule : kRenameRules) {
        if (rule.governingPart == 0) continue;
        SCOPED_TRACE(std::string(rule.search));
        EXPECT_EQ(common::bodyPart(rule.governingPart).poserJoint, rule.search);
    }
}

TEST(RenameTable, EveryGovernedJointFollowsItsPartFlag) {
    for (const RenameRule& rule : kRenameRules) {
        if (rule.governingPart == 0) continue;
        SCOPED_TRACE(std::string(rule.search));
        const std::string line = "JOINT " + std::string(rule.search);
        EXPECT_EQ(renameLine(line, {}), "JOINT " + std::string(rule.maxName));
        EXPECT_EQ(renameLine(line, dropping({rule.governingPart})), "JOINT nothing");
        // Dropping every other part leaves this one converted.
        EXPECT_EQ(renameLine(line, droppingAll().reset(rule.governingPart)),
                  "JOINT " + std::string(rule.maxName));
    }
}

TEST(RenameTable, EyesGenitalFingersToesAndButtocksAreAlwaysDropped) {
    for (std::string_view joint :
         {"rToe", "lToe", "rightEye", "leftEye", "rThumb1", "rIndex2", "rMid3", "rRing1", "rPinky2",
          "lThumb3", "lIndex1", "lMid2", "lRing3", "lPinky1", "genital", "lButtock", "rButtock"}) {
        SCOPED_TRACE(std::string(joint));
        const std::string line = "  JOINT " + std::string(joint);
        const std::string suffix(joint.back() >= '0' && joint.back() <= '9' ? 1 : 0, joint.back());
        for (const DroppedParts& dropped :
             {DroppedParts(), droppingAll(), dropping({10, 15, 19, 20})}) {
            EXPECT_EQ(renameLine(line, dropped), "  JOINT nothing" + suffix);
        }
    }
}

TEST(RenameTable, LinesWithoutJointNamesAreUnchanged) {
    for (std::string_view line :
         {"HIERARCHY", "{", "}", "OFFSET\t0.000000 3.100000 -0.250000",
          "CHANNELS 6 Xposition Yposition Zposition Zrotation Xrotation Yrotation", "End Site",
          "MOTION", "Frames: 14", "Frames:\t89", "Frame Time: 0.033333",
          "-0.105 43.318 -0.040 1.2e-05 0.000000 -3.500000 ", "JOINT mHandIndex1Left"}) {
        EXPECT_EQ(renameLine(line, droppingAll()), line);
    }
}

// Builds lines from pieces that make rules interact: search texts, replacements, their
// fragments and random bytes, so that replacements touch, overlap and complete other texts.
class AdversarialLines {
public:
    explicit AdversarialLines(unsigned seed) : random_(seed) {
        for (const RenameRule& rule : kRenameRules) {
            addWithFragments(rule.search);
            addWithFragments(rule.maxName);
        }
        addWithFragments("nothing");
        for (std::string_view filler : {" ", "\t", "JOINT ", "0.000000 ", "{", "}", "X"}) {
            pieces_.emplace_back(filler);
        }
    }

    std::string next() {
        std::string line;
        const int count = std::uniform_int_distribution<int>(0, 12)(random_);
        for (int i = 0; i < count; ++i) {
            switch (std::uniform_int_distribution<int>(0, 4)(random_)) {
                case 0:
                    line += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random_));
                    break;
                case 1:
                    line += pick(kRenameRules).search;
                    break;
                default:
                    line += pick(pieces_);
            }
        }
        return line;
    }

    DroppedParts nextDropped() {
        return DroppedParts(
            std::uniform_int_distribution<unsigned long>(0, (1ul << 24) - 1)(random_));
    }

private:
    template <typename Container>
    const typename Container::value_type& pick(const Container& items) {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random_)];
    }

    void addWithFragments(std::string_view text) {
        pieces_.emplace_back(text);
        for (std::size_t cut = 1; cut < text.size(); ++cut) {
            pieces_.emplace_back(text.substr(0, cut));
            pieces_.emplace_back(text.substr(cut));
        }
    }

    std::mt19937 random_;
    std::vector<std::string> pieces_;
};

TEST(RenameTable, MatchesPlainFindAndReplaceOnRandomLines) {
    AdversarialLines lines(20261207);
    int changed = 0;
    const int count = skelvane::testing::rounds(150000);
    for (int i = 0; i < count; ++i) {
        const DroppedParts dropped = lines.nextDropped();
        const CompiledMapping mapping(defaultMapping(), dropped);
        LineRenamer renamer(mapping);
        const std::string line = lines.next();
        const std::string expected = renameLinePlain(line, dropped);
        ASSERT_EQ(renamedWhole(renamer, line), expected) << "line " << i << ": " << line;
        changed += expected != line;
        if (i % 16 != 0) continue;
        // The same line in pieces: cut once at every position, and in chunks of a few bytes.
        const auto inPieces = [&](std::vector<std::size_t> cuts) {
            cuts.push_back(line.size());
            GatheredBytes sink;
            std::size_t from = 0;
            for (std::size_t to : cuts) {
                renamer.feed(std::string_view(line).substr(from, to - from), to == line.size(),
                             sink);
                from = to;
            }
            return sink.text;
        };
        for (std::size_t cut = 0; cut <= line.size(); ++cut) {
            ASSERT_EQ(inPieces({cut}), expected) << "cut at " << cut << ": " << line;
        }
        for (std::size_t chunk : {1, 2, 3, 7}) {
            std::vector<std::size_t> cuts;
            for (std::size_t at = chunk; at < line.size(); at += chunk) cuts.push_back(at);
            ASSERT_EQ(inPieces(cuts), expected) << "chunks of " << chunk << ": " << line;
        }
    }
    // The generator must really exercise the rules, not just pass lines through.
    EXPECT_GT(changed, count / 2);
}

TEST(RenameTable, RenamerReusedAcrossLinesGivesIndependentResults) {
    const CompiledMapping mapping(defaultMapping(), {});
    LineRenamer renamer(mapping);
    const std::string first = renamedWhole(renamer, "ROOT hip");
    EXPECT_EQ(first, "ROOT Hips");
    EXPECT_EQ(renamedWhole(renamer, "0.0 1.0"), "0.0 1.0");
    EXPECT_EQ(renamedWhole(renamer, "JOINT neck"), "JOINT Neck");
}

}  // namespace
}  // namespace skelvane::conversion
