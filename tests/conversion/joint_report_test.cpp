#include "conversion/rename/joint_namer.h"

#include <gtest/gtest.h>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/mapping/presets.h"
#include "conversion/rename/joint_scanner.h"
#include "conversion/run/run.h"
#include "support/sanitizers.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

using skelvane::testing::exampleFile;
using skelvane::testing::testdataDir;
using Verdict = BvhStartCheck::Verdict;

const CompiledMapping kReportMapping(defaultMapping(), {});

// What a dry run of the file reports, read as the run reads it.
struct ReportKeeper final : JobObserver {
    std::optional<JointReport> report;
    JobResult result;
    void jobFinished(std::size_t, const JobResult& finished, const JointReport* joints) override {
        result = finished;
        if (joints != nullptr) report = *joints;
    }
};

JointReport reportOf(const std::filesystem::path& path, const DroppedParts& dropped = {}) {
    Job job;
    job.source = path;
    job.dropped = dropped;
    ReportKeeper keeper;
    runJobs({&job, 1}, {.dryRun = true}, keeper);
    EXPECT_TRUE(keeper.report.has_value()) << path;
    return keeper.report.value_or(JointReport{});
}

// Feeds the whole input at once or byte by byte: both must give the same report.
JointReport scan(std::string_view input, bool bytewise) {
    JointScanner scanner(kReportMapping);
    if (!bytewise) scanner.feed(input);
    for (std::size_t i = 0; bytewise && i < input.size(); ++i) scanner.feed(input.substr(i, 1));
    return scanner.finish();
}

std::size_t countIf(const JointReport& report, auto predicate) {
    return static_cast<std::size_t>(
        std::count_if(report.joints.begin(), report.joints.end(), predicate));
}

TEST(JointReport, RealFixtures) {
    // Counts read off the files with grep and awk.
    struct Case {
        std::filesystem::path file;
        std::size_t joints, frames, untouched, partial;
        LineEnds lineEnds;
    };
    const Case cases[] = {
        {testdataDir() / "linden_avatar_cross_arms_lf.bvh", 21, 3, 1, 1, LineEnds::Lf},
        {testdataDir() / "linden_avatar_walk_crlf.bvh", 21, 14, 1, 1, LineEnds::CrLf},
        {testdataDir() / "opencollar_bara_bento_hands.bvh", 49, 3, 30, 0, LineEnds::Lf},
        {testdataDir() / "opencollar_kneel.bvh", 19, 89, 0, 0, LineEnds::Lf},
        {testdataDir() / "opencollar_run_cr_only.bvh", 20, 31, 1, 0, LineEnds::Cr},
        {testdataDir() / "qavimator_SLFemale_1frame.bvh", 19, 1, 0, 0, LineEnds::CrLf},
        // Its finger joints end in digits: rThumb2 becomes nothing2 as meant, no partial word.
        {exampleFile(), 56, 4, 0, 0, LineEnds::CrLf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        const JointReport report = reportOf(c.file);
        EXPECT_TRUE(report.bvh);
        EXPECT_EQ(report.joints.size(), c.joints);
        EXPECT_EQ(report.frames, c.frames);
        EXPECT_EQ(report.lineEnds, c.lineEnds);
        EXPECT_EQ(countIf(report, [](auto& j) { return j.outcome == JointOutcome::Untouched; }),
                  c.untouched);
        EXPECT_EQ(countIf(report, [](auto& j) { return j.partialWord; }), c.partial);
    }
}

TEST(JointReport, JointsInFileOrderWithLoneCrLines) {
    std::string names;
    for (const JointEntry& joint : reportOf(testdataDir() / "opencollar_run_cr_only.bvh").joints) {
        names += joint.oldName + " ";
    }
    EXPECT_EQ(names,
              "hip abdomen chest neck head lCollar lShldr lForeArm lHand rCollar rShldr rForeArm "
              "rHand lThigh lShin lFoot rThigh rShin rFoot cyl_1 ");
}

TEST(JointReport, WhatHappenedToNamedJoints) {
    const auto walk = testdataDir() / "linden_avatar_walk_crlf.bvh";
    const auto bento = testdataDir() / "opencollar_bara_bento_hands.bvh";
    const auto wave = exampleFile();
    const DroppedParts none;
    const DroppedParts noNeckNoLeftHand = DroppedParts().set(2).set(14);
    struct Case {
        std::filesystem::path file;
        DroppedParts dropped;
        std::string_view oldName, newName;
        JointOutcome outcome;
        bool partial;
    };
    const Case cases[] = {
        {walk, none, "neckDummy", "NeckDummy", JointOutcome::Renamed, true},
        {walk, noNeckNoLeftHand, "neckDummy", "nothingDummy", JointOutcome::Dropped, true},
        {bento, none, "mHandIndex1Left", "mHandIndex1Left", JointOutcome::Untouched, false},
        {wave, none, "hip", "Hips", JointOutcome::Renamed, false},
        {wave, none, "rThumb2", "nothing2", JointOutcome::Dropped, false},
        {wave, none, "leftEye", "nothing", JointOutcome::Dropped, false},
        {wave, none, "lHand", "LeftWrist", JointOutcome::Renamed, false},
        {wave, noNeckNoLeftHand, "lHand", "nothing", JointOutcome::Dropped, false},
        {wave, noNeckNoLeftHand, "lShldr", "LeftShoulder", JointOutcome::Renamed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.oldName) + " in " + c.file.filename().string());
        const JointReport report = reportOf(c.file, c.dropped);
        const auto joint =
            std::find_if(report.joints.begin(), report.joints.end(),
                         [&](const JointEntry& j) { return j.oldName == c.oldName; });
        ASSERT_NE(joint, report.joints.end());
        EXPECT_EQ(joint->newName, c.newName);
        EXPECT_EQ(joint->outcome, c.outcome);
        EXPECT_EQ(joint->partialWord, c.partial);
    }
}

TEST(JointReport, WhatHappensInWordsAndPartialWordsNeedALetterBeside) {
    const CompiledMapping shoulderOff(defaultMapping(), DroppedParts().set(7));
    const struct {
        std::string_view name;
        const char* commandLine;
        const char* window;
    } cases[] = {
        {"hip", "renamed", "renamed"},
        {"rShldr", "renamed to nothing, --drop rShldr",
         "renamed to nothing, Right Shoulder switched off"},
        {"rThumb2", "renamed to nothing, always", "renamed to nothing, always"},
        {"leftEye", "renamed to nothing, always", "renamed to nothing, always"},
        {"cyl_1", "untouched: no row matches", "untouched: no row matches"},
        // A letter right before or after the match: inside a word.
        {"neckDummy", "renamed, partial word", "renamed, partial word"},
        {"lowerneck", "renamed, partial word", "renamed, partial word"},
        {"rShldrBend", "renamed to nothing, --drop rShldr, partial word",
         "renamed to nothing, Right Shoulder switched off, partial word"},
        {"neck\xc3\x84", "renamed, partial word", "renamed, partial word"},
        // Digits, an underscore or a blank beside it are the table working as meant.
        {"abdomen2", "renamed", "renamed"},
        {"neck_1", "renamed", "renamed"},
        {"2 hip", "renamed", "renamed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name));
        const JointEntry joint = jointEntryFor(c.name, shoulderOff);
        EXPECT_EQ(whatHappens(joint, Audience::CommandLine), c.commandLine);
        EXPECT_EQ(whatHappens(joint, Audience::Window), c.window);
    }
}

TEST(JointScanner, LinesFramesAndLineEndsInAnyPieces) {
    struct Case {
        const char* name;
        std::string_view input;
        std::string_view joints;  // old -> new, one per joint
        std::optional<std::uint64_t> frames;
        LineEnds lineEnds;
    };
    const Case cases[] = {
        {"Declarations", "ROOT hip\r\n\t JOINT\tr Hand  \t\r\n  End Site\r\njoint neck\r\n",
         "hip>Hips r Hand>r Hand ", std::nullopt, LineEnds::CrLf},
        {"NotKeywords", "ROOTS hip\nJOINTneck\nxJOINT neck\n", "", std::nullopt, LineEnds::Lf},
        {"LastLineUnterminated", "a\rJOINT head", "head>Head ", std::nullopt, LineEnds::Cr},
        {"Mixed", "a\nb\r\nc", "", std::nullopt, LineEnds::Mixed},
        {"Empty", "", "", std::nullopt, LineEnds::None},
        {"FramesTab", "Frames:\t89 \n", "", 89, LineEnds::Lf},
        {"FirstFramesCounts", "Frames: 2\nFrames: 3\n", "", 2, LineEnds::Lf},
        {"FramesNotNumber", "Frames: 12x\nFrames: 3\n", "", std::nullopt, LineEnds::Lf},
        {"FramesMissing", "Frames:\n", "", std::nullopt, LineEnds::Lf},
        {"FramesOverflow", "Frames: 18446744073709551616", "", std::nullopt, LineEnds::None},
        {"FramesLargest", "Frames: 18446744073709551615", "", 18446744073709551615u,
         LineEnds::None},
    };
    for (const Case& c : cases) {
        for (const bool bytewise : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (bytewise ? " bytewise" : " whole"));
            const JointReport report = scan(c.input, bytewise);
            std::string joints;
            for (const JointEntry& j : report.joints) joints += j.oldName + ">" + j.newName + " ";
            EXPECT_EQ(joints, c.joints);
            EXPECT_EQ(report.frames, c.frames);
            EXPECT_EQ(report.lineEnds, c.lineEnds);
        }
    }
}

TEST(JointScanner, KeepsItsListAndNamesBoundedWhateverTheFile) {
    JointScanner many(kReportMapping);
    many.feed("HIERARCHY\n");
    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += "JOINT rThumb1\n";
    const int feeds = skelvane::testing::rounds(600);
    for (int i = 0; i < feeds; ++i) many.feed(lines);
    const std::uint64_t joints = 5000u * feeds;  // 3 000 000 in a plain build
    const JointReport report = many.finish();
    EXPECT_EQ(report.jointCount, joints);
    EXPECT_EQ(report.dropped, joints);
    EXPECT_EQ(report.partialWords, 0u);
    EXPECT_EQ(report.sharedNames,
              (std::vector<std::pair<std::string, std::uint64_t>>{{"nothing1", joints}}));
    EXPECT_EQ(report.joints.size(), kListedJoints);
    EXPECT_EQ(report.unlisted(), joints - kListedJoints);

    // One name of 20 MB, in pieces, with blanks after it that are not part of it.
    JointScanner longName(kReportMapping);
    longName.feed("ROOT neck");
    const std::string middle(1 << 20, 'Z');
    for (int i = 0; i < 20; ++i) longName.feed(middle);
    longName.feed("hip \t\r\n");
    const JointReport one = longName.finish();
    ASSERT_EQ(one.joints.size(), 1u);
    const JointEntry& joint = one.joints.front();
    EXPECT_EQ(joint.oldLength, 7u + (20u << 20));
    EXPECT_EQ(joint.newLength, joint.oldLength + 1);  // hip becomes Hips
    EXPECT_EQ(joint.oldName, "neck" + std::string(kShownNameBytes - 4, 'Z'));
    EXPECT_EQ(joint.newName, "Neck" + std::string(kShownNameBytes - 4, 'Z'));
    EXPECT_TRUE(joint.cut());
    EXPECT_TRUE(joint.partialWord);
    EXPECT_EQ(joint.outcome, JointOutcome::Renamed);
}

TEST(JointReport, NamesAreCutAtTheEdgeOfACharacter) {
    const std::string twoBytes = "\xC3\xA9";  // é
    const struct {
        std::string text;
        std::size_t limit;
        std::string cut;
    } cases[] = {{"abc", 3, "abc"},
                 {"ab" + twoBytes, 3, "ab"},
                 {"ab" + twoBytes, 4, "ab" + twoBytes},
                 {"a\xF0\x9F\x98\x80", 4, "a"},
                 {std::string(8, '\x80'), 5, std::string(5, '\x80')}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(cutAtCharacter(c.text, c.limit), c.cut);
    }
}

TEST(BvhStartCheck, HierarchyFirstAfterMarkAndWhiteSpace) {
    struct Case {
        const char* name;
        std::string_view input;
        Verdict verdict;
    };
    const Case cases[] = {
        {"Plain", "HIERARCHY\r\nROOT hip", Verdict::Bvh},
        {"ByteOrderMark", "\xEF\xBB\xBFHIERARCHY\n", Verdict::Bvh},
        {"MarkThenWhiteSpace", "\xEF\xBB\xBF \t\r\n\v\f\nHIERARCHY", Verdict::Bvh},
        {"WhiteSpaceThenMark", " \xEF\xBB\xBFHIERARCHY", Verdict::NotBvh},
        {"BrokenMark", "\xEF\xBBHIERARCHY", Verdict::NotBvh},
        {"LowerCase", "hierarchy\n", Verdict::NotBvh},
        {"Png", "\x89PNG\r\n\x1A\n", Verdict::NotBvh},
        {"Empty", "", Verdict::NotBvh},
        {"OnlyWhiteSpace", "\n\n  ", Verdict::NotBvh},
        {"CutShort", "HIERARCH", Verdict::NotBvh},
        {"NulFirst", std::string_view("\0HIERARCHY", 10), Verdict::NotBvh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(startsLikeBvh(c.input), c.verdict == Verdict::Bvh);
        BvhStartCheck bytewise;
        for (const char byte : c.input) bytewise.feed({&byte, 1});
        EXPECT_EQ(bytewise.finish(), c.verdict);
    }

    BvhStartCheck undecided;
    EXPECT_EQ(undecided.feed(std::string(100000, ' ')), Verdict::NeedMore);
    EXPECT_EQ(undecided.feed("HIER"), Verdict::NeedMore);
    EXPECT_EQ(undecided.feed("ARCHY garbage"), Verdict::Bvh);
    EXPECT_EQ(undecided.feed("anything"), Verdict::Bvh);
}

TEST(JointReport, UnreadableSourceNamesPathAndReason) {
    skelvane::testing::TempFolder folder;
    struct Case {
        std::filesystem::path path;
        std::errc reason;
    };
    for (const Case& c : {Case{folder / "missing.bvh", std::errc::no_such_file_or_directory},
                          Case{folder.path(), std::errc::is_a_directory}}) {
        SCOPED_TRACE(c.path.string());
        Job job;
        job.source = c.path;
        ReportKeeper keeper;
        runJobs({&job, 1}, {.dryRun = true}, keeper);
        EXPECT_FALSE(keeper.report.has_value());
        EXPECT_EQ(keeper.result.status, JobStatus::Failed);
        EXPECT_EQ(keeper.result.failure.side, Side::Source);
        EXPECT_EQ(keeper.result.failure.error, c.reason);
    }
}

}  // namespace
}  // namespace skelvane::conversion
