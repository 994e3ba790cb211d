#include <gtest/gtest.h>

#include <QProgressBar>

#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace t = skelvane::testing;

QString pathOf(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QString tipAtCentre(QWidget& widget) {
    return toolTipAt(widget, widget.rect().center());
}

TEST_F(JobRows, TooltipsTellWhereOutputsGoAndAfterARunWhatItDid) {
    t::TempFolder outputs;
    for (const char* name : {"walk.bvh", "skip.bvh", "gone.bvh"}) {
        addSource(window, window.source(name));
    }
    doubleClickRow(List3, 1);
    std::filesystem::create_directory(outputs / "sub");
    std::filesystem::remove(window.folder / "gone.bvh");
    const t::WorkingDirectory in(outputs.path());
    EXPECT_EQ(toolTipShown(List2, 2), pathOf(outputs / "gone_max.bvh"));
    EXPECT_EQ(tipAtCentre(window.control("Command2")),
              "Writes the outputs into " + pathOf(outputs.path()));
    doubleClickRow(List2, 0);
    type("sub/<b>w");
    EXPECT_EQ(toolTipShown(List2, 0), pathOf(outputs / "walk_max.bvh")) << "not yet";
    clickRow(List2, 0);
    EXPECT_EQ(toolTipShown(List2, 0), pathOf(outputs / "sub/<b>w.bvh"));
    clickCentre(window.control("Command2"));
    EXPECT_EQ(window.dialogs->messages.size(), 1) << "only the failed row's message";
    EXPECT_EQ(tipAtCentre(window.control("pbar")),
              "1 written, 1 skipped, 1 failed, into " + pathOf(outputs.path()));
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
        const QString named = path + "\nMapping: poser-max";
        EXPECT_EQ(toolTipShown(List1, List1.model()->rowCount() - 1), noted ? named + note : named);
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
