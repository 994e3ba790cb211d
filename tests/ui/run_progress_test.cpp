#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <QApplication>
#include <QMimeData>
#include <QProgressBar>
#include <QThread>
#include <QUrl>

#include "support/test_files.h"
#include "window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace fs = std::filesystem;
using skelvane::testing::writeFile;

// Clicks Convert and returns every value the progress bar took, then its maximum.
std::vector<int> convert(Window& window) {
    auto& pbar = window.control<QProgressBar>("pbar");
    std::vector<int> values;
    QObject context;
    QObject::connect(&pbar, &QProgressBar::valueChanged, &context,
                     [&](int v) { values.push_back(v); });
    clickCentre(window.control("Command2"));
    values.push_back(pbar.maximum());
    return values;
}

QString pathOf(const fs::path& path) {
    return QString::fromStdString(path.string());
}

TEST(RunProgress, ConvertDrivesTheProgressBarAndReportsFailedRowsInOneMessage) {
    skelvane::testing::TempFolder folder;
    const skelvane::testing::WorkingDirectory inFolder(folder.path());
    Window window;
    EXPECT_EQ(convert(window), std::vector<int>({1}));  // maximum 0.001
    EXPECT_EQ(window.dialogs->messages, QStringList("Info: Nothing to Convert!"));

    writeFile(folder / "walk.bvh", "ROOT hip\r\n");
    writeFile(folder / "run.bvh", "JOINT chest\r\n");
    addSource(window, pathOf(folder / "walk.bvh"));
    addSource(window, pathOf(folder / "run.bvh"));
    EXPECT_EQ(convert(window), std::vector<int>({1000, 2000, 2001}));
    EXPECT_EQ(window.dialogs->messages.size(), 1) << "a run without failures is silent";

    writeFile(folder / "gone.bvh", "");
    addSource(window, pathOf(folder / "gone.bvh"));
    fs::remove(folder / "gone.bvh");
    fs::remove(folder / "walk_max.bvh");
    EXPECT_EQ(convert(window), std::vector<int>({1000, 2000, 3000, 3001}));
    EXPECT_TRUE(fs::exists(folder / "walk_max.bvh")) << "the run goes on past a failure";
    ASSERT_EQ(window.dialogs->messages.size(), 2);
    const QString failure = window.dialogs->messages.at(1);
    EXPECT_TRUE(failure.startsWith("Info: ")) << qPrintable(failure);
    EXPECT_TRUE(failure.contains("Row 3 (gone): " + pathOf(folder / "gone.bvh")));
    EXPECT_FALSE(failure.contains("walk"));
}

TEST(RunProgress, ConvertRunsOffTheWindowsThreadAndHoldsCloseAndDropsUntilItEnds) {
    skelvane::testing::TempFolder folder;
    const skelvane::testing::WorkingDirectory inFolder(folder.path());
    Window window;
    addSource(window, window.source("walk.bvh"));
    addSource(window, window.source("run.bvh"));
    std::vector<bool> onWindowThread;
    QObject context;
    // Direct, so that the slot runs on whichever thread sets the value.
    const auto duringRun = [&](int value) {
        onWindowThread.push_back(QThread::currentThread() == qApp->thread());
        if (value != 1000 || !onWindowThread.back()) return;
        window.form->close();
        EXPECT_TRUE(window.form->isVisible());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(window.source("late.bvh"))});
        EXPECT_EQ(dropOn(window.control("List1"), data), Qt::IgnoreAction);
    };
    QObject::connect(&window.control<QProgressBar>("pbar"), &QProgressBar::valueChanged, &context,
                     duringRun, Qt::DirectConnection);
    clickCentre(window.control("Command2"));
    EXPECT_EQ(onWindowThread, std::vector<bool>(2, true));
    EXPECT_FALSE(window.form->isVisible()) << "closed once the run ended";
    EXPECT_EQ(skelvane::testing::fileNamesIn(folder.path()),
              std::vector<std::string>({"run_max.bvh", "walk_max.bvh"}));
    EXPECT_EQ(Form1Access::jobs(*window.form).rowCount(), 2);
}

TEST(RunProgress, ANameThatIsNotUtf8KeepsItsBytesFromTheCommandLineToTheOutput) {
    skelvane::testing::TempFolder folder;
    const skelvane::testing::WorkingDirectory inFolder(folder.path());
    const std::string name = "bad\xff\xfe.bvh";
    writeFile(folder / name, "ROOT hip\n");
    Window window;
    window.form->addSources(std::vector<std::string>{(folder.path() / name).string()});
    ASSERT_EQ(Form1Access::jobs(*window.form).rowCount(), 1) << "not listed as missing";
    convert(window);
    EXPECT_TRUE(window.dialogs->messages.isEmpty())
        << qPrintable(window.dialogs->messages.join('\n'));
    EXPECT_EQ(skelvane::testing::readFile(folder / "bad\xff\xfe_max.bvh"), "ROOT Hips\r\n");
}

}  // namespace
}  // namespace skelvane::ui::testing
