#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "conversion/bvh/motion_frames.h"
#include "conversion/rename/joint_report.h"
#include "ui/skeleton_view.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

namespace skelvane::ui {

/// The looks of a hierarchy's joints for the picture: the report's joints (ROOT and JOINT
/// lines, in file order) give the joints of the hierarchy theirs in turn, as far as the names
/// agree; End Sites are points.
std::vector<JointLook> jointLooksOf(const conversion::Hierarchy& hierarchy,
                                    const conversion::JointReport& report);

/// The part of the joints dialog that shows a source's skeleton and motion: it opens at once
/// and reads the frames on a worker (FramesLoader) with a progress bar, then shows the picture
/// (SkeletonView) with the views, a frame slider and Play/Pause, which plays the frames at the
/// file's frame time. A file with errors shows them instead of a picture; a long take is
/// sampled, and says so.
class SkeletonPanel final : public QWidget {
    Q_OBJECT

public:
    /// Starts reading the frames of the file the bytes `path` name, whose joints the report
    /// tells of.
    SkeletonPanel(std::string path, const conversion::JointReport& report,
                  QWidget* parent = nullptr,
                  std::uint64_t mostFrameBytes = conversion::kMostFrameBytes);

    /// Marks the joint of a table row.
    void highlightRow(int row);
    /// Shows errors found in the file instead of its picture, with how many there are in all.
    void showErrors(const QStringList& errors, std::uint64_t count);
    /// True while the frames are being read.
    bool isLoading() const { return loading_; }

signals:
    /// A joint with a table row was clicked in the picture.
    void rowClicked(int row);

private:
    void createControls();
    void showFrames(std::shared_ptr<const conversion::MotionFrames> frames);
    void showFailure(const QString& reason);
    void endLoading();
    void showFrame(int kept);
    void togglePlaying();
    void playOn();
    double frameTime() const;

    conversion::JointReport report_;
    std::uint64_t mostFrameBytes_;
    std::shared_ptr<const conversion::MotionFrames> frames_;
    bool loading_ = true;
    QLabel* status_;
    QProgressBar* progress_;
    SkeletonView* view_;
    QWidget* controls_;
    QPushButton* play_;
    QSlider* slider_;
    QLabel* frameLabel_;
    QTimer timer_;
    QElapsedTimer clock_;
    int highlightedRow_ = -1;
    // The frame line shown when playing started.
    std::uint64_t playedFrom_ = 0;
};

}  // namespace skelvane::ui
