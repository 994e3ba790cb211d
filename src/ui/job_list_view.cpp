#include "ui/job_list_view.h"

#include <cmath>

#include <QFile>
#include <QLineEdit>

#include "ui/list_box.h"
#include "ui/twips_layout.h"

namespace skelvane::ui {

namespace {

constexpr qsizetype kCutFromFileTitle = 4;
const QString kOutputSuffix = QStringLiteral("_max");
const QString kIdleEditorText = QStringLiteral(" ");

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString titleOfSource(const QString& fileTitle) {
    return fileTitle.left(std::max<qsizetype>(0, fileTitle.size() - kCutFromFileTitle));
}

JobListView::JobListView(joblist::JobList& jobs, ListBox& List1, ListBox& List2, ListBox& List3,
                         QLineEdit& Text1)
    : jobs_(jobs), List1_(List1), List2_(List2), List3_(List3), Text1_(Text1) {}

void JobListView::appendRow(const QString& title, const QString& sourcePath) {
    const QString outputName = title + kOutputSuffix;
    List1_.addItem(title);
    jobs_.appendRow(title.toStdString(), outputName.toStdString(),
                    std::string(joblist::kConvertMark),
                    QFile::encodeName(sourcePath).toStdString());
    List3_.addItem(toQString(joblist::kConvertMark));
    List2_.addItem(outputName);
}

void JobListView::followSelection(const ListBox& source, ListBox& first, ListBox& second) {
    if (source.selectedRow() < 0) return;
    first.selectRow(source.selectedRow());
    // Read again: selecting in the first list runs its own handler before this one goes on.
    if (source.selectedRow() < 0) return;
    second.selectRow(source.selectedRow());
}

void JobListView::toggleSkipMark() {
    const int row = List3_.selectedRow();
    if (row < 0) return;
    const bool convertMark = List3_.item(row)->text() == toQString(joblist::kConvertMark);
    const std::string_view mark = convertMark ? joblist::kSkipMark : joblist::kConvertMark;
    List3_.item(row)->setText(toQString(mark));
    jobs_.setSkipMark(row, std::string(mark));
}

void JobListView::openEditor(const TwipsScale& scale) {
    const int row = List2_.selectedRow();
    if (row < 0) return;
    const double perPixel = scale.twipsPerPixel();
    const double rowTop = layout::List2.height / perPixel / layout::kEditorRowsInList2 * row;
    const double topTwips = std::floor(rowTop) * perPixel + layout::List2.top;
    Text1_.move(Text1_.x(), scale.toPixels(topTwips));
    Text1_.setText(List2_.item(row)->text());
    Text1_.show();
}

void JobListView::commitEditor() {
    Text1_.hide();
    const int row = List2_.selectedRow();
    if (Text1_.text() != kIdleEditorText && row >= 0) {
        List2_.item(row)->setText(Text1_.text());
        jobs_.setOutputName(row, Text1_.text().toStdString());
    }
    Text1_.setText(kIdleEditorText);
}

}  // namespace skelvane::ui
