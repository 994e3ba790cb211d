#include "ui/list_box.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

namespace skelvane::ui {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // Like a classic list box, long texts are cut at the edge rather than scrolled or elided;
    // the narrow skip-mark list would otherwise show an ellipsis instead of its "x".
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

int ListBox::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void ListBox::selectRow(int row) {
    if (row == selectedRow() && row == currentRow()) return;
    setCurrentRow(row);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown();
    QListWidget::mousePressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The base class turns a double click that its press did not start into a press; let that
    // run first so that a press never follows the double click it belongs to.
    QListWidget::mouseDoubleClickEvent(event);
    emit dblClick();
}

void ListBox::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        emit contextMenu(indexAt(event->pos()).row(), event->globalPos());
        return;
    }
    // From the keyboard the menu belongs to the selected row and opens over it.
    const int row = selectedRow();
    const QRect place = row >= 0 ? visualItemRect(item(row)) : viewport()->rect();
    emit contextMenu(row, viewport()->mapToGlobal(place.center()));
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit deleteKey();
        return;
    }
    QListWidget::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
    const auto command = QListWidget::selectionCommand(index, event);
    // Ctrl+click, Ctrl+Space and presses or drags past the last row would otherwise leave
    // the list without a selected row while the other two lists still show one.
    if (!index.isValid() ||
        command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

}  // namespace skelvane::ui
