#include "ui/body_diagram.h"

#include <QPixmap>

#include "ui/picture_box.h"
#include "ui/text.h"
#include "ui/twips_layout.h"

namespace skelvane::ui {

namespace {

PictureBox* createPicture(QWidget& window, const QString& name, const QRect& place,
                          const QPixmap& picture) {
    auto* image = new PictureBox(&window);
    image->setObjectName(name);
    image->setGeometry(place);
    image->setPixmap(picture);
    return image;
}

}  // namespace

BodyDiagram::BodyDiagram(QWidget& window, const TwipsScale& scale) {
    const QPixmap greenDot(QStringLiteral(":/pictures/green.png"));
    const QPixmap redDot(QStringLiteral(":/pictures/red.png"));

    auto* figure = createPicture(window, QStringLiteral("Image1"), scale.toPixels(layout::Image1),
                                 QPixmap(QStringLiteral(":/pictures/body.png")));
    figure->setFrameStyle(QFrame::Box | QFrame::Plain);
    figure->setLineWidth(1);
    Image1_ = figure;

    green_ =
        createPicture(window, QStringLiteral("green"), scale.toPixels(layout::green), greenDot);
    red_ = createPicture(window, QStringLiteral("red"), scale.toPixels(layout::red), redDot);

    for (const auto& part : common::kBodyParts) {
        const layout::PartPlace& place = layout::kPartImagePlaces.at(part.number - 1);
        const TwipsRect rect{place.left, place.top, layout::kPartImageSize,
                             layout::kPartImageSize};
        auto* image =
            createPicture(window, fromBytes(part.imageName), scale.toPixels(rect),
                          common::isFixedPart(part.number) ? red_->pixmap() : green_->pixmap());
        image->setToolTip(fromBytes(part.toolTip));
        image->hide();
        partImages_.at(part.number - 1) = image;
    }
}

void BodyDiagram::showRow(const joblist::JobList& jobs, int row) {
    for (PictureBox* image : partImages_) image->show();
    for (const auto& part : common::kBodyParts) {
        if (common::isFixedPart(part.number)) continue;
        const bool notConverted = jobs.partFlag(row, part.number) == 1.0F;
        partImage(part.number).setPixmap(notConverted ? red_->pixmap() : green_->pixmap());
    }
}

void BodyDiagram::hideParts() {
    for (PictureBox* image : partImages_) image->hide();
}

void BodyDiagram::toggle(PictureBox& image, joblist::JobList& jobs, int row) {
    int part = 0;
    for (const auto& candidate : common::kBodyParts) {
        if (partImage(candidate.number).toolTip() == image.toolTip()) part = candidate.number;
    }
    if (showsGreen(image)) {
        image.setPixmap(red_->pixmap());
        jobs.setPartFlag(row, part, 1.0F);
    } else {
        image.setPixmap(green_->pixmap());
        jobs.setPartFlag(row, part, 0.0F);
    }
}

bool BodyDiagram::showsGreen(const QLabel& image) const {
    return image.pixmap().cacheKey() == green_->pixmap().cacheKey();
}

}  // namespace skelvane::ui
