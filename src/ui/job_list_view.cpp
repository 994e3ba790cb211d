#include "ui/job_list_view.h"

#include <algorithm>
#include <cmath>

#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/list_box.h"
#include "ui/text.h"
#include "ui/twips_layout.h"

namespace skelvane::ui {

namespace {

const QString kIdleEditorText = QStringLiteral(" ");

}  // namespace

JobListView::JobListView(joblist::JobList& jobs, ListBox& List1, ListBox& List2, ListBox& List3,
                         QLineEdit& Text1)
    : model_(jobs), List1_(List1), List2_(List2), List3_(List3), Text1_(Text1) {
    List1_.showColumn(model_, JobListModel::Title);
    List2_.showColumn(model_, JobListModel::OutputName);
    List3_.showColumn(model_, JobListModel::SkipMark);
}

bool JobListView::appendRow(const std::string& fileName, const std::string& sourcePath,
                            const joblist::MappingChoice& mapping) {
    return model_.appendSource(fileName, sourcePath, mapping);
}

void JobListView::setMapping(int row, const joblist::MappingChoice& mapping) {
    model_.setMapping(row, mapping);
}

void JobListView::removeRow(int row, const TwipsScale& scale) {
    if (row < 0 || row >= model_.rowCount()) return;
    if (editorRow_ == row) {
        closeEditor();
    } else if (editorRow_ > row) {
        placeEditor(editorRow_ - 1, scale);
    }
    const int selected = List1_.selectedRow();
    {
        const QSignalBlocker quiet1(List1_), quiet2(List2_), quiet3(List3_);
        model_.removeRow(row);
    }
    if (selected == row) {
        selectQuietly(std::min(row, model_.rowCount() - 1));
    } else {
        selectQuietly(selected > row ? selected - 1 : selected);
    }
}

void JobListView::clear() {
    closeEditor();
    const QSignalBlocker quiet1(List1_), quiet2(List2_), quiet3(List3_);
    model_.clear();
}

void JobListView::insertRows(const std::vector<PlacedRow>& rows, int selected,
                             const TwipsScale& scale) {
    for (const PlacedRow& placed : rows) {
        const int row = std::min(placed.row, model_.rowCount());
        {
            const QSignalBlocker quiet1(List1_), quiet2(List2_), quiet3(List3_);
            if (!model_.insertRecord(row, placed.record)) break;
        }
        if (editorRow_ >= row) placeEditor(editorRow_ + 1, scale);
    }
    selectQuietly(selected >= 0 ? selected : List1_.selectedRow());
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
    if (row >= 0) model_.toggleSkipMark(row);
}

void JobListView::openEditor(const TwipsScale& scale) {
    const int row = List2_.selectedRow();
    if (row < 0) return;
    placeEditor(row, scale);
    Text1_.setText(model_.index(row, JobListModel::OutputName).data().toString());
    Text1_.show();
}

void JobListView::commitEditor() {
    const int row = editorRow_;
    if (Text1_.text() != kIdleEditorText && row >= 0) {
        model_.setOutputName(row, toBytes(Text1_.text()));
    }
    closeEditor();
}

void JobListView::placeEditor(int row, const TwipsScale& scale) {
    const double perPixel = scale.twipsPerPixel();
    const double rowTop = layout::List2.height / perPixel / layout::kEditorRowsInList2 * row;
    const double topTwips = std::floor(rowTop) * perPixel + layout::List2.top;
    Text1_.move(Text1_.x(), scale.toPixels(topTwips));
    editorRow_ = row;
}

void JobListView::closeEditor() {
    Text1_.hide();
    Text1_.setText(kIdleEditorText);
    editorRow_ = -1;
}

void JobListView::selectQuietly(int row) {
    for (ListBox* list : {&List1_, &List2_, &List3_}) {
        const QSignalBlocker quiet(list);
        list->selectRow(row);
    }
}

}  // namespace skelvane::ui
