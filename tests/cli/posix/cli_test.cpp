#include <gtest/gtest.h>

#include <set>

#include <nlohmann/json.hpp>

#include "cli/posix/convert_command.h"
#include "conversion/mapping/dropped_parts.h"

namespace skelvane::cli {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::fileNamesIn;
using skelvane::testing::readFile;
using skelvane::testing::referenceConversionOf;
using skelvane::testing::splitLines;

TEST_F(ConvertCommandTest, ConvertsEachFileIntoTitleMaxInTheCurrentFolder) {
    const Outcome outcome =
        run(fixture("linden_avatar_walk_crlf.bvh") + " " + fixture("opencollar_run_cr_only.bvh"));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(fileNamesIn(folder_.path()),
              (std::vector<std::string>{"linden_avatar_walk_crlf_max.bvh",
                                        "opencollar_run_cr_only_max.bvh"}));
    EXPECT_EQ(readFile(folder_ / "opencollar_run_cr_only_max.bvh"),
              referenceConversionOf(fixture("opencollar_run_cr_only.bvh")));
    EXPECT_EQ(splitLines(outcome.err).size(), 3u);
    EXPECT_NE(outcome.err.find("linden_avatar_walk_crlf.bvh -> linden_avatar_walk_crlf_max.bvh"),
              std::string::npos);
    EXPECT_TRUE(outcome.err.ends_with("\n2 files: 2 converted into the current folder\n"))
        << outcome.err;
    EXPECT_TRUE(outcome.out.empty());
}

TEST_F(ConvertCommandTest, ExampleFileComesOutWithMaxNamesOnly) {
    const Outcome outcome = run(shellWord(skelvane::testing::exampleFile()));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    std::set<std::string> joints;
    for (const std::string& line : splitLines(readFile(folder_ / "poser_wave_max.bvh"))) {
        const std::size_t at = line.find_first_not_of(' ');
        if (line.compare(at, 6, "JOINT ") == 0 || line.compare(at, 5, "ROOT ") == 0) {
            joints.insert(line.substr(line.find(' ', at) + 1));
        }
    }
    EXPECT_EQ(joints, (std::set<std::string>{
                          "Hips",         "Chest",         "Chest2",     "Neck",       "Head",
                          "RightCollar",  "RightShoulder", "RightElbow", "RightWrist", "LeftCollar",
                          "LeftShoulder", "LeftElbow",     "LeftWrist",  "RightHip",   "RightKnee",
                          "RightAnkle",   "LeftHip",       "LeftKnee",   "LeftAnkle",  "nothing",
                          "nothing1",     "nothing2",      "nothing3"}));
}

TEST_F(ConvertCommandTest, OutputFolderAndDroppedParts) {
    fs::create_directory(folder_ / "out");
    const Outcome outcome = run("-o out --drop rShoulder --drop 1 --drop rthigh " +
                                fixture("qavimator_SLFemale_1frame.bvh"));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::string converted = readFile(folder_ / "out/qavimator_SLFemale_1frame_max.bvh");
    EXPECT_EQ(converted, referenceConversionOf(fixture("qavimator_SLFemale_1frame.bvh"),
                                               conversion::DroppedParts().set(7).set(1).set(16)));
    EXPECT_EQ(converted.find("RightShoulder"), std::string::npos);
    EXPECT_NE(converted.find("LeftShoulder"), std::string::npos);
}

TEST_F(ConvertCommandTest, AFailedFileIsReportedAndTheOthersStillConverted) {
    const Outcome outcome = run("missing.bvh " + fixture("opencollar_kneel.bvh"));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("skelvane-convert: missing.bvh: No such file or directory"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(fileNamesIn(folder_.path()), std::vector<std::string>{"opencollar_kneel_max.bvh"});
}

TEST_F(ConvertCommandTest, SumsUpRefusalsAndFailuresLastAndQuietTellsOnlyThose) {
    fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / "a.bvh");
    fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / "b.bvh");
    skelvane::testing::writeFile(folder_ / "picture.bvh", "\x89PNG\r\n");
    fs::create_directory(folder_ / "out");
    const std::string files = " a.bvh picture.bvh missing.bvh b.bvh";
    const std::string notConverted =
        "skelvane-convert: picture.bvh: not a BVH file (--force converts it anyway)\n"
        "skelvane-convert: missing.bvh: No such file or directory\n";
    const std::pair<std::string, std::string> cases[] = {
        {"-o out" + files, "a.bvh -> out/a_max.bvh\n" + notConverted +
                               "b.bvh -> out/b_max.bvh\n"
                               "4 files: 2 converted into out/, 1 refused, 1 failed\n"},
        {"-qo out" + files, notConverted},
        {"-n -o out" + files,
         "4 files: 2 would be converted into out/, 1 would be refused, 1 failed; nothing was "
         "written\n"},
        {"--quiet -n --json" + files, ""},
    };
    for (const auto& [arguments, err] : cases) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, err);
    }
    EXPECT_EQ(fileNamesIn(folder_ / "out"), (std::vector<std::string>{"a_max.bvh", "b_max.bvh"}));
}

TEST_F(ConvertCommandTest, RefusesToWriteOverItsOwnSource) {
    const std::string original = readFile(fixture("opencollar_kneel.bvh"));
    skelvane::testing::writeFile(folder_ / "kneel.bvh", original);
    fs::create_symlink(folder_ / "kneel.bvh", folder_ / "kneel_max.bvh");
    const Outcome outcome = run("kneel.bvh");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("the output is the source file itself"), std::string::npos);
    EXPECT_EQ(readFile(folder_ / "kneel.bvh"), original);
}

TEST_F(ConvertCommandTest, NeverWritesOverAnInputOrAnOutputOfTheSameRun) {
    const std::string kneel = readFile(fixture("opencollar_kneel.bvh"));
    const std::string single = readFile(fixture("qavimator_SLFemale_1frame.bvh"));
    for (const char* name : {"walk.bvh", "walk_max.bvh", "x/run.bvh"}) {
        fs::create_directories((folder_ / name).parent_path());
        skelvane::testing::writeFile(folder_ / name, kneel);
    }
    fs::create_directory(folder_ / "y");
    skelvane::testing::writeFile(folder_ / "y/run.bvh", single);
    const std::string files = "walk.bvh walk_max.bvh x/run.bvh y/run.bvh";

    // The dry run writes nothing and tells every refusal the run makes.
    const std::vector<std::string> before = fileNamesIn(folder_.path());
    Outcome outcome = run("--dry-run " + files);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(fileNamesIn(folder_.path()), before);
    for (const char* line :
         {"walk.bvh: would not convert to walk_max.bvh: the output is one of the inputs "
          "(walk_max.bvh)\n",
          "walk_max.bvh -> walk_max_max.bvh\n", "x/run.bvh -> run_max.bvh\n",
          "y/run.bvh: would not convert to run_max.bvh: already written from x/run.bvh in this "
          "run\n"}) {
        EXPECT_NE(outcome.out.find(line), std::string::npos) << line << outcome.out;
    }
    outcome = run("-n --json " + files);
    const auto json = nlohmann::json::parse(outcome.out);
    ASSERT_EQ(json.size(), 4u);
    EXPECT_EQ(json[0]["refusal"], "the output is one of the inputs (walk_max.bvh)");
    EXPECT_EQ(json[2]["converts"], true);
    EXPECT_EQ(json[2]["joints"].size(), 19u);
    EXPECT_EQ(json[2]["joints"][0]["new"], "Hips");
    EXPECT_EQ(fileNamesIn(folder_.path()), before);

    outcome = run(files);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("walk.bvh: walk_max.bvh: the output is one of the inputs "
                               "(walk_max.bvh)"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(
        outcome.err.find("y/run.bvh: run_max.bvh: already written from x/run.bvh in this run"),
        std::string::npos)
        << outcome.err;
    EXPECT_EQ(readFile(folder_ / "walk_max.bvh"), kneel);
    EXPECT_EQ(readFile(folder_ / "run_max.bvh"), referenceConversionOf(folder_ / "x/run.bvh"));
    EXPECT_TRUE(fs::exists(folder_ / "walk_max_max.bvh"));

    // An output left by an earlier run is replaced as usual.
    EXPECT_EQ(run("y/run.bvh").exitCode, 0);
    EXPECT_EQ(readFile(folder_ / "run_max.bvh"), referenceConversionOf(folder_ / "y/run.bvh"));

    // Standard input appended to its own file would never end.
    outcome = run("-", "<walk.bvh >>walk.bvh");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err,
              "skelvane-convert: -: standard input and standard output are the same file\n"
              "1 file: 1 refused\n");
    EXPECT_EQ(readFile(folder_ / "walk.bvh"), kneel);
}

TEST_F(ConvertCommandTest, RefusesWhatDoesNotStartLikeBvhUnlessForced) {
    skelvane::testing::writeFile(folder_ / "picture.bvh", "\x89PNG\r\n\x1a\nHIERARCHY\n");
    skelvane::testing::writeFile(folder_ / "bom.bvh", "\xef\xbb\xbf \r\n\tHIERARCHY\nROOT hip\n");
    Outcome outcome = run("picture.bvh bom.bvh");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find(
                  "skelvane-convert: picture.bvh: not a BVH file (--force converts it anyway)\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(fileNamesIn(folder_.path()),
              (std::vector<std::string>{"bom.bvh", "bom_max.bvh", "picture.bvh"}));
    EXPECT_EQ(readFile(folder_ / "bom_max.bvh"), "\xef\xbb\xbf \r\n\tHIERARCHY\r\nROOT Hips\r\n");

    outcome = run("-", "<picture.bvh");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.out, "");
    // Through a pipe, which cannot be read twice.
    outcome = runAfter("cat bom.bvh |", "-");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "\xef\xbb\xbf \r\n\tHIERARCHY\r\nROOT Hips\r\n");

    outcome = run("--force picture.bvh");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(readFile(folder_ / "picture_max.bvh"), "\x89PNG\r\n\x1a\r\nHIERARCHY\r\n");
}

TEST_F(ConvertCommandTest, AFileSizeLimitFailsThatFileAndTheRunGoesOn) {
    // Without the limit in the way, the first output is 53 kB.
    const Outcome outcome =
        runAfter("ulimit -f 16 &&",
                 fixture("opencollar_kneel.bvh") + " " + fixture("qavimator_SLFemale_1frame.bvh"));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("opencollar_kneel_max.bvh: File too large"), std::string::npos)
        << outcome.err;
    EXPECT_EQ(fileNamesIn(folder_.path()),
              std::vector<std::string>{"qavimator_SLFemale_1frame_max.bvh"});
}

TEST_F(ConvertCommandTest, TitlesCutWholeCharactersAndShortNamesGiveAnEmptyOne) {
    for (const auto& [source, output] :
         {std::pair{"ab", "_max.bvh"},
          {"a\xe6\x97\xa5xyz", "a_max.bvh"},
          {"\xe6\xad\xa9\xe3\x81\x8f.bvh", "\xe6\xad\xa9\xe3\x81\x8f_max.bvh"}}) {
        SCOPED_TRACE(output);
        fs::copy_file(fixture("qavimator_SLFemale_1frame.bvh"), folder_ / source);
        EXPECT_EQ(run(std::string("'") + source + "'").exitCode, 0);
        EXPECT_TRUE(fs::exists(folder_ / output));
    }
}

TEST_F(ConvertCommandTest, DashConvertsStandardInputToStandardOutput) {
    const Outcome outcome =
        run("-", std::string("<").append(shellWord(fixture("linden_avatar_cross_arms_lf.bvh"))));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, referenceConversionOf(fixture("linden_avatar_cross_arms_lf.bvh")));
}

TEST_F(ConvertCommandTest, AFullStandardOutputIsAFailure) {
    const Outcome outcome = run(
        "-", std::string("<").append(shellWord(fixture("opencollar_kneel.bvh"))) + " >/dev/full");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("standard output: No space left on device"), std::string::npos)
        << outcome.err;
}

TEST_F(ConvertCommandTest, UsageErrorsExitWithTwoSayWhyOnceAndTouchNothing) {
    skelvane::testing::writeFile(folder_ / "notes", "");
    fs::copy_file(fixture("opencollar_kneel.bvh"), folder_ / "a.bvh");
    const std::pair<const char*, const char*> cases[] = {
        {"", "no input file given"},
        {"--frobnicate a.bvh", "--frobnicate: unknown option"},
        {"--drop 0 a.bvh",
         "--drop: unknown body part '0' (use 1..23 or a joint name such as rShldr)"},
        {"a.bvh -o", "-o: needs a folder"},
        // The folder is checked once, before any source is read.
        {"-o missing a.bvh gone.bvh", "missing: no such folder"},
        {"-n --output-dir=notes a.bvh", "notes: not a folder"},
        {"-onotes/x a.bvh", "notes/x: no such folder"},
        {"$'--\\e[2J' a.bvh", "--\\x1b[2J: unknown option"},
        {"--check -n a.bvh", "--check: cannot go with --dry-run"},
        {"--json a.bvh", "--json: goes only with --dry-run or --check"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.err, "skelvane-convert: " + std::string(message) +
                                   "\nTry 'skelvane-convert --help' for more information.\n");
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(fileNamesIn(folder_.path()), (std::vector<std::string>{"a.bvh", "notes"}));
    }
}

TEST_F(ConvertCommandTest, CheckTellsFindingsAndExitsByErrorsAloneWhileConvertingIgnoresThem) {
    std::string bvh = readFile(fixture("linden_avatar_cross_arms_lf.bvh"));
    bvh.replace(bvh.find("JOINT chest"), 11, "JOINT ch.est");
    skelvane::testing::writeFile(folder_ / "dotted.bvh", bvh);
    bvh.replace(bvh.find("Frames:     3"), 13, "Frames: 4");
    skelvane::testing::writeFile(folder_ / "broken.bvh", bvh);
    skelvane::testing::writeFile(folder_ / "picture.bvh", "\x89PNG\r\n");
    const std::string dot =
        ":10: warning: the name 'ch.est' holds a dot: three.js cannot bind its tracks\n";
    const std::string frames = ":128: error: Frames: says 4, and 3 frame lines follow\n";
    const struct {
        std::string arguments;
        int exitCode;
        std::string out;
        std::string err;
    } cases[] = {
        {"--check " + fixture("opencollar_kneel.bvh"), 0, "",
         "1 file checked: 0 errors, 0 warnings\n"},
        {"--check dotted.bvh", 0, "dotted.bvh" + dot, "1 file checked: 0 errors, 1 warning\n"},
        {"--check broken.bvh dotted.bvh", 1,
         "broken.bvh" + dot + "broken.bvh" + frames + "dotted.bvh" + dot,
         "2 files checked: 1 error, 2 warnings\n"},
        {"-q --check missing.bvh picture.bvh", 1,
         "picture.bvh:1: error: the file does not start with HIERARCHY\n",
         "skelvane-convert: missing.bvh: No such file or directory\n"},
        {"--check - <broken.bvh", 1, "standard input" + dot + "standard input" + frames,
         "1 file checked: 1 error, 1 warning\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(outcome.err, c.err);
    }

    Outcome outcome = run("--check --json broken.bvh missing.bvh");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(nlohmann::json::parse(outcome.out), nlohmann::json::parse(R"([
        {"source": "broken.bvh", "failure": null,
         "check": {"errors": 1, "warnings": 1,
                   "findings": [{"line": 10, "severity": "warning", "kind": "name-dot",
                                 "reason": "the name 'ch.est' holds a dot: three.js cannot bind its tracks"},
                                {"line": 128, "severity": "error", "kind": "frame-count",
                                 "reason": "Frames: says 4, and 3 frame lines follow"}],
                   "unlisted": []}},
        {"source": "missing.bvh", "failure": "No such file or directory", "check": null}])"));

    // Nothing written by the check; the findings change neither a conversion nor its status.
    EXPECT_EQ(fileNamesIn(folder_.path()),
              (std::vector<std::string>{"broken.bvh", "dotted.bvh", "picture.bvh"}));
    outcome = run("-n broken.bvh");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.out.find("\n  broken.bvh" + frames), std::string::npos) << outcome.out;
    outcome = run("broken.bvh");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err,
              "broken.bvh -> broken_max.bvh\n1 file: 1 converted into the current folder\n");
    EXPECT_EQ(readFile(folder_ / "broken_max.bvh"), referenceConversionOf(folder_ / "broken.bvh"));
}

TEST_F(ConvertCommandTest, ATargetJudgesAFileAsItStandsAndWhatAConversionWroteForIt) {
    const std::string wave = shellWord(skelvane::testing::exampleFile());
    Outcome outcome = run("-q --check --to sl " + fixture("opencollar_kneel.bvh"));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.out;
    outcome = run("--check --to sl " + wave);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(splitLines(outcome.out).size(), 21u) << "20 listed, and a count";
    EXPECT_TRUE(outcome.out.ends_with(
        ": error: 17 more moving joints whose names the target does not know\n"))
        << outcome.out;
    // Written with the upload's names, three joints are still none it knows; the exit status
    // tells only that the file was converted.
    outcome = run("--to sl " + wave);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(splitLines(outcome.err).at(1),
              "  sl would still refuse it: moving joints whose names the target does not know (3)");
    outcome = run("--check --to sl poser_wave_sl.bvh");
    EXPECT_EQ(outcome.out,
              "poser_wave_sl.bvh:274: error: joint 'genital' moves, and the Second Life upload "
              "knows no joint of that name\n"
              "poser_wave_sl.bvh:283: error: joint 'rButtock' moves, and the Second Life upload "
              "knows no joint of that name\n"
              "poser_wave_sl.bvh:312: error: joint 'lButtock' moves, and the Second Life upload "
              "knows no joint of that name\n");
}

TEST_F(ConvertCommandTest, HelpAndVersion) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: skelvane-convert [OPTION]... FILE...", 0), 0u);
    // Parts by the joint names a user types; the window's control names stay in the window.
    EXPECT_NE(help.out.find("\n   4 abdomen                      16 rThigh\n"), std::string::npos);
    EXPECT_NE(help.out.find("\n  10 Fingers (always nothing)     22 lShin\n"), std::string::npos);
    EXPECT_EQ(help.out.find("Thiqh"), std::string::npos);
    const Outcome version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("skelvane-convert ", 0), 0u);
}

}  // namespace
}  // namespace skelvane::cli
