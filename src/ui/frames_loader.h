#pragma once

#include <memory>
#include <string>

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include "conversion/bvh/motion_frames.h"

namespace skelvane::ui {

/// Reads a source's skeleton and frames (see conversion::readMotionFrames) on a pool thread and
/// tells its progress and its end as signals on the loader's own thread. Going away stops the
/// reading and waits for the thread to let the file go.
class FramesLoader final : public QObject {
    Q_OBJECT

public:
    explicit FramesLoader(QObject* parent = nullptr);
    ~FramesLoader() override;

    /// Starts reading the file that the bytes name (as the file system names it), keeping its
    /// frames within `mostBytes`.
    void load(std::string path, std::uint64_t mostBytes = conversion::kMostFrameBytes);

signals:
    /// The share of the file read so far, in thousandths; not told for a file of unknown size.
    void progress(int thousandths);
    /// The file was read, faults and all.
    void loaded(std::shared_ptr<const conversion::MotionFrames> frames);
    /// The file could not be read: the system's reason.
    void failed(const QString& reason);

private:
    // The frames, or the system's reason why there are none.
    struct Outcome {
        std::shared_ptr<const conversion::MotionFrames> frames;
        QString failure;
    };

    void handOn();

    QFutureWatcher<Outcome> watcher_;
};

}  // namespace skelvane::ui
