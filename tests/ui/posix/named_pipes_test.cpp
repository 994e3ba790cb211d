// The window never waits for a named pipe: not for a mapping file's writer, not to look at a
// source; Convert, which reads one, waits for its writer off the window's thread. A window that
// would wait is rescued after a deadline, so that it fails, not hangs.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string_view>
#include <thread>
#include <variant>

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTest>

#include "conversion/files/platform.h"
#include "ui/program_arguments.h"
#include "ui/window_driver.h"

namespace skelvane::ui::testing {
namespace {

namespace t = skelvane::testing;
using conversion::platform::File;

const std::string kNoWriter = ": a named pipe with no program writing to it cannot be read";

// Does `work`, which must not wait for anything; should it still wait after three seconds,
// `rescue` lets it go on, so that the test fails instead of hanging. True when it did not wait.
bool doneAtOnce(const std::function<void()>& work, const std::function<void()>& rescue) {
    std::promise<void> done;
    bool late = false;
    std::thread watchdog([&, finished = done.get_future()] {
        late = finished.wait_for(std::chrono::seconds(3)) == std::future_status::timeout;
        if (late) rescue();
    });
    work();
    done.set_value();
    watchdog.join();
    return !late;
}

// What a reader waiting for a writer needs to go on: a writer that comes and goes at once.
std::function<void()> writerFor(const std::filesystem::path& pipe) {
    return [pipe] {
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    };
}

TEST_F(JobRows, LoadMappingFileRefusesANamedPipeWithNoWriterAtOnceAndReadsOneWithAWriter) {
    addSources(1);
    const auto pipe = window.folder / "rig.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    window.dialogs->answers.push_back({QString::fromStdString(pipe.string())});
    EXPECT_TRUE(
        doneAtOnce([&] { chooseMapping(List1, 0, "Load Mapping File..."); }, writerFor(pipe)));
    EXPECT_EQ(window.dialogs->messages,
              QStringList(QString::fromStdString(
                  "Info: This mapping file cannot be used; nothing was changed.\n\n" +
                  pipe.string() + kNoWriter)));
    EXPECT_EQ(jobs.mapping(0), joblist::MappingChoice{});

    // A writer is read to its end, whether it has written already or not yet.
    for (const bool early : {true, false}) {
        SCOPED_TRACE(early ? "written already" : "not written yet");
        const std::string_view rig = "# skelvane-map 1\nfrom,to,part\nroot_bone,Hips,\n";
        File writer(::open(pipe.c_str(), O_RDWR));
        if (early) conversion::platform::writeAll(writer.handle(), rig);
        std::thread finishes([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!early) conversion::platform::writeAll(writer.handle(), rig);
            writer = File();
        });
        window.dialogs->answers.push_back({QString::fromStdString(pipe.string())});
        chooseMapping(List1, 0, "Load Mapping File...");
        finishes.join();
        EXPECT_EQ(window.dialogs->messages.size(), 1);
    }
    EXPECT_EQ(jobs.mapping(0).mapping->name, pipe.string());
}

TEST(ProgramArguments, MapOfANamedPipeWithNoWriterIsRefusedAtOnce) {
    const t::TempFolder folder;
    const t::WorkingDirectory inFolder(folder.path());
    ASSERT_EQ(::mkfifo("rig.csv", 0600), 0);
    conversion::MappingCatalog catalog;
    std::variant<joblist::MappingChoice, std::string> choice;
    EXPECT_TRUE(doneAtOnce([&] { choice = mappingChoiceOf("rig.csv", catalog); },
                           writerFor(folder / "rig.csv")));
    EXPECT_EQ(std::get<std::string>(choice), "rig.csv" + kNoWriter);
}

TEST_F(JobRows, TitleTooltipLeavesTheBytesOfANamedPipeInIt) {
    const QString walk = window.source("walk.bvh");
    addSource(window, walk);
    std::filesystem::remove(walk.toStdString());
    ASSERT_EQ(::mkfifo(walk.toStdString().c_str(), 0600), 0);
    const File reader(::open(walk.toStdString().c_str(), O_RDONLY | O_NONBLOCK));
    File writer(::open(walk.toStdString().c_str(), O_WRONLY | O_NONBLOCK));
    ASSERT_FALSE(conversion::platform::writeAll(writer.handle(), "HIERARCHY\n"));
    // A reader that waits for more gets to the end once the writer is gone.
    EXPECT_TRUE(doneAtOnce([&] { chooseMapping(List1, 0, "Best fit"); },  // renews the tooltip
                           [&writer] { writer = File(); }));
    EXPECT_EQ(toolTipShown(List1, 0), walk + "\nMapping: best fit\nTarget: max");
    char left[16] = {};
    EXPECT_EQ(::read(static_cast<int>(reader.handle()), left, sizeof left), 10);
    EXPECT_STREQ(left, "HIERARCHY\n");
}

// A click as the user makes it, without waiting for the work it starts.
void press(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.rect().center());
}

TEST_F(JobRows, ConvertWaitingForANamedPipeLeavesTheWindowLiveWithItsJobListHeld) {
    const t::TempFolder outputs;
    const t::WorkingDirectory inOutputs(outputs.path());
    const QString walk = window.source("walk.bvh");
    for (const QString& path : {walk, window.source("run.bvh"), window.source("gone.bvh")}) {
        addSource(window, path);
    }
    choose(openRowMenu(List1, 2), "Remove row");  // for Ctrl+Z to bring back
    doubleClickRow(List2, 0);                     // row 0 selected, the editor open over it
    std::filesystem::remove(walk.toStdString());
    ASSERT_EQ(::mkfifo(walk.toStdString().c_str(), 0600), 0);
    const QStringList shown = texts(List1) + texts(List2) + texts(List3);

    activate();
    ASSERT_TRUE(
        doneAtOnce([&] { press(window.control("Command2")); }, writerFor(walk.toStdString())));
    auto& pbar = window.control<QProgressBar>("pbar");
    ASSERT_TRUE(QTest::qWaitFor([&] { return pbar.value() == 1000; }));
    // Row 0 waits for its writer; what would change the job list takes no input meanwhile, and
    // the focus that Convert had does not pass to the editor.
    EXPECT_FALSE(Text1.hasFocus());
    doubleClickRow(List3, 1);
    press(window.control("Hip"));
    press(window.control("Command1"));
    QTest::keyClick(&List1, Qt::Key_Delete);
    QTest::keyClick(window.form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_THROW(openRowMenu(List1, 0), std::runtime_error);
    window.form->close();
    EXPECT_TRUE(window.form->isVisible());
    EXPECT_EQ(pbar.value(), 1000);

    {
        const File writer(::open(walk.toStdString().c_str(), O_WRONLY));
        ASSERT_FALSE(conversion::platform::writeAll(writer.handle(), "ROOT hip\r\n"));
    }
    waitForWork();
    EXPECT_FALSE(window.form->isVisible()) << "closed once the run ended";
    EXPECT_EQ(t::fileNamesIn(outputs.path()),
              std::vector<std::string>({"run_max.bvh", "walk_max.bvh"}));
    EXPECT_EQ(t::readFile(outputs / "walk_max.bvh"), "ROOT Hips\r\n");
    EXPECT_EQ(texts(List1) + texts(List2) + texts(List3), shown);
    EXPECT_EQ(jobs.partFlag(0, 5), 0.0f);
    EXPECT_EQ(window.dialogs->requests.size(), 3U);
    EXPECT_TRUE(window.dialogs->messages.isEmpty());
}

}  // namespace
}  // namespace skelvane::ui::testing
