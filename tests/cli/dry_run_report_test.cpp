#include "cli/dry_run_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "conversion/mapping/presets.h"

namespace skelvane::cli {
namespace {

using conversion::JointEntry;
using conversion::JointOutcome;
using conversion::JointReport;
using conversion::LineEnds;

JointReport walkReport() {
    JointReport walk;
    walk.bvh = true;
    walk.frames = 14;
    walk.lineEnds = LineEnds::CrLf;
    for (JointEntry joint :
         {JointEntry{"hip", "Hips", JointOutcome::Renamed, false, 3, 4},
          JointEntry{"neckDummy", "NeckDummy", JointOutcome::Renamed, true, 9, 9},
          JointEntry{"rThumb2", "nothing2", JointOutcome::Dropped, false, 7, 8, 10},
          JointEntry{"rShldr", "nothing", JointOutcome::Dropped, false, 6, 7, 7},
          JointEntry{"cyl_1", "cyl_1", JointOutcome::Untouched, false, 5, 5}}) {
        walk.add(joint);
    }
    // Four of the five joints are whole names of a preset that renames them.
    conversion::FitCounter fit;
    for (const char* name : {"hip", "neck", "rThumb2", "rShldr", "cyl_1"}) fit.addJoint(name);
    walk.fit = fit.result();
    walk.sharedNames = {{"nothing", 2}};
    walk.findings.emplace();
    walk.findings->add(128, conversion::FindingKind::FrameCount,
                       [] { return "Frames: says 15, and 14 frame lines follow"; });
    walk.findings->add(10, conversion::FindingKind::NameDot,
                       [] { return "the name 'ch.est' holds a dot"; });
    walk.findings->sort();
    return walk;
}

// The whole report of a planned run, as the run prints it a file at a time.
template <typename Render, typename End>
std::string rendered(const std::vector<DryRunFile>& files, Render render, End end) {
    std::string out;
    for (std::size_t i = 0; i < files.size(); ++i) out += render(files[i], i == 0);
    return out + end();
}

TEST(DryRunText, TablesRefusalsAndFlags) {
    const JointReport walk = walkReport();
    JointReport empty;
    empty.lineEnds = LineEnds::Lf;
    const std::vector<DryRunFile> files{
        {"walk.bvh", "out/walk_max.bvh", std::nullopt, true, &walk, &conversion::defaultMapping()},
        {"photo.bvh", "out/photo_max.bvh", "not a BVH file", false, nullptr},
        {"gone.bvh", "", "No such file or directory", std::nullopt, nullptr},
        {"x\x1b[2J.bvh", "x\x1b[2J_max.bvh", std::nullopt, false, &empty,
         conversion::findPreset("mixamo-max"), true, true}};
    EXPECT_EQ(rendered(files, dryRunText, [] { return std::string(); }),
              "walk.bvh -> out/walk_max.bvh\n"
              "  14 frames, CR LF line ends, 5 joints, 1 partial-word hit, 1 untouched\n"
              "  mapping: poser-max; best fit: poser-max-names, 4 of 5 joints\n"
              "  warning: several joints get one name (2 nothing); many importers cannot tell "
              "them apart\n"
              "  walk.bvh:10: warning: the name 'ch.est' holds a dot\n"
              "  walk.bvh:128: error: Frames: says 15, and 14 frame lines follow\n"
              "    old name   new name   what happened\n"
              "    hip        Hips       renamed\n"
              "  ! neckDummy  NeckDummy  renamed, partial word\n"
              "    rThumb2    nothing2   renamed to nothing, always\n"
              "    rShldr     nothing    renamed to nothing, --drop rShldr\n"
              "  ! cyl_1      cyl_1      untouched: no row matches\n"
              "\n"
              "photo.bvh: would not convert to out/photo_max.bvh: not a BVH file\n"
              "\n"
              "gone.bvh: would not convert: No such file or directory\n"
              "\n"
              "x\\x1b[2J.bvh -> x\\x1b[2J_max.bvh  (not a BVH file)\n"
              "  frames unknown, LF line ends, 0 joints\n"
              "  mapping: mixamo-max (--map auto); best fit: none, no joints\n"
              "  note: the output exists and is replaced\n"
              "  note: LF line ends become CR LF\n");
}

TEST(DryRunText, CutNamesAndJointsPastTheListAreCounted) {
    JointReport report;
    report.bvh = true;
    report.add({"rThumb1" + std::string(249, 'x'), "nothing1" + std::string(248, 'x'),
                JointOutcome::Dropped, true, 100000000, 100000001});
    report.jointCount += 2999999;
    report.dropped += 2999999;
    const std::string text =
        dryRunText({"big.bvh", "big_max.bvh", std::nullopt, true, &report}, true);
    EXPECT_NE(text.find("  frames unknown, no line ends, 3000000 joints, 1 partial-word hit\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(std::string(248, 'x') +
                        "...  renamed to nothing, always, partial word, name of 100000000 bytes\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("    ... and 2999999 more joints, counted above\n")) << text;
}

TEST(DryRunJson, OneArrayElementPerFileAndInvalidUtf8Replaced) {
    JointReport walk = walkReport();
    walk.joints.resize(4);
    walk.joints[1].oldName = "neck\xFF\xC3";
    walk.joints[1].oldLength = 6;
    const std::vector<DryRunFile> files{
        {"walk\xFE.bvh", "out/walk_max.bvh", std::nullopt, true, &walk,
         &conversion::defaultMapping()},
        {"photo.bvh", "out/photo_max.bvh", "not a BVH file", false, nullptr},
        {"gone.bvh", "", "No such file or directory", std::nullopt, nullptr}};

    const std::string json = rendered(files, dryRunJson, [] { return dryRunJsonEnd(false); });
    EXPECT_TRUE(json.starts_with("[\n  {\n    \"source\": \"walk")) << json;
    EXPECT_TRUE(json.ends_with("\n  }\n]\n")) << json;
    EXPECT_EQ(nlohmann::json::parse(json), nlohmann::json::parse(R"([
        {"source": "walk\ufffd.bvh", "output": "out/walk_max.bvh", "converts": true,
         "refusal": null, "bvh": true, "frames": 14, "line_ends": "CRLF",
         "joints": [{"old": "hip", "new": "Hips", "outcome": "renamed", "reason": null,
                     "part": null, "partial_word": false, "cut": false, "old_length": 3,
                     "new_length": 4},
                    {"old": "neck\ufffd\ufffd", "new": "NeckDummy", "outcome": "renamed",
                     "reason": null, "part": null, "partial_word": true, "cut": false,
                     "old_length": 6, "new_length": 9},
                    {"old": "rThumb2", "new": "nothing2", "outcome": "dropped",
                     "reason": "always", "part": "Fingers", "partial_word": false, "cut": false,
                     "old_length": 7, "new_length": 8},
                    {"old": "rShldr", "new": "nothing", "outcome": "dropped",
                     "reason": "part not converted", "part": "rShldr", "partial_word": false,
                     "cut": false, "old_length": 6, "new_length": 7}],
         "joint_count": 5, "map": "poser-max", "map_is_best_fit": false,
         "best_fit": {"best": "poser-max-names", "verdict": "fits", "renamed": 4, "joints": 5,
                      "summary": "best fit: poser-max-names, 4 of 5 joints"},
         "shared_names": [{"name": "nothing", "joints": 2}], "replaces_existing": false,
         "line_ends_change": false,
         "check": {"errors": 1, "warnings": 1,
                   "findings": [{"line": 10, "severity": "warning", "kind": "name-dot",
                                 "reason": "the name 'ch.est' holds a dot"},
                                {"line": 128, "severity": "error", "kind": "frame-count",
                                 "reason": "Frames: says 15, and 14 frame lines follow"}],
                   "unlisted": []}},
        {"source": "photo.bvh", "output": "out/photo_max.bvh", "converts": false,
         "refusal": "not a BVH file", "bvh": false, "frames": null, "line_ends": null,
         "joints": [], "joint_count": null, "map": null, "map_is_best_fit": false,
         "best_fit": null, "shared_names": [], "replaces_existing": false,
         "line_ends_change": null, "check": null},
        {"source": "gone.bvh", "output": null, "converts": false,
         "refusal": "No such file or directory", "bvh": null, "frames": null,
         "line_ends": null, "joints": [], "joint_count": null, "map": null,
         "map_is_best_fit": false, "best_fit": null, "shared_names": [],
         "replaces_existing": false, "line_ends_change": null, "check": null}])"));
    EXPECT_EQ(dryRunJsonEnd(true), "[]\n");
}

}  // namespace
}  // namespace skelvane::cli
