#include "common/title_rule.h"

#include <gtest/gtest.h>

namespace skelvane::common {
namespace {

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
}  // namespace skelvane::common
