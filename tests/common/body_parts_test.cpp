#include "common/body_parts.h"

#include <gtest/gtest.h>

namespace skelvane::common {
namespace {

TEST(BodyParts, NamesAPartByItsPictureItsWordsAndItsJoint) {
    EXPECT_EQ(bodyPart(16).imageName, "rThiqh");
    EXPECT_EQ(bodyPart(16).toolTip, "Right Thigh");
    EXPECT_EQ(bodyPart(16).poserJoint, "rThigh");
    EXPECT_EQ(bodyPart(7).imageName, "rShoulder");
}

TEST(PartNumberOf, ReadsNumbersDiagramNamesAndJointsInAnyCase) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"1", 1},         {"23", 23},    {"07", 7},         {"0", 0},          {"24", 0},
        {"-3", 0},        {"+3", 0},     {" 5", 0},         {"5 ", 0},         {"5x", 0},
        {"", 0},          {"Head", 1},   {"hip", 5},        {"rThiqh", 16},    {"rThigh", 16},
        {"LTHIGH", 21},   {"rshldr", 7}, {"lShoulder", 12}, {"Fingers", 10},   {"toes", 19},
        {"rButtock", 15}, {"lFoot", 23}, {"elbow", 0},      {"rShoulderX", 0}, {"99999999999", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(partNumberOf(c.text), c.expected);
    }
}

}  // namespace
}  // namespace skelvane::common
