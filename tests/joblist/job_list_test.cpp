#include "joblist/job_list.h"

#include <gtest/gtest.h>

#include <set>

#include "joblist/body_parts.h"

namespace skelvane::joblist {
namespace {

TEST(JobList, AppendKeepsColumnsInStepAndFillsSlotsFromOne) {
    JobList jobs;
    EXPECT_EQ(jobs.appendRow("walk", "walk_max", " ", "/data/walk.bvh"), 0);
    EXPECT_EQ(jobs.appendRow("RUN", "RUN_max", " ", "/data/RUN.BVH"), 1);
    EXPECT_EQ(jobs.appendRow("", "_max", " ", "/data/abcd"), 2);

    ASSERT_EQ(jobs.rowCount(), 3);
    EXPECT_EQ(jobs.title(1), "RUN");
    EXPECT_EQ(jobs.outputName(2), "_max");
    EXPECT_EQ(jobs.SourcePath(0), "");
    EXPECT_EQ(jobs.SourcePath(1), "/data/walk.bvh");
    EXPECT_EQ(jobs.SourcePath(3), "/data/abcd");
    EXPECT_EQ(jobs.sourcePathOfRow(2), "/data/abcd");
    EXPECT_EQ(jobs.SourcePath(4), "");
}

TEST(JobList, FreshRowConvertsEveryPartAndIsNotSkipped) {
    JobList jobs;
    jobs.appendRow("walk", "walk_max", " ", "/walk.bvh");
    EXPECT_FALSE(jobs.isSkipped(0));
    for (int part = 0; part < kPartOffParts; ++part) {
        EXPECT_EQ(jobs.PartOff(part, 0), 0.0f) << "part " << part;
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
    jobs.setPartOff(7, 1, 1.0f);
    EXPECT_EQ(jobs.outputName(0), "a_max");
    EXPECT_EQ(jobs.outputName(1), "renamed");
    EXPECT_EQ(jobs.PartOff(7, 0), 0.0f);
    EXPECT_EQ(jobs.PartOff(7, 1), 1.0f);
    // The table is larger than the row limit; its far corner is addressable.
    jobs.setPartOff(kPartOffParts - 1, kPartOffRows - 1, 1.0f);
    EXPECT_EQ(jobs.PartOff(kPartOffParts - 1, kPartOffRows - 1), 1.0f);
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
    EXPECT_EQ(jobs.SourcePath(22), "/p21");
    EXPECT_EQ(jobs.SourcePath(23), "");
}

TEST(BodyParts, TableIsNumberedInOrderWithDistinctNames) {
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < kBodyParts.size(); ++i) {
        EXPECT_EQ(kBodyParts[i].number, static_cast<int>(i) + 1);
        EXPECT_TRUE(names.insert(kBodyParts[i].imageName).second) << kBodyParts[i].imageName;
        // Exactly the four fixed parts govern no joint.
        EXPECT_EQ(kBodyParts[i].poserJoint.empty(), isFixedPart(kBodyParts[i].number));
    }
    EXPECT_EQ(findPartByImageName("rThiqh")->poserJoint, "rThigh");
    EXPECT_EQ(findPartByImageName("rShoulder")->number, 7);
    EXPECT_FALSE(findPartByImageName("rThigh").has_value());
}

}  // namespace
}  // namespace skelvane::joblist
