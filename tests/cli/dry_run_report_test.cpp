#include "cli/dry_run_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace skelvane::cli {
namespace {

using conversion::JointOutcome;
using conversion::JointReport;
using conversion::LineEnds;

std::vector<DryRunFile> plannedRun() {
    JointReport walk{true,
                     {{"hip", "Hips", JointOutcome::Renamed, false},
                      {"neckDummy", "NeckDummy", JointOutcome::Renamed, true},
                      {"rThumb2", "nothing2", JointOutcome::Dropped, true},
                      {"cyl_1", "cyl_1", JointOutcome::Untouched, false}},
                     14,
                     LineEnds::CrLf};
    return {{"walk.bvh", "out/walk_max.bvh", std::nullopt, walk},
            {"photo.bvh", "out/photo_max.bvh", "not a BVH file", JointReport{}},
            {"gone.bvh", "", "No such file or directory", std::nullopt},
            {"x\x1b[2J.bvh", "x\x1b[2J_max.bvh", std::nullopt, JointReport{}}};
}

TEST(DryRunText, TablesRefusalsAndFlags) {
    EXPECT_EQ(dryRunText(plannedRun()),
              "walk.bvh -> out/walk_max.bvh\n"
              "  14 frames, CR LF line ends, 4 joints, 2 partial-word hits, 1 untouched\n"
              "    old name   new name   what happened\n"
              "    hip        Hips       renamed\n"
              "  ! neckDummy  NeckDummy  renamed, partial word\n"
              "  ! rThumb2    nothing2   dropped, partial word\n"
              "  ! cyl_1      cyl_1      untouched\n"
              "\n"
              "photo.bvh: would not convert to out/photo_max.bvh: not a BVH file\n"
              "  frames unknown, no line ends, 0 joints\n"
              "\n"
              "gone.bvh: would not convert: No such file or directory\n"
              "\n"
              "x\\x1b[2J.bvh -> x\\x1b[2J_max.bvh  (not a BVH file)\n"
              "  frames unknown, no line ends, 0 joints\n"
              "\n"
              "2 of 4 files would be converted; nothing was written.\n");
}

TEST(DryRunJson, OneObjectPerFileAndInvalidUtf8Replaced) {
    std::vector<DryRunFile> files = plannedRun();
    files.resize(3);
    files[0].source = "walk\xFE.bvh";
    files[0].report->joints.resize(2);
    files[0].report->joints[1].oldName = "neck\xFF\xC3";

    const std::string json = dryRunJson(files);
    EXPECT_TRUE(json.starts_with("[\n  {\n    \"source\": \"walk")) << json;
    EXPECT_EQ(nlohmann::json::parse(json), nlohmann::json::parse(R"([
        {"source": "walk\ufffd.bvh", "output": "out/walk_max.bvh", "converts": true,
         "refusal": null, "bvh": true, "frames": 14, "line_ends": "CRLF",
         "joints": [{"old": "hip", "new": "Hips", "outcome": "renamed", "partial_word": false},
                    {"old": "neck\ufffd\ufffd", "new": "NeckDummy", "outcome": "renamed",
                     "partial_word": true}]},
        {"source": "photo.bvh", "output": "out/photo_max.bvh", "converts": false,
         "refusal": "not a BVH file", "bvh": false, "frames": null, "line_ends": "none",
         "joints": []},
        {"source": "gone.bvh", "output": null, "converts": false,
         "refusal": "No such file or directory", "bvh": null, "frames": null,
         "line_ends": null, "joints": []}])"));
}

}  // namespace
}  // namespace skelvane::cli
