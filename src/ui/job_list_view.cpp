#include "ui/job_list_view.h"

#include <algorithm>
#include <cmath>

#include <QLineEdit>
#include <QSignalBlocker>

#include "common/title_rule.h"
#include "ui/list_box.h"
#include "ui/plain_text.h"
#include "ui/row_mappings.h"
#include "ui/source_check.h"
#include "ui/text.h"
#include "ui/twips_layout.h"

namespace skelvane::ui {

namespace {

const QString kIdleEditorText = QStringLiteral(" ");

QString titleToolTip(const joblist::JobRow& row) {
    const QString named =
        fromBytes(row.sourcePath) + QStringLiteral("\nMapping: ") + choiceName(row.mapping);
    if (!doesNotStartLikeBvh(row.sourcePath)) return plainToolTip(named);
    return plainToolTip(named +
                        QStringLiteral("\n\nDoes not start like a BVH file (with HIERARCHY);\n"
                                       "Convert still renames whatever matches in it."));
}

}  // namespace

JobListView::JobListView(joblist::JobList& jobs, ListBox& List1, ListBox& List2, ListBox& List3,
                         QLineEdit& Text1)
    : jobs_(jobs), List1_(List1), List2_(List2), List3_(List3), Text1_(Text1) {}

bool JobListView::appendRow(const std::string& fileName, const std::string& sourcePath,
                            const joblist::MappingChoice& mapping) {
    if (jobs_.isFull()) return false;
    const std::string title = common::titleOf(fileName);
    const std::string outputName = common::defaultOutputName(title);
    List1_.addItem(fromBytes(title));
    jobs_.appendRow(title, outputName, std::string(joblist::kConvertMark), sourcePath, mapping);
    List1_.item(List1_.count() - 1)->setToolTip(titleToolTip(jobs_.row(jobs_.rowCount() - 1)));
    List3_.addItem(fromBytes(joblist::kConvertMark));
    List2_.addItem(fromBytes(outputName));
    return true;
}

void JobListView::setMapping(int row, const joblist::MappingChoice& mapping) {
    jobs_.setMapping(row, mapping);
    List1_.item(row)->setToolTip(titleToolTip(jobs_.row(row)));
}

void JobListView::removeRow(int row, const TwipsScale& scale) {
    if (row < 0 || row >= jobs_.rowCount()) return;
    if (editorRow_ == row) {
        closeEditor();
    } else if (editorRow_ > row) {
        placeEditor(editorRow_ - 1, scale);
    }
    const int selected = List1_.selectedRow();
    jobs_.removeRow(row);
    for (ListBox* list : {&List1_, &List2_, &List3_}) {
        const QSignalBlocker quiet(list);
        delete list->takeItem(row);
    }
    if (selected == row) {
        selectQuietly(std::min(row, jobs_.rowCount() - 1));
    } else {
        selectQuietly(selected > row ? selected - 1 : selected);
    }
}

void JobListView::clear() {
    closeEditor();
    jobs_.clear();
    for (ListBox* list : {&List1_, &List2_, &List3_}) {
        const QSignalBlocker quiet(list);
        list->clear();
    }
}

void JobListView::insertRows(const std::vector<PlacedRow>& rows, int selected,
                             const TwipsScale& scale) {
    for (const PlacedRow& placed : rows) {
        const int row = std::min(placed.row, jobs_.rowCount());
        if (jobs_.insertRow(row, placed.record) < 0) break;
        const joblist::JobRow& record = placed.record;
        const std::pair<ListBox*, QString> texts[] = {{&List1_, fromBytes(record.title)},
                                                      {&List2_, fromBytes(record.outputName)},
                                                      {&List3_, fromBytes(record.skipMark)}};
        for (const auto& [list, text] : texts) {
            const QSignalBlocker quiet(list);
            list->insertItem(row, text);
        }
        List1_.item(row)->setToolTip(titleToolTip(record));
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
    if (row < 0) return;
    const bool convertMark = List3_.item(row)->text() == fromBytes(joblist::kConvertMark);
    const std::string_view mark = convertMark ? joblist::kSkipMark : joblist::kConvertMark;
    List3_.item(row)->setText(fromBytes(mark));
    jobs_.setSkipMark(row, std::string(mark));
}

void JobListView::openEditor(const TwipsScale& scale) {
    const int row = List2_.selectedRow();
    if (row < 0) return;
    placeEditor(row, scale);
    Text1_.setText(List2_.item(row)->text());
    Text1_.show();
}

void JobListView::commitEditor() {
    const int row = editorRow_;
    if (Text1_.text() != kIdleEditorText && row >= 0) {
        List2_.item(row)->setText(Text1_.text());
        jobs_.setOutputName(row, toBytes(Text1_.text()));
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
        if (row >= 0) {
            list->selectRow(row);
        } else {
            list->setCurrentRow(-1);
            list->clearSelection();
        }
    }
}

}  // namespace skelvane::ui
