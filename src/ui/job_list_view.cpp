#include "ui/job_list_view.h"

#include <cmath>
#include <utility>

#include <QLineEdit>

#include "joblist/title_rule.h"
#include "ui/list_box.h"
#include "ui/text.h"
#include "ui/twips_layout.h"

namespace skelvane::ui {

namespace {

const QString kIdleEditorText = QStringLiteral(" ");

}  // namespace

JobListView::JobListView(joblist::JobList& jobs, ListBox& List1, ListBox& List2, ListBox& List3,
                         QLineEdit& Text1)
    : jobs_(jobs), List1_(List1), List2_(List2), List3_(List3), Text1_(Text1) {}

bool JobListView::appendRow(const QString& fileTitle, const QString& sourcePath) {
    if (jobs_.isFull()) return false;
    const std::string title = joblist::titleOf(toBytes(fileTitle));
    const std::string outputName = joblist::defaultOutputName(title);
    List1_.addItem(fromBytes(title));
    jobs_.appendRow(title, outputName, std::string(joblist::kConvertMark), toBytes(sourcePath));
    List3_.addItem(fromBytes(joblist::kConvertMark));
    List2_.addItem(fromBytes(outputName));
    return true;
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
    const bool convertMark = List3_.item(row)->text() == fromBytes(joblist::kConvertMark);
    const std::string_view mark = convertMark ? joblist::kSkipMark : joblist::kConvertMark;
    List3_.item(row)->setText(fromBytes(mark));
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
    editorRow_ = row;
}

void JobListView::commitEditor() {
    Text1_.hide();
    const int row = std::exchange(editorRow_, -1);
    if (Text1_.text() != kIdleEditorText && row >= 0) {
        List2_.item(row)->setText(Text1_.text());
        jobs_.setOutputName(row, toBytes(Text1_.text()));
    }
    Text1_.setText(kIdleEditorText);
}

}  // namespace skelvane::ui
