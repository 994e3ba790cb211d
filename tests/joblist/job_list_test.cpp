#include "joblist/job_list.h"

#include <gtest/gtest.h>

#include <set>

#include "joblist/body_parts.h"
#include "joblist/title_rule.h"

namespace skelvane::joblist {
namespace {

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

TEST(BodyParts, TableIsNumberedInOrderWithDistinctNames) {
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < kBodyParts.size(); ++i) {
        EXPECT_EQ(kBodyParts[i].number, static_cast<int>(i) + 1);
        EXPECT_TRUE(names.insert(kBodyParts[i].imageName).second) << kBodyParts[i].imageName;
        // Exactly the four fixed parts govern no joint.
        EXPECT_EQ(kBodyParts[i].poserJoint.empty(), isFixedPart(kBodyParts[i].number));
    }
    EXPECT_EQ(bodyPart(16).imageName, "rThiqh");
    EXPECT_EQ(bodyPart(16).toolTip, "Right Thigh");
    EXPECT_EQ(bodyPart(16).poserJoint, "rThigh");
    EXPECT_EQ(bodyPart(7).imageName, "rShoulder");
}

struct TitleCase {
    const char* name;
    std::string_view fileName;
    std::string_view title;
};

TEST(TitleRule, CutsTheLastFourCharactersNeverPartOfOne) {
    const TitleCase cases[] = {
        {"extension", "walk.bvh", "walk"},
        {"upper case", "RUN.BVH", "RUN"},
        {"exactly four", "abcd", ""},
        {"shorter", "ab", ""},
        {"empty", "", ""},
        {"no dot", "walking", "wal"},
        {"wide character kept whole", "a\xe6\x97\xa5xyz", "a"},
        {"wide characters in the title", "\xe6\x97\xa5\xe6\x9c\xac.bvh",
         "\xe6\x97\xa5\xe6\x9c\xac"},
        {"outside the basic plane", "a\xf0\x9f\x98\x80.bv", "a"},
        {"invalid: cut by bytes", "a\xed\xa0\x80xyz", "a\xed\xa0"},
        {"truncated sequence", "abc\xe6\x97xy", "abc"},
        {"overlong form", "\xc0\xaf.bvh", "\xc0\xaf"},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(titleOf(c.fileName), c.title);
    }
    EXPECT_EQ(defaultOutputName("walk"), "walk_max");
    EXPECT_EQ(outputFileName("walk_max"), "walk_max.bvh");
}

}  // namespace
}  // namespace skelvane::joblist
