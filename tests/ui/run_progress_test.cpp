#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <QProgressBar>
#include <QPushButton>

#include "support/test_files.h"
#include "ui/run_progress.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

using skelvane::testing::TempFolder;
using skelvane::testing::WorkingDirectory;

// Records every value the progress bar takes during a Convert.
struct ConvertRun {
    explicit ConvertRun(Window& window) {
        auto& pbar = window.control<QProgressBar>("pbar");
        auto connection = QObject::connect(&pbar, &QProgressBar::valueChanged,
                                           [this](int value) { values.push_back(value); });
        clickCentre(window.control<QPushButton>("Command2"));
        QObject::disconnect(connection);
        maximum = pbar.maximum();
    }
    std::vector<int> values;
    int maximum = 0;
};

TEST(RunProgress, ScalesSinglePrecisionProgressOntoWholeUnits) {
    struct Case {
        float value;
        int units;
    };
    for (const Case& c : {Case{0.001F, 1}, Case{1.0F, 1000}, Case{3.001F, 3001}, Case{22.0F, 22000},
                          Case{22.001F, 22001}}) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(toProgressUnits(c.value), c.units);
    }
}

TEST(Convert, EmptyJobListSaysNothingToConvert) {
    Window window;
    const ConvertRun run(window);
    EXPECT_EQ(run.maximum, 1);
    EXPECT_TRUE(run.values.empty());
    ASSERT_EQ(window.dialogs->messages.size(), 1U);
    EXPECT_EQ(window.dialogs->messages[0].text, "Nothing to Convert!");
    EXPECT_EQ(window.dialogs->messages[0].title, "Info");
}

TEST(Convert, DrivesTheProgressBarAndListsFailedRowsOnce) {
    TempFolder folder;
    const WorkingDirectory inFolder(folder.path());
    skelvane::testing::writeFile(folder / "walk.bvh", "ROOT hip\r\n");
    skelvane::testing::writeFile(folder / "run.bvh", "JOINT chest\r\n");
    Window window;
    addSource(window, QString::fromStdString((folder / "walk.bvh").string()));
    addSource(window, QString::fromStdString((folder / "run.bvh").string()));

    {
        SCOPED_TRACE("every row converts: no message");
        const ConvertRun run(window);
        EXPECT_EQ(run.maximum, 2001);
        EXPECT_EQ(run.values, (std::vector<int>{1000, 2000}));
        EXPECT_TRUE(window.dialogs->messages.empty());
        EXPECT_TRUE(std::filesystem::exists(folder / "walk_max.bvh"));
        EXPECT_TRUE(std::filesystem::exists(folder / "run_max.bvh"));
    }
    {
        SCOPED_TRACE("a missing source: one message naming its row and file");
        const std::string missing = (folder / "gone.bvh").string();
        addSource(window, QString::fromStdString(missing));
        std::filesystem::remove(folder / "walk_max.bvh");
        const ConvertRun run(window);
        EXPECT_EQ(run.maximum, 3001);
        EXPECT_EQ(run.values, (std::vector<int>{1000, 2000, 3000}));
        EXPECT_TRUE(std::filesystem::exists(folder / "walk_max.bvh")) << "the run went on";
        ASSERT_EQ(window.dialogs->messages.size(), 1U);
        const auto& message = window.dialogs->messages[0];
        EXPECT_EQ(message.title, "Info");
        EXPECT_TRUE(message.text.contains("Row 3 (gone)")) << qPrintable(message.text);
        EXPECT_TRUE(message.text.contains(QString::fromStdString(missing)));
        EXPECT_FALSE(message.text.contains("walk"));
    }
}

}  // namespace
}  // namespace skelvane::ui::testing
