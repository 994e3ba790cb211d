#include <gtest/gtest.h>

#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace t = skelvane::testing;

QString pathOf(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

TEST_F(JobRows, TitleTooltipNotesASourceThatDoesNotStartLikeBvh) {
    const QString note =
        "\n\nDoes not start like a BVH file (with HIERARCHY);\nConvert still renames whatever "
        "matches in it.";
    const std::tuple<const char*, std::string, bool> sources[] = {
        {"bom.bvh", "\xEF\xBB\xBF \r\n\tHIERARCHY\n", false},
        {"late.bvh", std::string(64 * 1024 - 9, ' ') + "HIERARCHY", false},
        {"too late.bvh", std::string(64 * 1024, ' ') + "HIERARCHY", true},
        {"empty.bvh", "", true}};
    for (const auto& [name, content, noted] : sources) {
        SCOPED_TRACE(name);
        const QString path = pathOf(window.folder / name);
        t::writeFile(path.toStdString(), content);
        addSource(window, path);
        EXPECT_EQ(toolTipShown(List1, List1.count() - 1), noted ? path + note : path);
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
