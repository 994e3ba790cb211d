#pragma once

#include <array>

#include "common/body_parts.h"
#include "joblist/job_list.h"

class QLabel;
class QWidget;

namespace skelvane::ui {

class PictureBox;
class TwipsScale;

/// The body diagram: the figure Image1, the 23 part images that lie on it and the legend dots
/// green and red. A part image always shows the very picture of green or of red, so comparing
/// pictures tells which dot it shows.
class BodyDiagram {
public:
    /// Creates the pictures as children of the window, placed by the layout at the given scale;
    /// the part images start hidden, the four fixed parts with the red dot, the others green.
    BodyDiagram(QWidget& window, const TwipsScale& scale);

    /// The figure picture.
    QLabel& figure() const { return *Image1_; }
    /// The legend dot of converted parts.
    PictureBox& green() const { return *green_; }
    /// The legend dot of parts that are not converted.
    PictureBox& red() const { return *red_; }
    /// The image of a part, by part number 1..23.
    PictureBox& partImage(int part) const { return *partImages_.at(part - 1); }

    /// Shows all 23 part images and gives each refreshed part red when its cell for the row is
    /// exactly 1, green otherwise; the fixed parts keep their pictures.
    void showRow(const joblist::JobList& jobs, int row);

    /// Hides the 23 part images again, as before any row was shown; their pictures stay.
    void hideParts();

    /// Swaps an image between the two dots and writes the part's flag for the row to match
    /// (1 for red, 0 for green); the part is the last one whose tooltip equals the image's.
    void toggle(PictureBox& image, joblist::JobList& jobs, int row);

private:
    bool showsGreen(const QLabel& image) const;

    QLabel* Image1_;
    PictureBox* green_;
    PictureBox* red_;
    std::array<PictureBox*, common::kPartCount> partImages_{};
};

}  // namespace skelvane::ui
