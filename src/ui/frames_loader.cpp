#include "ui/frames_loader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include "conversion/files/platform.h"

namespace skelvane::ui {

namespace {

constexpr int kWhole = 1000;

}  // namespace

FramesLoader::FramesLoader(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, &FramesLoader::progress);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &FramesLoader::handOn);
}

FramesLoader::~FramesLoader() {
    watcher_.disconnect();
    watcher_.cancel();
    watcher_.waitForFinished();
}

void FramesLoader::load(std::string path, std::uint64_t mostBytes) {
    watcher_.setFuture(QtConcurrent::run([path = std::move(path),
                                          mostBytes](QPromise<Outcome>& promise) {
        namespace platform = conversion::platform;
        const std::filesystem::path file = platform::pathFromBytes(path);
        // A named pipe is read as it comes, without waiting for a writer to open it.
        auto source = platform::openForReadingWithoutWaiting(file);
        if (!source) {
            promise.addResult(Outcome{nullptr, QString::fromLocal8Bit(source.error().message())});
            return;
        }
        std::error_code error;
        const std::uintmax_t size = std::filesystem::is_regular_file(file, error)
                                        ? std::filesystem::file_size(file, error)
                                        : 0;
        promise.setProgressRange(0, kWhole);
        auto frames = conversion::readMotionFrames(
            source->handle(),
            [&](std::uint64_t read) {
                if (size != 0 && !error) {
                    promise.setProgressValue(
                        static_cast<int>(std::min<std::uint64_t>(read, size) * kWhole / size));
                }
                return !promise.isCanceled();
            },
            mostBytes);
        if (!frames) {
            promise.addResult(Outcome{nullptr, QString::fromLocal8Bit(frames.error().message())});
            return;
        }
        promise.addResult(
            Outcome{std::make_shared<const conversion::MotionFrames>(std::move(*frames)), {}});
    }));
}

void FramesLoader::handOn() {
    if (watcher_.future().resultCount() == 0) return;
    const Outcome outcome = watcher_.result();
    if (outcome.frames) {
        emit loaded(outcome.frames);
    } else {
        emit failed(outcome.failure);
    }
}

}  // namespace skelvane::ui
