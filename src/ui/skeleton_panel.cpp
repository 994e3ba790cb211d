#include "ui/skeleton_panel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/roles.h"
#include "ui/frames_loader.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

// A file without a frame time plays at this many frames a second.
constexpr double kFramesPerSecondUntold = 30;
// Pictures come no more often than a screen shows them, however short the frame time; a frame
// time shorter than any capture's is taken for this one, so that the frames counted stay few.
constexpr int kShortestTickMs = 16;
constexpr double kShortestFrameTime = 1e-4;

QString sizeText(std::uint64_t bytes) {
    return bytes >= (1 << 20) ? QStringLiteral("%1 MB").arg(bytes >> 20)
                              : QStringLiteral("%1 KB").arg(bytes >> 10);
}

}  // namespace

std::vector<JointLook> jointLooksOf(const conversion::Hierarchy& hierarchy,
                                    const conversion::JointReport& report) {
    std::vector<JointLook> looks(hierarchy.joints.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < hierarchy.joints.size(); ++i) {
        const conversion::Joint& joint = hierarchy.joints[i];
        JointLook& look = looks[i];
        if (joint.endSite) {
            look.joint = false;
            continue;
        }
        const std::size_t row = next++;
        look.oldName = fromBytes(joint.name);
        // The report read the file apart from the frames; a file changed in between keeps
        // its colours only where the names still agree.
        if (row >= report.joints.size() || report.joints[row].oldName != joint.name) continue;
        const conversion::JointEntry& entry = report.joints[row];
        look.row = static_cast<int>(row);
        look.outcome = entry.outcome;
        look.newName = fromBytes(entry.newName);
        if (entry.role && entry.role->role) {
            look.role = QString::fromLatin1(common::roleName(*entry.role->role));
            look.roleFromShape = entry.role->status == conversion::RoleStatus::Skeleton;
        }
    }
    return looks;
}

SkeletonPanel::SkeletonPanel(std::string path, const conversion::JointReport& report,
                             QWidget* parent, std::uint64_t mostFrameBytes)
    : QWidget(parent), report_(report), mostFrameBytes_(mostFrameBytes) {
    setObjectName(QStringLiteral("skeletonPanel"));
    createControls();
    auto* loader = new FramesLoader(this);
    connect(loader, &FramesLoader::progress, this, [this](int thousandths) {
        progress_->setRange(0, 1000);
        progress_->setValue(thousandths);
    });
    connect(loader, &FramesLoader::loaded, this, &SkeletonPanel::showFrames);
    connect(loader, &FramesLoader::failed, this, &SkeletonPanel::showFailure);
    connect(view_, &SkeletonView::rowClicked, this, &SkeletonPanel::rowClicked);
    connect(slider_, &QSlider::valueChanged, this, &SkeletonPanel::showFrame);
    connect(play_, &QPushButton::clicked, this, &SkeletonPanel::togglePlaying);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SkeletonPanel::playOn);
    loader->load(std::move(path), mostFrameBytes);
}

void SkeletonPanel::createControls() {
    status_ = new QLabel(QStringLiteral("Reading the frames\u2026"), this);
    status_->setObjectName(QStringLiteral("skeletonStatus"));
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("skeletonProgress"));
    // Busy until the first share read is told.
    progress_->setRange(0, 0);
    progress_->setTextVisible(false);
    view_ = new SkeletonView(this);
    view_->setPlaceholder(status_->text());

    controls_ = new QWidget(this);
    auto* views = new QHBoxLayout;
    const std::pair<const char*, SkeletonView::Facing> facings[] = {
        {"Front", SkeletonView::Facing::Front},
        {"Side", SkeletonView::Facing::Side},
        {"Top", SkeletonView::Facing::Top}};
    for (const auto& [name, facing] : facings) {
        auto* button = new QToolButton(controls_);
        button->setText(QLatin1String(name));
        button->setObjectName(QStringLiteral("skeleton") + QLatin1String(name));
        connect(button, &QToolButton::clicked, view_, [this, facing] { view_->face(facing); });
        views->addWidget(button);
    }
    auto* fit = new QToolButton(controls_);
    fit->setText(QStringLiteral("Fit"));
    fit->setObjectName(QStringLiteral("skeletonFit"));
    connect(fit, &QToolButton::clicked, view_, &SkeletonView::fit);
    views->addWidget(fit);
    views->addStretch(1);
    frameLabel_ = new QLabel(controls_);
    frameLabel_->setObjectName(QStringLiteral("skeletonFrameLabel"));
    views->addWidget(frameLabel_);

    auto* motion = new QHBoxLayout;
    play_ = new QPushButton(QStringLiteral("Play"), controls_);
    play_->setObjectName(QStringLiteral("skeletonPlay"));
    slider_ = new QSlider(Qt::Horizontal, controls_);
    slider_->setObjectName(QStringLiteral("skeletonFrame"));
    motion->addWidget(play_);
    motion->addWidget(slider_, 1);

    auto* controls = new QVBoxLayout(controls_);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addLayout(views);
    controls->addLayout(motion);
    controls_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(view_, 1);
    layout->addWidget(controls_);
}

void SkeletonPanel::endLoading() {
    loading_ = false;
    progress_->hide();
}

void SkeletonPanel::showFailure(const QString& reason) {
    endLoading();
    status_->setText(QStringLiteral("The frames cannot be read: ") + reason);
    view_->setPlaceholder(status_->text());
}

void SkeletonPanel::showErrors(const QStringList& errors, std::uint64_t count) {
    timer_.stop();
    controls_->hide();
    QStringList lines = errors;
    if (count > static_cast<std::uint64_t>(errors.size())) {
        lines << QStringLiteral("\u2026 and %1 more").arg(count - errors.size());
    }
    status_->setText(QStringLiteral("Not drawn: the file has errors."));
    view_->setPlaceholder(lines.join(QLatin1Char('\n')));
}

void SkeletonPanel::showFrames(std::shared_ptr<const conversion::MotionFrames> frames) {
    endLoading();
    if (frames->faultCount != 0) {
        QStringList errors;
        for (const conversion::MotionFault& fault : frames->faults) {
            const QString what = fromBytes(fault.what);
            errors << (fault.line == 0 ? what
                                       : QStringLiteral("Line %1: %2").arg(fault.line).arg(what));
        }
        showErrors(errors, frames->faultCount);
        return;
    }
    frames_ = std::move(frames);
    QStringList notes;
    if (frames_->sampled()) {
        notes << QStringLiteral("A long take: 1 frame in %1 of its %2 is shown, to keep within %3.")
                     .arg(frames_->step)
                     .arg(frames_->frameLines)
                     .arg(sizeText(mostFrameBytes_));
    }
    if (!frames_->header.frameTime || *frames_->header.frameTime <= 0) {
        notes << QStringLiteral("No frame time: played at %1 frames a second.")
                     .arg(kFramesPerSecondUntold);
    }
    status_->setText(notes.join(QLatin1Char('\n')));
    status_->setVisible(!notes.isEmpty());
    view_->setSkeleton(frames_, jointLooksOf(frames_->hierarchy, report_));
    // A row selected while the frames were read.
    view_->highlightRow(highlightedRow_);
    const int kept = static_cast<int>(frames_->keptFrames);
    slider_->setRange(0, std::max(0, kept - 1));
    slider_->setEnabled(kept > 1);
    play_->setEnabled(kept > 1);
    controls_->show();
    showFrame(0);
}

void SkeletonPanel::showFrame(int kept) {
    if (!frames_) return;
    view_->setFrame(static_cast<std::size_t>(kept));
    const std::uint64_t lines = std::max<std::uint64_t>(frames_->frameLines, 1);
    frameLabel_->setText(QStringLiteral("Frame %1 of %2")
                             .arg(frames_->frameLine(static_cast<std::size_t>(kept)) + 1)
                             .arg(lines));
}

void SkeletonPanel::highlightRow(int row) {
    highlightedRow_ = row;
    view_->highlightRow(row);
}

double SkeletonPanel::frameTime() const {
    const auto& told = frames_->header.frameTime;
    return told && *told > 0 ? std::max(*told, kShortestFrameTime) : 1 / kFramesPerSecondUntold;
}

void SkeletonPanel::togglePlaying() {
    if (timer_.isActive()) {
        timer_.stop();
        play_->setText(QStringLiteral("Play"));
        return;
    }
    playedFrom_ = frames_->frameLine(static_cast<std::size_t>(slider_->value()));
    clock_.start();
    // Twice a frame, so that no frame is missed when a tick comes a little early or late.
    const double tick = frameTime() * static_cast<double>(frames_->step) * 1000 / 2;
    timer_.start(std::max(kShortestTickMs, static_cast<int>(std::lround(std::min(tick, 1e6)))));
    play_->setText(QStringLiteral("Pause"));
}

// The frame of the time played so far, from the frame shown when playing started, over and
// over.
void SkeletonPanel::playOn() {
    const double seconds = static_cast<double>(clock_.nsecsElapsed()) / 1e9;
    const auto played = static_cast<std::uint64_t>(seconds / frameTime());
    const std::uint64_t line =
        (playedFrom_ + played) % std::max<std::uint64_t>(frames_->frameLines, 1);
    slider_->setValue(
        static_cast<int>(std::min<std::uint64_t>(line / frames_->step, frames_->keptFrames - 1)));
}

}  // namespace skelvane::ui
