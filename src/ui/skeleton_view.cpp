#include "ui/skeleton_view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "ui/plain_text.h"

namespace skelvane::ui {

namespace {

using conversion::JointOutcome;
using conversion::Point3;

// The window's own blue behind the figure, light bones, and the body diagram's dots.
const QColor kBackground(69, 96, 129);
const QColor kBone(225, 230, 238);
const QColor kEndSite(200, 205, 215);
const QColor kText(255, 255, 255);
struct DotColours {
    QColor rim;
    QColor fill;
};
const DotColours kRenamed{QColor(0, 110, 0), QColor(64, 255, 64)};
const DotColours kDropped{QColor(128, 0, 0), QColor(255, 0, 0)};
const DotColours kUntouched{QColor(140, 70, 0), QColor(247, 148, 29)};
const QColor kShapeRing(120, 200, 255);
const QColor kHighlight(255, 255, 255);

constexpr double kDot = 4.5;
constexpr double kEndSiteDot = 2.0;
constexpr double kHighlightedDot = 7.5;
// How far from a dot the mouse still points at it, and moves before a press is a drag.
constexpr double kReach = 8;
constexpr int kDragStart = 3;
// Degrees turned per pixel dragged, and the picture's margin when fitted.
constexpr double kDegreesPerPixel = 0.5;
constexpr double kFilled = 0.9;
// Joint places kept for fitting, all frames sampled together.
constexpr std::size_t kMostSampledPlaces = 60000;
constexpr std::size_t kMostSampledFrames = 240;

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kIdentity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
// Z up to Y up: a quarter turn about X, the file's -Y towards the eye.
constexpr Matrix kZUp{{{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}};

Matrix times(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            for (int k = 0; k < 3; ++k) product[row][column] += a[row][k] * b[k][column];
        }
    }
    return product;
}

Point3 times(const Matrix& m, const Point3& p) {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
}

Matrix transposed(const Matrix& m) {
    Matrix t{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) t[row][column] = m[column][row];
    }
    return t;
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

// Turns about the screen's vertical axis (yaw) and then its horizontal one (pitch).
Matrix yawed(double degrees) {
    const double c = std::cos(radians(degrees));
    const double s = std::sin(radians(degrees));
    return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
}

Matrix pitched(double degrees) {
    const double c = std::cos(radians(degrees));
    const double s = std::sin(radians(degrees));
    return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
}

// The file's up axis: Y, as BVH has it, unless the rest pose stands taller along Z.
Matrix uprightOf(const std::vector<Point3>& rest) {
    if (rest.empty()) return kIdentity;
    double lowY = rest.front().y, highY = lowY, lowZ = rest.front().z, highZ = lowZ;
    for (const Point3& p : rest) {
        lowY = std::min(lowY, p.y);
        highY = std::max(highY, p.y);
        lowZ = std::min(lowZ, p.z);
        highZ = std::max(highZ, p.z);
    }
    return highZ - lowZ > highY - lowY ? kZUp : kIdentity;
}

const DotColours& coloursOf(JointOutcome outcome) {
    switch (outcome) {
        case JointOutcome::Renamed:
            return kRenamed;
        case JointOutcome::Dropped:
            return kDropped;
        case JointOutcome::Untouched:
            break;
    }
    return kUntouched;
}

}  // namespace

SkeletonView::SkeletonView(QWidget* parent) : QWidget(parent), upright_(kIdentity) {
    setObjectName(QStringLiteral("skeletonView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 200);
}

void SkeletonView::setSkeleton(std::shared_ptr<const conversion::MotionFrames> frames,
                               std::vector<JointLook> looks) {
    frames_ = std::move(frames);
    looks_ = std::move(looks);
    looks_.resize(frames_->hierarchy.joints.size());
    const conversion::Hierarchy& hierarchy = frames_->hierarchy;
    // Without values every channel is 0: the rest pose.
    upright_ = uprightOf(conversion::jointPositions(hierarchy, {}));
    sampled_.clear();
    const std::size_t kept = frames_->keptFrames;
    const std::size_t samples = std::clamp<std::size_t>(
        kMostSampledPlaces / std::max<std::size_t>(1, looks_.size()), 1, kMostSampledFrames);
    const std::size_t count = std::min(samples, std::max<std::size_t>(kept, 1));
    for (std::size_t i = 0; i < count; ++i) {
        const std::vector<Point3> places =
            kept == 0 ? conversion::jointPositions(hierarchy, {})
                      : conversion::jointPositions(hierarchy, frames_->frame(i * kept / count));
        sampled_.insert(sampled_.end(), places.begin(), places.end());
    }
    frame_ = 0;
    places_ = kept == 0 ? conversion::jointPositions(hierarchy, {})
                        : conversion::jointPositions(hierarchy, frames_->frame(0));
    highlighted_ = -1;
    face(Facing::Front);
}

void SkeletonView::setPlaceholder(const QString& text) {
    placeholder_ = text;
    update();
}

void SkeletonView::setFrame(std::size_t kept) {
    if (!frames_ || kept >= frames_->keptFrames || kept == frame_) return;
    frame_ = kept;
    places_ = conversion::jointPositions(frames_->hierarchy, frames_->frame(kept));
    project();
    update();
}

void SkeletonView::face(Facing facing) {
    yaw_ = facing == Facing::Side ? -90 : 0;
    pitch_ = facing == Facing::Top ? 90 : 0;
    fit();
}

SkeletonView::Matrix SkeletonView::turn() const {
    return times(pitched(pitch_), times(yawed(yaw_), upright_));
}

void SkeletonView::fit() {
    if (sampled_.empty()) return;
    const Matrix m = turn();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    Point3 low{kInfinity, kInfinity, kInfinity};
    Point3 high{-kInfinity, -kInfinity, -kInfinity};
    for (const Point3& place : sampled_) {
        const Point3 p = times(m, place);
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    centre_ = times(transposed(m),
                    Point3{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2});
    const double wide = high.x - low.x;
    const double tall = high.y - low.y;
    const double room = kFilled * std::min(width(), height());
    const double size = std::max({wide, tall, 1e-9});
    scale_ = std::min(wide > 0 ? kFilled * width() / wide : room / size,
                      tall > 0 ? kFilled * height() / tall : room / size);
    project();
    update();
}

void SkeletonView::project() {
    const Matrix m = turn();
    drawn_.resize(places_.size());
    const QPointF middle(width() / 2.0, height() / 2.0);
    for (std::size_t i = 0; i < places_.size(); ++i) {
        const Point3 p = times(m, Point3{places_[i].x - centre_.x, places_[i].y - centre_.y,
                                         places_[i].z - centre_.z});
        drawn_[i] = {middle + QPointF(p.x * scale_, -p.y * scale_), p.z};
    }
    order_.resize(drawn_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    std::sort(order_.begin(), order_.end(),
              [&](std::size_t a, std::size_t b) { return drawn_[a].depth < drawn_[b].depth; });
}

void SkeletonView::highlightRow(int row) {
    int joint = -1;
    for (std::size_t i = 0; row >= 0 && i < looks_.size(); ++i) {
        if (looks_[i].row == row) joint = static_cast<int>(i);
    }
    if (joint == highlighted_) return;
    highlighted_ = joint;
    update();
}

int SkeletonView::jointAt(const QPointF& point) const {
    int nearest = -1;
    double best = kReach * kReach;
    for (std::size_t i = 0; i < drawn_.size(); ++i) {
        const QPointF d = drawn_[i].place - point;
        const double distance = QPointF::dotProduct(d, d);
        if (distance <= best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

void SkeletonView::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!frames_) {
        painter.setPen(kText);
        painter.drawText(rect().adjusted(16, 16, -16, -16),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, placeholder_);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const auto& joints = frames_->hierarchy.joints;
    std::vector<QLineF> bones;
    bones.reserve(joints.size());
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const std::size_t parent = joints[i].parent;
        if (parent < i) bones.emplace_back(drawn_[parent].place, drawn_[i].place);
    }
    painter.setPen(QPen(kBone, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(bones.data(), static_cast<int>(bones.size()));

    const auto drawJoint = [&](std::size_t i) {
        const JointLook& look = looks_[i];
        const QPointF at = drawn_[i].place;
        if (!look.joint) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kEndSite);
            painter.drawEllipse(at, kEndSiteDot, kEndSiteDot);
            return;
        }
        const DotColours& colours = coloursOf(look.outcome);
        const bool highlighted = static_cast<int>(i) == highlighted_;
        const double radius = highlighted ? kHighlightedDot : kDot;
        if (look.roleFromShape) {
            painter.setPen(QPen(kShapeRing, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, radius + 3, radius + 3);
        }
        painter.setPen(QPen(highlighted ? kHighlight : colours.rim, highlighted ? 2.5 : 1.2));
        painter.setBrush(colours.fill);
        painter.drawEllipse(at, radius, radius);
    };
    for (const std::size_t i : order_) {
        if (static_cast<int>(i) != highlighted_) drawJoint(i);
    }
    // The marked joint and its name come last, over the joints in front of it.
    if (highlighted_ >= 0) {
        const auto joint = static_cast<std::size_t>(highlighted_);
        drawJoint(joint);
        painter.setPen(kText);
        painter.drawText(drawn_[joint].place + QPointF(kHighlightedDot + 4, -kHighlightedDot),
                         looks_[joint].oldName);
    }
}

void SkeletonView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fit();
}

void SkeletonView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = draggedTo_ = event->position().toPoint();
    dragging_ = false;
}

void SkeletonView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !frames_) return;
    const QPoint at = event->position().toPoint();
    if (!dragging_ && (at - pressedAt_).manhattanLength() < kDragStart) return;
    dragging_ = true;
    const QPoint moved = at - draggedTo_;
    draggedTo_ = at;
    yaw_ += moved.x() * kDegreesPerPixel;
    pitch_ = std::clamp(pitch_ + moved.y() * kDegreesPerPixel, -90.0, 90.0);
    project();
    update();
}

void SkeletonView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    if (std::exchange(dragging_, false)) return;
    const int joint = jointAt(event->position());
    if (joint < 0) return;
    const int row = looks_[static_cast<std::size_t>(joint)].row;
    if (row < 0) return;
    highlighted_ = joint;
    update();
    emit rowClicked(row);
}

void SkeletonView::wheelEvent(QWheelEvent* event) {
    if (!frames_) return;
    // One notch of a common wheel is 120 eighths of a degree: a tenth larger or smaller.
    scale_ *= std::pow(1.1, event->angleDelta().y() / 120.0);
    project();
    update();
}

bool SkeletonView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int joint = jointAt(help->pos());
    if (joint < 0) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), plainToolTip(toolTipOf(joint)), this);
    }
    return true;
}

QString SkeletonView::toolTipOf(std::size_t joint) const {
    const JointLook& look = looks_[joint];
    if (!look.joint) {
        const std::size_t parent = frames_->hierarchy.joints[joint].parent;
        return parent < looks_.size() ? QStringLiteral("End Site of ") + looks_[parent].oldName
                                      : QStringLiteral("End Site");
    }
    QString role = look.role.isEmpty() ? QStringLiteral("none found") : look.role;
    if (look.roleFromShape) role += QStringLiteral(", found by the skeleton's shape");
    return QStringLiteral("%1\nWritten as: %2\nRole: %3").arg(look.oldName, look.newName, role);
}

}  // namespace skelvane::ui
