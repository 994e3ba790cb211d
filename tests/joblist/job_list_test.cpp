#include "joblist/job_list.h"

#include <gtest/gtest.h>

#include "common/body_parts.h"

namespace skelvane::joblist {
namespace {

using common::kPartCount;

TEST(JobList, AppendKeepsEachRowsColumnsTogether) {
    JobList jobs;
    EXPECT_EQ(jobs.appendRow("walk", "walk_max", " ", "/data/walk.bvh"), 0);
    EXPECT_EQ(jobs.appendRow("RUN", "RUN_max", " ", "/data/RUN.BVH"), 1);
    EXPECT_EQ(jobs.appendRow("", "_max", " ", "/data/abcd"), 2);

    ASSERT_EQ(jobs.rowCount(), 3);
    EXPECT_EQ(jobs.title(1), "RUN");
    EXPECT_EQ(jobs.outputName(2), "_max");
    EXPECT_EQ(jobs.sourcePath(0), "/data/walk.bvh");
    EXPECT_EQ(jobs.sourcePath(1), "/data/RUN.BVH");
    EXPECT_EQ(jobs.sourcePath(2), "/data/abcd");
    EXPECT_THROW(jobs.sourcePath(3), std::out_of_range);
}

TEST(JobList, FreshRowConvertsEveryPartAndIsNotSkipped) {
    JobList jobs;
    jobs.appendRow("walk", "walk_max", " ", "/walk.bvh");
    EXPECT_FALSE(jobs.isSkipped(0));
    for (int part = 0; part <= kPartCount; ++part) {
        EXPECT_EQ(jobs.partFlag(0, part), 0.0f) << "part " << part;
    }
}

TEST(JobList, OnlyAnExactXSkips) {
    JobList jobs;
    jobs.appendRow("walk", "walk_max", " ", "/walk.bvh");
    for (const char* mark : {" ", "X", "x ", "", "y"}) {
        jobs.setSkipMark(0, mark);
        EXPECT_FALSE(jobs.isSkipped(0)) << '"' << mark << '"';
    }
    jobs.setSkipMark(0, "x");
    EXPECT_TRUE(jobs.isSkipped(0));
}

TEST(JobList, EditsAndFlagsStayOnTheirRow) {
    JobList jobs;
    jobs.appendRow("a", "a_max", " ", "/a.bvh");
    jobs.appendRow("b", "b_max", " ", "/b.bvh");
    jobs.setOutputName(1, "renamed");
    jobs.setPartFlag(1, 7, 1.0f);
    EXPECT_EQ(jobs.outputName(0), "a_max");
    EXPECT_EQ(jobs.outputName(1), "renamed");
    EXPECT_EQ(jobs.partFlag(0, 7), 0.0f);
    EXPECT_EQ(jobs.partFlag(1, 7), 1.0f);
    // Part 0 belongs to no image but is addressable, as is the last part.
    jobs.setPartFlag(1, 0, 1.0f);
    jobs.setPartFlag(1, kPartCount, 0.5f);
    EXPECT_TRUE(jobs.isDropped(1, kPartCount));
    EXPECT_FALSE(jobs.isDropped(0, kPartCount));
}

TEST(JobList, TwentySecondRowIsAcceptedAndTwentyThirdRefused) {
    JobList jobs;
    for (int row = 0; row < kMaxRows; ++row) {
        EXPECT_FALSE(jobs.isFull());
        EXPECT_EQ(jobs.appendRow("t", "t_max", " ", "/p" + std::to_string(row)), row);
    }
    EXPECT_TRUE(jobs.isFull());
    EXPECT_EQ(jobs.appendRow("late", "late_max", " ", "/late"), -1);
    EXPECT_EQ(jobs.rowCount(), kMaxRows);
    EXPECT_EQ(jobs.sourcePath(21), "/p21");
}

}  // namespace
}  // namespace skelvane::joblist
