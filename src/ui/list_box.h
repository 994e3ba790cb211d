#pragma once

#include <QListView>

namespace skelvane::ui {

/// A single-selection list of plain text rows, one column of a model, that behaves like a
/// classic list box: the user can move its selection but never empty it, a press is reported
/// before it moves the selection, and a double click is reported wherever it lands on the
/// rows' area. While the list has the keyboard focus, a dotted frame marks its current row (the
/// first row's place when it has none). Context-menu requests (mouse, Menu key or Shift+F10),
/// Space and the Delete key are reported for the window to act on.
class ListBox : public QListView {
    Q_OBJECT

public:
    /// An empty list with no selected row.
    explicit ListBox(QWidget* parent = nullptr);

    /// Shows one column of the model.
    void showColumn(QAbstractItemModel& model, int column);
    /// The row of the selected entry, or -1 when none is selected.
    int selectedRow() const;
    /// Makes the row the current and only selected entry, or for -1 leaves the list with none;
    /// selecting the entry that is already selected changes nothing and emits nothing.
    void selectRow(int row);
    /// Where a row lies on the list's viewport.
    QRect rowRect(int row) const;
    /// Makes long rows end in an ellipsis at the list's edge instead of being cut off there.
    void elideLongRows();

signals:
    /// The selection changed, by the user or from code.
    void itemSelectionChanged();
    /// A mouse button went down on the rows' area; emitted before the press moves the selection.
    void mouseDown();
    /// A double click on the rows' area; emitted after the list has handled it.
    void dblClick();
    /// A context menu was asked for at a point of the screen, over a row or -1 below the rows;
    /// a right press has already selected the row.
    void contextMenu(int row, const QPoint& globalPos);
    /// The Delete key was pressed while the list had the focus.
    void deleteKey();
    /// Space was pressed while the list had the focus and a current row, which it has selected.
    void spaceKey();

protected:
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;

private:
    int currentRow() const;
    void requestMenuFromKeyboard();
};

}  // namespace skelvane::ui
