#pragma once

#include <functional>

class QMenu;
class QPoint;
class QWidget;

namespace skelvane::ui {

/// What the context menu of a job-list row does for each of its entries; an entry without an
/// action is shown disabled.
struct RowMenuActions {
    std::function<void()> showJoints;
    std::function<void()> removeRow;
    std::function<void()> clearList;
};

/// Opens the context menu of a job-list row, "Show joints...", "Remove row" and "Clear list",
/// at a point of the screen and returns at once; the menu, named rowMenu, belongs to the window
/// and deletes itself once closed.
QMenu& popUpRowMenu(QWidget& window, const QPoint& globalPos, RowMenuActions actions);

}  // namespace skelvane::ui
