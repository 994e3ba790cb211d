#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "joblist/job_list.h"

class QMenu;
class QPoint;
class QWidget;

namespace skelvane::ui {

/// A body part's entry in the Parts submenu of the row menu: checked while the row converts
/// the part; an entry without an action is shown disabled.
struct PartEntry {
    QString text;
    bool converted = false;
    std::function<void()> toggle;
};

/// What the context menu of a job-list row does for each of its entries; an entry without an
/// action (or, for Parts, without entries) is shown disabled.
struct RowMenuActions {
    std::function<void()> showJoints;
    std::vector<PartEntry> parts;
    std::function<void()> removeRow;
    std::function<void()> clearList;
    std::function<void()> undo;
};

/// The Parts entries of a row, one per body part in part-number order, named as its part image's
/// tooltip and checked as the diagram shows the part for the row; the four fixed parts are
/// unchecked and disabled, the others call `toggle` with their part number.
std::vector<PartEntry> partEntries(const joblist::JobList& jobs, int row,
                                   const std::function<void(int part)>& toggle);

/// Opens the context menu of a job-list row, "Show joints...", "Parts", "Remove row", "Clear
/// list" and "Undo" (Ctrl+Z), at a point of the screen and returns at once; the menu, named
/// rowMenu, belongs to the window and deletes itself once closed.
QMenu& popUpRowMenu(QWidget& window, const QPoint& globalPos, RowMenuActions actions);

}  // namespace skelvane::ui
