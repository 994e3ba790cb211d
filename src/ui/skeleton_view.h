#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QWidget>

#include "conversion/bvh/joint_positions.h"
#include "conversion/bvh/motion_frames.h"
#include "conversion/rename/joint_report.h"

namespace skelvane::ui {

/// What the picture shows of one joint of the hierarchy besides its place.
struct JointLook {
    /// False for an End Site, drawn as a small point without a colour of its own.
    bool joint = true;
    conversion::JointOutcome outcome = conversion::JointOutcome::Untouched;
    QString oldName;
    QString newName;
    /// The role found for it, empty for none.
    QString role;
    /// True when its role was found by the skeleton's shape rather than by its name: the dot
    /// gets a ring.
    bool roleFromShape = false;
    /// Its row in the joints table, -1 for none.
    int row = -1;
};

/// A picture of a file's skeleton at one of its frames, drawn with QPainter: bones as lines
/// from each joint to its parent, joints as dots coloured as the body diagram colours parts
/// (renamed green, renamed to "nothing" red, untouched orange), End Sites as small points.
/// Seen from the front, the side or the top, turned by dragging, zoomed by the wheel, fitted to
/// the view; the file's up axis (Y, or Z where the skeleton stands along Z) is up. A joint under
/// the mouse tells its names and role; a click on one tells its row.
class SkeletonView final : public QWidget {
    Q_OBJECT

public:
    /// The views the picture can be set to.
    enum class Facing { Front, Side, Top };

    explicit SkeletonView(QWidget* parent = nullptr);

    /// Shows a file's skeleton, one look per joint of its hierarchy, at its first kept frame,
    /// from the front, fitted.
    void setSkeleton(std::shared_ptr<const conversion::MotionFrames> frames,
                     std::vector<JointLook> looks);
    /// Without a skeleton: the text shown in its place.
    void setPlaceholder(const QString& text);
    const QString& placeholder() const { return placeholder_; }
    /// True once a skeleton is shown.
    bool hasSkeleton() const { return frames_ != nullptr; }
    /// Shows a kept frame.
    void setFrame(std::size_t kept);
    /// Turns the picture to a view and fits it.
    void face(Facing facing);
    /// Scales and centres the picture so that the skeleton, through all its motion, fills it.
    void fit();
    /// Marks the joint of a table row; -1 (or a row without a joint) marks none.
    void highlightRow(int row);

    /// The joint marked, -1 for none.
    int highlightedJoint() const { return highlighted_; }
    /// Where a joint is drawn.
    QPointF placeOf(std::size_t joint) const { return drawn_.at(joint).place; }
    /// The joint drawn nearest to a point, within reach of the mouse; -1 for none.
    int jointAt(const QPointF& point) const;
    /// Room for a figure beside the table.
    QSize sizeHint() const override { return {380, 420}; }
    /// How many pictures were painted.
    std::uint64_t paintCount() const { return paints_; }

signals:
    /// A joint that has a table row was clicked.
    void rowClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    using Matrix = std::array<std::array<double, 3>, 3>;
    struct Drawn {
        QPointF place;
        double depth = 0;
    };

    Matrix turn() const;
    void project();
    QString toolTipOf(std::size_t joint) const;

    std::shared_ptr<const conversion::MotionFrames> frames_;
    std::vector<JointLook> looks_;
    QString placeholder_;
    // Turns the file's up axis to the screen's.
    Matrix upright_{};
    double yaw_ = 0;
    double pitch_ = 0;
    double scale_ = 1;
    conversion::Point3 centre_;
    // Places through the motion, for fitting: every joint at some frames evenly apart.
    std::vector<conversion::Point3> sampled_;
    std::size_t frame_ = 0;
    std::vector<conversion::Point3> places_;
    std::vector<Drawn> drawn_;
    // Joints far from the eye first.
    std::vector<std::size_t> order_;
    int highlighted_ = -1;
    QPoint pressedAt_;
    QPoint draggedTo_;
    bool dragging_ = false;
    std::uint64_t paints_ = 0;
};

}  // namespace skelvane::ui
