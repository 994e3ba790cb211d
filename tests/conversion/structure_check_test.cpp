#include "conversion/bvh/structure_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conversion/mapping/presets.h"
#include "conversion/mapping/rig_profile_catalog.h"
#include "conversion/mapping/target_check.h"
#include "conversion/rename/joint_scanner.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using skelvane::testing::readFile;

// The findings as lines "LINE kind: reason", then "kind: N more" for those not listed.
std::string described(const Findings& findings) {
    std::string text;
    for (const Finding& finding : findings.listed()) {
        text += std::to_string(finding.line) + " " + std::string(findingKey(finding.kind)) + ": " +
                finding.reason + "\n";
    }
    for (std::size_t i = 0; i < kFindingKinds; ++i) {
        const auto kind = static_cast<FindingKind>(i);
        if (findings.unlisted(kind) > 0) {
            text += std::string(findingKey(kind)) + ": " + std::to_string(findings.unlisted(kind)) +
                    " more\n";
        }
    }
    return text;
}

const RigProfile* profileNamed(std::string_view name) {
    for (const RigProfile& profile : rigProfiles()) {
        if (profile.name == name) return &profile;
    }
    return nullptr;
}

// Checks `file` fed in pieces of `pieceSize` bytes (0: whole) as a dry run does, held to the
// rules of the rig profile `target` too when one is named.
Findings checked(std::string_view file, std::size_t pieceSize, const char* target = nullptr) {
    static const CompiledMapping keepNames(keepNamesMapping(), {});
    JointScanner scanner(keepNames, Reading::Kinds, true,
                         target != nullptr ? profileNamed(target) : nullptr);
    const std::size_t step = pieceSize == 0 ? file.size() + 1 : pieceSize;
    for (std::size_t at = 0; at < file.size(); at += step) scanner.feed(file.substr(at, step));
    return *scanner.finish().findings;
}

// The same lines ending in LF alone.
std::string withLf(std::string_view file) {
    std::string out;
    for (const char byte : file) {
        if (byte != '\r') out += byte;
    }
    return out;
}

// The same lines ending in CR LF, so that frames reach the check as runs of plain lines.
std::string withCrLf(std::string_view file) {
    std::string out;
    for (const char byte : file) {
        if (byte == '\n') out += '\r';
        out += byte;
    }
    return out;
}

TEST(StructureCheck, EveryRealFileIsWithoutFault) {
    std::vector<std::filesystem::path> files = skelvane::testing::testdataFiles();
    for (const auto& entry :
         std::filesystem::directory_iterator(skelvane::testing::testdataDir() / "other-rigs")) {
        if (entry.path().extension() == ".bvh") files.push_back(entry.path());
    }
    files.push_back(skelvane::testing::exampleFile());
    ASSERT_EQ(files.size(), 11u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string bytes = readFile(file);
        for (const std::size_t pieceSize : {std::size_t{0}, std::size_t{1000}}) {
            EXPECT_EQ(described(checked(bytes, pieceSize)), "");
        }
    }
}

// Line N of the file becomes `text` (more lines when it holds line ends), goes, or has its
// first words replaced by the words of `text`.
struct Edit {
    enum How { Replace, Remove, FirstWords };
    std::size_t line;
    std::string text;
    How how = Replace;
};

struct BrokenFile {
    const char* name;
    std::vector<Edit> edits;
    std::string findings;
    // The rig profile whose rules the file is held to as well, and the real file it is made from.
    const char* target = nullptr;
    const char* source = "linden_avatar_cross_arms_lf.bvh";
};

std::string edited(const std::string& file, const std::vector<Edit>& edits) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < file.size()) {
        const std::size_t end = file.find('\n', from);
        lines.push_back(file.substr(from, end - from));
        from = end + 1;
    }
    // From the last edit up, so that each edit's line is counted in the file as it came.
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        std::string& line = lines[edit->line - 1];
        if (edit->how == Edit::Remove) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(edit->line - 1));
        } else if (edit->how == Edit::Replace) {
            line = edit->text;
        } else {
            std::size_t at = 0;
            for (std::size_t words = std::count(edit->text.begin(), edit->text.end(), ' ') + 1;
                 words > 0; --words) {
                at = line.find(' ', at) + 1;
            }
            line = edit->text + " " + line.substr(at);
        }
    }
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

std::string shortFrames(int count) {
    std::string lines = "0 0 0";
    for (int i = 1; i < count; ++i) lines += "\n0 0 0";
    return lines;
}

std::string shortFrameFindings(std::size_t first, std::size_t count) {
    std::string lines;
    for (std::size_t line = first; line < first + count; ++line) {
        lines += std::to_string(line) +
                 " frame-length: frame holds 3 numbers; the hierarchy has 66 "
                 "channels\n";
    }
    return lines;
}

const std::string kFrame = "-0.420218 41.043545 0.354394 0.458366 9.695920 -0.061958";

// Each made from a real file of 132 lines: 26 joints of 66 channels, MOTION on line 127,
// Frames: 3, Frame Time: 1.0 and three frame lines, in which nothing moves; or, to hold moving
// joints to a target's rules, from one of 143 lines and 14 frames in which most joints move.
const BrokenFile kBrokenFiles[] = {
    {"NotBvh", {{1, "HIERARCH"}}, "1 not-bvh: the file does not start with HIERARCHY\n"},
    {"BraceLeftOpen",
     {{125, "", Edit::Remove}},
     "126 braces: MOTION comes with 1 brace still open\n"},
    {"BraceClosingNothing", {{126, "}\n}"}}, "127 braces: '}' closes no brace\n"},
    {"JointWithoutBrace",
     {{11, "", Edit::Remove}},
     "10 braces: joint 'chest' is not followed by '{'\n"
     "11 offset: a second OFFSET of joint 'abdomen' (the first is on line 8)\n"
     "12 channels: a second CHANNELS of joint 'abdomen' (the first is on line 9)\n"
     "87 hierarchy: JOINT outside the braces of any joint\n"
     "106 hierarchy: JOINT outside the braces of any joint\n"
     "125 braces: '}' closes no brace\n"},
    {"JointWithoutName", {{107, "\tJOINT  "}}, "107 name: JOINT without a name\n"},
    {"JointWithoutOffset", {{8, "", Edit::Remove}}, "6 offset: joint 'abdomen' has no OFFSET\n"},
    {"OffsetOfTwoNumbers",
     {{12, "\t\t\tOFFSET\t0.000000 5.018152"}},
     "12 offset: OFFSET holds 2 numbers; it takes 3\n"},
    {"OffsetNotANumber",
     {{12, "\t\t\tOFFSET\t0.000000 1e 5.018.152"}},
     "12 offset: OFFSET holds '1e', which is no number\n"},
    {"EndSiteWithoutOffset",
     {{121, "", Edit::Remove}},
     "119 offset: the End Site of joint 'rFoot' has no OFFSET\n"},
    {"JointWithoutChannels",
     {{110, "", Edit::Remove}},
     "107 channels: joint 'rThigh' has no CHANNELS\n"
     "129 frame-length: frame holds 66 numbers; the hierarchy has 63 channels\n"
     "130 frame-length: frame holds 66 numbers; the hierarchy has 63 channels\n"
     "131 frame-length: frame holds 66 numbers; the hierarchy has 63 channels\n"},
    {"ChannelsCountingMoreThanTheyName",
     {{9, "\t\tCHANNELS 4 Xrotation Zrotation Yrotation"}},
     "9 channels: CHANNELS counts 4 but names 3\n"
     "130 frame-length: frame holds 66 numbers; the hierarchy has 67 channels\n"
     "131 frame-length: frame holds 66 numbers; the hierarchy has 67 channels\n"
     "132 frame-length: frame holds 66 numbers; the hierarchy has 67 channels\n"},
    {"ChannelOfNoKnownName",
     {{9, "\t\tCHANNELS 3 Xrotation Zrotation yrotation"}},
     "9 channels: CHANNELS names 'yrotation', none of Xposition, Yposition, Zposition, "
     "Xrotation, Yrotation, Zrotation\n"},
    {"ChannelsInAnEndSite",
     {{121, "\t\t\t\t\tOFFSET 0 0 10\n\t\t\t\t\tCHANNELS 0"}},
     "122 channels: CHANNELS in an End Site, which has none\n"},
    {"LineOfNoKeyword",
     {{13, "\t\t\tCHANNEL 3 Xrotation Zrotation Yrotation"}},
     "10 channels: joint 'chest' has no CHANNELS\n"
     "13 hierarchy: not a line of the hierarchy: '\t\t\tCHANNEL 3 Xrotation Zrotation "
     "Yrotati...'\n"
     "130 frame-length: frame holds 66 numbers; the hierarchy has 63 channels\n"
     "131 frame-length: frame holds 66 numbers; the hierarchy has 63 channels\n"
     "132 frame-length: frame holds 66 numbers; the hierarchy has 63 channels\n"},
    {"NoMotion",
     {{127, "", Edit::Remove},
      {128, "", Edit::Remove},
      {129, "", Edit::Remove},
      {130, "", Edit::Remove},
      {131, "", Edit::Remove},
      {132, "", Edit::Remove}},
     "126 motion: no MOTION line\n"},
    {"FramesNotACount",
     {{128, "Frames: three"}},
     "128 motion: Frames: holds 'three', which is no count\n"},
    {"NoFrameTime", {{129, "", Edit::Remove}}, "131 motion: no Frame Time: line\n"},
    {"FrameTimeOfZero", {{129, "Frame Time: 0.000"}}, "129 motion: Frame Time: is not above 0\n"},
    {"FrameTimeAfterTheFrames",
     {{129, "", Edit::Remove}, {132, "Frame Time: 1.0"}},
     "128 frame-count: Frames: says 3, and 2 frame lines follow\n"
     "131 motion: Frame Time: comes after the first frame line (line 129)\n"},
    {"FramesSayingOneMore",
     {{128, "Frames: 4"}},
     "128 frame-count: Frames: says 4, and 3 frame lines follow\n"},
    {"ShortFrameAndWordsThatAreNoNumbers",
     {{130, kFrame}, {131, "1.2.3", Edit::FirstWords}, {132, "inf +-1", Edit::FirstWords}},
     "130 frame-length: frame holds 6 numbers; the hierarchy has 66 channels\n"
     "131 frame-number: frame holds '1.2.3', which is no number\n"
     "132 frame-number: frame holds 'inf', which is no number\n"},
    {"MoreShortFramesThanAreListed",
     {{130, shortFrames(24)}, {131, "", Edit::Remove}, {132, "", Edit::Remove}},
     "128 frame-count: Frames: says 3, and 24 frame lines follow\n" + shortFrameFindings(130, 20) +
         "frame-length: 4 more\n"},
    {"SecondRoot",
     {{126, "}\nROOT hip2\n{\n\tOFFSET 0 0 0\n\tCHANNELS 0\n}"}},
     "127 roots: a second ROOT, joint 'hip2': most readers take only the first\n"},
    {"NamesTwiceWithABlankAndADot",
     {{10, "\t\tJOINT abdomen"},
      {14, "\t\t\tJOINT neck Dummy  "},
      {26, "\t\t\t\t\t\tJOINT figure.Hair"}},
     "10 duplicate-name: joint 'abdomen' is named as the joint on line 6: Blender's importer "
     "fails, three.js binds both to one track\n"
     "14 name-blank: the name 'neck Dummy' holds a blank: the Second Life upload and three.js "
     "keep only its first word\n"
     "26 name-dot: the name 'figure.Hair' holds a dot: three.js cannot bind its tracks\n"},
    // What a target takes.
    {"SecondLifeTakesItsOwnFile", {}, "", "sl"},
    {"SecondLifeRootOfAnotherName",
     {{2, "ROOT Hips"}},
     "2 target-root: the root is 'Hips'; the Second Life upload takes hip or mPelvis\n",
     "sl"},
    {"SecondLifeMovingJointOfAnotherNameWhileStillOnesNeedNone",
     {{10, "        JOINT Chest"}, {26, "                        JOINT figure_Hair"}},
     "10 target-name: joint 'Chest' moves, and the Second Life upload knows no joint of that "
     "name\n",
     "sl",
     "linden_avatar_walk_crlf.bvh"},
    {"SecondLifeRotationsOfTwoAxes",
     {{9, "\t\tCHANNELS 3 Xrotation Zrotation Xposition"}},
     "9 target-channels: joint 'abdomen' has 2 rotation channels; the Second Life upload takes "
     "Xrotation, Yrotation and Zrotation once each\n",
     "sl"},
    {"SecondLifeLongerThanAMinute",
     {{129, "Frame Time: 61"}},
     "128 target-duration: the Second Life viewer plays it for 61.000 s (Frames - 2, times Frame "
     "Time); the upload takes at most 60 s\n",
     "sl"},
    {"SecondLifeHipTooFar",
     {{131, "300 41 0", Edit::FirstWords}},
     "131 target-hip: the hip is 7.63 m from where the first frame has it, positions read as "
     "inches as the Second Life upload reads them, in 1 frame; the upload keeps it within 5 m\n",
     "sl"},
    {"PoserTakesAPoserFile", {}, "", "poser"},
    {"PoserCoreRoleMissedAndTwice",
     {{107, "\tJOINT lThigh"}},
     "2 target-roles: no joint is named 'rThigh', poser's right_thigh\n"
     "107 duplicate-name: joint 'lThigh' is named as the joint on line 88: Blender's importer "
     "fails, three.js binds both to one track\n"
     "107 target-roles: a second joint named 'lThigh', poser's left_thigh (the first is on line "
     "88)\n",
     "poser"},
};

void PrintTo(const BrokenFile& file, std::ostream* out) {
    *out << file.name;
}

class BrokenFiles : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenFiles, AreFoundOutOnTheirLinesWhateverTheLineEndsAndPieces) {
    const BrokenFile& broken = GetParam();
    const std::string real = withLf(readFile(skelvane::testing::testdataDir() / broken.source));
    ASSERT_FALSE(real.empty());
    const std::string lf = edited(real, broken.edits);
    for (const std::string& file : {lf, withCrLf(lf)}) {
        for (const std::size_t pieceSize : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
            SCOPED_TRACE(::testing::Message() << (file.size() > lf.size() ? "CR LF" : "LF")
                                              << ", pieces of " << pieceSize);
            EXPECT_EQ(described(checked(file, pieceSize, broken.target)), broken.findings);
        }
    }
    if (broken.target == nullptr) return;
    // What a conversion wrote is held to the target alone: the same findings of the target's.
    std::string targets;
    for (std::size_t at = 0, end; at < broken.findings.size(); at = end + 1) {
        end = broken.findings.find('\n', at);
        const std::string_view line(broken.findings.data() + at, end - at + 1);
        if (line.find(" target-") != std::string_view::npos) targets += line;
    }
    const std::string written = withCrLf(lf);
    for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{7}, written.size()}) {
        SCOPED_TRACE(::testing::Message() << "written, in pieces of " << pieceSize);
        TargetReading reading(*profileNamed(broken.target));
        for (std::size_t at = 0; at < written.size(); at += pieceSize) {
            EXPECT_FALSE(reading.write(std::string_view(written).substr(at, pieceSize)));
        }
        EXPECT_EQ(described(reading.finish()), targets);
    }
}

// The most joints that may move, and one more, in a file made up for it: a root and joints
// that each turn between the two frames.
TEST(TargetCheck, SecondLifeTakesAtMost216MovingJoints) {
    for (const int joints : {216, 217}) {
        SCOPED_TRACE(joints);
        std::string file = "HIERARCHY\nROOT hip\n{\nOFFSET 0 0 0\n";
        std::string first, second;
        for (int i = 0; i < joints; ++i) {
            file += "CHANNELS 3 Xrotation Yrotation Zrotation\n";
            first += " 0 0 0";
            second += " 1 0 0";
            if (i + 1 < joints)
                file += "JOINT mTail" + std::to_string(i % 6 + 1) + "\n{\nOFFSET 0 0 0\n";
        }
        for (int i = 1; i < joints; ++i) file += "}\n";
        file += "}\nMOTION\nFrames: 2\nFrame Time: 0.5\n" + first + "\n" + second + "\n";
        const Findings findings = checked(file, 0, "sl");
        EXPECT_EQ(findings.count(FindingKind::TargetJoints), joints > 216 ? 1u : 0u);
        EXPECT_EQ(findings.errors(), findings.count(FindingKind::TargetJoints));
    }
    const Findings empty = checked(std::string(), 0, "sl");
    EXPECT_EQ(described(empty), "1 not-bvh: the file does not start with HIERARCHY\n")
        << "no target's rules for what is not BVH";
}

INSTANTIATE_TEST_SUITE_P(Table, BrokenFiles, ::testing::ValuesIn(kBrokenFiles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skelvane::conversion
