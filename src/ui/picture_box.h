#pragma once

#include <QLabel>

namespace skelvane::ui {

/// An image control: shows a picture at its own pixel size and reports clicks.
class PictureBox : public QLabel {
    Q_OBJECT

public:
    /// An image without a picture.
    explicit PictureBox(QWidget* parent = nullptr);

signals:
    /// The left mouse button was pressed and released over the image.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace skelvane::ui
