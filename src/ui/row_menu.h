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

/// An entry of the Mapping or Target submenu of the row menu, checked for the choice in force.
struct MappingEntry {
    QString text;
    /// Shown while the mouse rests on the entry; may be empty.
    QString toolTip;
    bool checked = false;
    /// True when a separator goes before the entry.
    bool startsGroup = false;
    std::function<void()> choose;
};

/// What the context menu of a job-list row does for each of its entries; an entry without an
/// action (or, for Parts and Mapping, without entries) is shown disabled.
struct RowMenuActions {
    std::function<void()> showJoints;
    std::vector<PartEntry> parts;
    /// The Mapping submenu's choices, followed there by "Load Mapping File...".
    std::vector<MappingEntry> mappings;
    std::function<void()> loadMapping;
    /// The Target submenu's choices, and whether they apply (the submenu is disabled if not).
    std::vector<MappingEntry> targets;
    bool targetApplies = false;
    std::function<void()> removeRow;
    std::function<void()> clearList;
    std::function<void()> undo;
};

/// The Parts entries of a row, one per body part in part-number order, named as its part image's
/// tooltip and checked as the diagram shows the part for the row; the four fixed parts are
/// unchecked and disabled, the others call `toggle` with their part number.
std::vector<PartEntry> partEntries(const joblist::JobList& jobs, int row,
                                   const std::function<void(int part)>& toggle);

/// Opens the context menu of a job-list row, "Show joints...", "Parts", "Mapping", "Target",
/// "Remove row", "Clear list" and "Undo" (Ctrl+Z), at a point of the screen and returns at once;
/// the menu, named rowMenu, belongs to the window and deletes itself once closed.
QMenu& popUpRowMenu(QWidget& window, const QPoint& globalPos, RowMenuActions actions);

}  // namespace skelvane::ui
