#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace skelvane::cli {

/// One line on a terminal that tells how far a run is ("skelvane-convert: 3 of 10 files done,
/// walk.bvh"), drawn again as it moves on and erased when the run ends, so that nothing of it
/// stays on the screen. It shows only once the run has lasted `delay`: a short run shows none.
/// Everything else the run writes to the same terminal goes through aside(), which takes the
/// line away first.
class ProgressLine {
public:
    /// The longest line drawn, in columns, so that it never wraps on a terminal of 80.
    static constexpr std::size_t kWidth = 79;

    /// A line for a run of `files` files, written with `write`.
    ProgressLine(std::size_t files, std::function<void(std::string_view)> write,
                 std::chrono::milliseconds delay = std::chrono::seconds(1));
    /// Erases the line.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    /// The run begins the file named `name`.
    void starting(std::string_view name);
    /// The run is done with one more file.
    void finished();
    /// Runs `print`, which writes where the line is drawn, with the line out of the way.
    void aside(const std::function<void()>& print);

private:
    void drawLoop(std::chrono::milliseconds delay);
    // Draw or erase the line; the mutex is held.
    void draw();
    void erase();

    std::size_t files_;
    std::function<void(std::string_view)> write_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool shown_ = false;
    // Whether a file has begun: before, the line would name none.
    bool started_ = false;
    std::size_t done_ = 0;
    std::string current_;
    // The line on the screen and the columns it takes, 0 when there is none.
    std::string drawn_;
    std::size_t drawnWidth_ = 0;
    std::thread drawer_;
};

}  // namespace skelvane::cli
