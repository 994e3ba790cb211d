#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>

namespace skelvane::cli {
namespace {

using namespace std::chrono_literals;

// What a progress line wrote, gathered as a terminal would take it.
struct Screen {
    std::mutex mutex;
    std::string written;

    std::function<void(std::string_view)> writer() {
        return [this](std::string_view text) {
            const std::lock_guard lock(mutex);
            written.append(text);
        };
    }
    std::string text() {
        const std::lock_guard lock(mutex);
        return written;
    }
};

const std::string kErase = "\r" + std::string(45, ' ') + "\r";

TEST(ProgressLine, ShowsOnceTheRunLastsAndLeavesNothingBehind) {
    Screen screen;
    std::optional<ProgressLine> line(std::in_place, 2, screen.writer(), 0ms);
    // The line is due at once, but names no file until one begins.
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(screen.text(), "");
    line->starting("walk.bvh");
    for (int wait = 0; wait < 200 && screen.text().find("walk.bvh") == std::string::npos; ++wait) {
        std::this_thread::sleep_for(10ms);
    }
    line->finished();
    line->aside([&] { screen.writer()("walk.bvh -> walk_max.bvh\n"); });
    line.reset();
    const std::string text = screen.text();
    // 45 columns: "skelvane-convert: 0 of 2 files done, walk.bvh".
    EXPECT_TRUE(text.starts_with("\rskelvane-convert: 0 of 2 files done, walk.bvh")) << text;
    EXPECT_NE(text.find(kErase + "walk.bvh -> walk_max.bvh\n"
                                 "\rskelvane-convert: 1 of 2 files done, walk.bvh"),
              std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with(kErase)) << text;
}

TEST(ProgressLine, AShortRunShowsNoneAndALongOneNeverWraps) {
    Screen quick;
    {
        ProgressLine line(1, quick.writer(), 10s);
        line.starting("walk.bvh");
        line.aside([&] { quick.writer()("walk.bvh -> walk_max.bvh\n"); });
    }
    EXPECT_EQ(quick.text(), "walk.bvh -> walk_max.bvh\n");

    Screen slow;
    {
        ProgressLine line(1, slow.writer(), 0ms);
        line.starting(std::string(200, 'a'));
        for (int wait = 0; wait < 200 && slow.text().empty(); ++wait)
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(slow.text(), "\rskelvane-convert: 0 of 1 file done, " + std::string(43, 'a') + "\r" +
                               std::string(79, ' ') + "\r");
}

}  // namespace
}  // namespace skelvane::cli
