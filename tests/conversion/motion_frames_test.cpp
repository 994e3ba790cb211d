#include "conversion/bvh/motion_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/bvh/joint_positions.h"
#include "support/test_files.h"

namespace skelvane::conversion {
namespace {

namespace fs = std::filesystem;
using testing::testdataDir;

MotionFrames readFrames(const fs::path& path) {
    const auto file = platform::openForReading(path);
    EXPECT_TRUE(file) << path;
    if (!file) return {};
    auto frames = readMotionFrames(file->handle(), [](std::uint64_t) { return true; });
    EXPECT_TRUE(frames) << path;
    return frames ? std::move(*frames) : MotionFrames{};
}

MotionFrames readText(std::string_view text, std::uint64_t mostBytes, std::size_t blockSize) {
    MotionReader reader(mostBytes);
    for (std::size_t at = 0; at < text.size(); at += blockSize) {
        reader.feed(text.substr(at, blockSize));
    }
    return reader.finish();
}

// The positions three.js's BVHLoader gives (tests/clients/three_positions.mjs made them).
struct Reference {
    double height = 0;
    std::vector<std::pair<std::size_t, std::vector<Point3>>> frames;
};

Reference referenceIn(const fs::path& path) {
    Reference reference;
    std::istringstream lines(testing::readFile(path));
    std::string word;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        if (line.starts_with('#')) continue;
        if (line.starts_with("height")) {
            words >> word >> reference.height;
        } else if (line.starts_with("frame")) {
            reference.frames.emplace_back();
            words >> word >> reference.frames.back().first;
        } else {
            Point3& place = reference.frames.back().second.emplace_back();
            words >> place.x >> place.y >> place.z;
        }
    }
    return reference;
}

TEST(JointPositions, StandWhereThreeJsPutsThemWithinATenThousandthOfTheHeight) {
    // A Poser file whose joints turn in four orders, Mixamo's 55 joints, the largest real file
    // (1440 frames, Z up), a rig of 163 joints with a face, and a file of ours with position
    // channels on a joint below the root, in odd orders, and turns past 90 degrees.
    const fs::path files[] = {
        "linden_avatar_walk_crlf.bvh", "other-rigs/mixamo_prefixed_freebvh.bvh",
        "other-rigs/cmu_humanik_names_jumping.bvh", "large-rigs/makehuman_face_poseunits.bvh",
        "positions/every_channel.bvh"};
    for (const fs::path& file : files) {
        SCOPED_TRACE(file);
        const MotionFrames motion = readFrames(testdataDir() / file);
        ASSERT_EQ(motion.faultCount, 0U);
        ASSERT_FALSE(motion.sampled());
        const Reference reference = referenceIn(testdataDir() / "positions" /
                                                file.filename().replace_extension(".positions"));
        ASSERT_GT(reference.height, 1.0);
        ASSERT_EQ(reference.frames.size(), 3U);
        const double tolerance = 1e-4 * reference.height;
        for (const auto& [frame, places] : reference.frames) {
            ASSERT_LT(frame, motion.keptFrames);
            const std::vector<Point3> found = jointPositions(motion.hierarchy, motion.frame(frame));
            ASSERT_EQ(found.size(), places.size());
            for (std::size_t joint = 0; joint < places.size(); ++joint) {
                SCOPED_TRACE(::testing::Message() << "frame " << frame << ", joint " << joint);
                EXPECT_NEAR(found[joint].x, places[joint].x, tolerance);
                EXPECT_NEAR(found[joint].y, places[joint].y, tolerance);
                EXPECT_NEAR(found[joint].z, places[joint].z, tolerance);
            }
        }
    }
}

// A root of three channels and `lines` frame lines, frame i holding i first.
std::string takeOf(int lines, const std::string& framesLine) {
    std::string text =
        "HIERARCHY\nROOT hip\n{\n  OFFSET 0 0 0\n  CHANNELS 3 Zrotation Xrotation Yrotation\n"
        "  End Site\n  {\n    OFFSET 0 1 0\n  }\n}\nMOTION\n" +
        framesLine + "\nFrame Time: 0.04\n";
    for (int i = 0; i < lines; ++i) text += std::to_string(i) + " 0.5 -2e1\r\n";
    return text;
}

TEST(MotionFrames, KeepFramesSampledEvenlyWithinTheBound) {
    // Ten frames of three floats fit in 120 bytes.
    constexpr std::uint64_t kBound = 120;
    struct Case {
        const char* name;
        int lines;
        std::string framesLine;
        std::uint64_t step;
        std::vector<float> kept;
    };
    const Case cases[] = {
        {"fits", 10, "Frames: 10", 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"Frames: says 25, sampled once", 25, "Frames: 25", 3, {0, 3, 6, 9, 12, 15, 18, 21, 24}},
        {"Frames: says 5 of 25, thinned on the way", 25, "Frames: 5", 4, {0, 4, 8, 12, 16, 20, 24}},
    };
    for (const Case& c : cases) {
        const std::string text = takeOf(c.lines, c.framesLine);
        // Whole, and in blocks that cut words and lines.
        for (const std::size_t blockSize : {text.size(), std::size_t{7}}) {
            SCOPED_TRACE(::testing::Message() << c.name << ", blocks of " << blockSize);
            const MotionFrames motion = readText(text, kBound, blockSize);
            ASSERT_EQ(motion.faultCount, 0U) << motion.faults.front().what;
            EXPECT_EQ(motion.frameLines, static_cast<std::uint64_t>(c.lines));
            EXPECT_EQ(motion.step, c.step);
            EXPECT_LE(motion.values.capacity() * sizeof(float), kBound);
            std::vector<float> firsts;
            for (std::size_t i = 0; i < motion.keptFrames; ++i) {
                ASSERT_EQ(motion.frame(i).size(), 3U);
                EXPECT_EQ(motion.frame(i)[2], -20.0f);
                firsts.push_back(motion.frame(i)[0]);
            }
            EXPECT_EQ(firsts, c.kept);
            EXPECT_EQ(motion.sampled(), c.step > 1);
        }
    }
}

TEST(MotionFrames, TellFaultsThatKeepTheJointsFromBeingPlaced) {
    const std::string good = takeOf(2, "Frames: 2");
    const auto replaced = [&](std::string_view from, std::string_view to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {good, {}},
        {replaced("1 0.5 -2e1", "1 0.5"), {"15: 2 numbers where the joints' channels take 3"}},
        {replaced("1 0.5 -2e1", "1 0.5 -2e1 4"),
         {"15: 4 numbers where the joints' channels take 3"}},
        {replaced("0 0.5", "0 half"), {"14: `half` is not a number"}},
        {replaced("CHANNELS 3", "CHANNELS 4"),
         {"5: CHANNELS does not hold a count and as many channels",
          "14: 3 numbers where the joints' channels take 4",
          "15: 3 numbers where the joints' channels take 4"}},
        {replaced("OFFSET 0 1 0", "OFFSET 0 1"), {"8: OFFSET does not hold three numbers"}},
        {replaced("  }\n}", "  }\n"), {"2: `hip` without its }"}},
        {replaced("MOTION", "MOTON"),
         {"0: no MOTION line", "11: a line that is no part of a hierarchy",
          "14: a line that is no part of a hierarchy"}},
        {good.substr(0, good.find("MOTION")), {"0: no MOTION line"}},
    };
    for (const auto& [text, faults] : cases) {
        SCOPED_TRACE(text);
        const MotionFrames motion = readText(text, kMostFrameBytes, text.size());
        std::vector<std::string> found;
        for (const MotionFault& fault : motion.faults) {
            found.push_back(std::to_string(fault.line) + ": " + fault.what);
        }
        EXPECT_EQ(found, faults);
        EXPECT_EQ(motion.keptFrames, faults.empty() ? 2U : 0U) << "a faulty file keeps none";
    }
}

}  // namespace
}  // namespace skelvane::conversion
