#include "cli/progress_line.h"

#include <algorithm>

#include "cli/terminal_text.h"

namespace skelvane::cli {

namespace {

// How often the line is drawn again once it shows.
constexpr std::chrono::milliseconds kRedraw(100);

// The first `width` columns of `text`, which printable() made safe.
std::string cutToWidth(const std::string& text, std::size_t width) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++columns > width) return text.substr(0, i);
    }
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::size_t files, std::function<void(std::string_view)> write,
                           std::chrono::milliseconds delay)
    : files_(files), write_(std::move(write)), drawer_([this, delay] { drawLoop(delay); }) {}

ProgressLine::~ProgressLine() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        erase();
    }
    wake_.notify_all();
    drawer_.join();
}

void ProgressLine::starting(std::string_view name) {
    const std::lock_guard lock(mutex_);
    current_ = printable(name);
    started_ = true;
}

void ProgressLine::finished() {
    const std::lock_guard lock(mutex_);
    ++done_;
}

void ProgressLine::aside(const std::function<void()>& print) {
    const std::lock_guard lock(mutex_);
    erase();
    print();
    // Drawn again at once, so that the line does not flicker away between files.
    if (shown_) draw();
}

void ProgressLine::drawLoop(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, delay, [this] { return stopping_; })) return;
    shown_ = true;
    do {
        draw();
    } while (!wake_.wait_for(lock, kRedraw, [this] { return stopping_; }));
}

void ProgressLine::draw() {
    if (!started_) return;
    const std::string text =
        cutToWidth("skelvane-convert: " + std::to_string(done_) + " of " + std::to_string(files_) +
                       (files_ == 1 ? " file" : " files") + " done, " + current_,
                   kWidth);
    if (drawnWidth_ > 0 && text == drawn_) return;
    const std::size_t width = displayWidth(text);
    // Blanks cover what is left of a longer line drawn before.
    std::string line = "\r" + text;
    if (drawnWidth_ > width) {
        line.append(drawnWidth_ - width, ' ');
        line.append("\r").append(text);
    }
    write_(line);
    drawn_ = text;
    drawnWidth_ = width;
}

void ProgressLine::erase() {
    if (drawnWidth_ == 0) return;
    write_("\r" + std::string(drawnWidth_, ' ') + "\r");
    drawnWidth_ = 0;
}

}  // namespace skelvane::cli
