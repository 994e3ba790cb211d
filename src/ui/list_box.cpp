#include "ui/list_box.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace skelvane::ui {

namespace {

// The list draws its own focus frame, the same in every style, so the style's is left out.
class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem withoutFocus = option;
        withoutFocus.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, withoutFocus, index);
    }
};

Qt::KeyboardModifiers modifiersOf(const QKeyEvent& event) {
    return event.modifiers() & ~Qt::KeypadModifier;
}

}  // namespace

ListBox::ListBox(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new RowDelegate(this));
    // Like a classic list box, long texts are cut at the edge rather than scrolled; the narrow
    // skip-mark list would show an ellipsis instead of its "x".
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

void ListBox::showColumn(QAbstractItemModel& model, int column) {
    setModel(&model);
    setModelColumn(column);
}

int ListBox::selectedRow() const {
    if (selectionModel() == nullptr) return -1;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

int ListBox::currentRow() const {
    return currentIndex().row();
}

void ListBox::selectRow(int row) {
    if (row == selectedRow() && row == currentRow()) return;
    if (row < 0) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(model()->index(row, modelColumn()),
                                      QItemSelectionModel::ClearAndSelect);
}

QRect ListBox::rowRect(int row) const {
    return visualRect(model()->index(row, modelColumn()));
}

void ListBox::elideLongRows() {
    setTextElideMode(Qt::ElideRight);
}

void ListBox::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    emit itemSelectionChanged();
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown();
    QListView::mousePressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The base class turns a double click that its press did not start into a press; let that
    // run first so that a press never follows the double click it belongs to.
    QListView::mouseDoubleClickEvent(event);
    emit dblClick();
}

void ListBox::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        emit contextMenu(indexAt(event->pos()).row(), event->globalPos());
        return;
    }
    requestMenuFromKeyboard();
}

// From the keyboard the menu belongs to the selected row and opens over it.
void ListBox::requestMenuFromKeyboard() {
    const int row = selectedRow();
    const QRect place = row >= 0 ? rowRect(row) : viewport()->rect();
    emit contextMenu(row, viewport()->mapToGlobal(place.center()));
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = modifiersOf(*event);
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        emit deleteKey();
        return;
    }
    // Space acts on the current row as a double click does: selected first, then reported. The
    // base class would select it and then, as typed text, move on to the next row that starts
    // with a blank, which every unmarked skip mark is.
    if (event->key() == Qt::Key_Space) {
        if (modifiers != Qt::NoModifier || currentRow() < 0) return;
        selectRow(currentRow());
        if (selectedRow() >= 0) emit spaceKey();
        return;
    }
    // Where the window system does not turn it into a context-menu request itself.
    if (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        requestMenuFromKeyboard();
        return;
    }
    QListView::keyPressEvent(event);
}

// The focus frame may lie where no row is, which the base class would not repaint.
void ListBox::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    viewport()->update();
}

void ListBox::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    viewport()->update();
}

void ListBox::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (!hasFocus()) return;
    const QModelIndex current = currentIndex();
    const int rowHeight =
        model() != nullptr && model()->rowCount() > 0 ? sizeHintForRow(0) : fontMetrics().height();
    const QRect frame =
        current.isValid() ? visualRect(current) : QRect(0, 0, viewport()->width(), rowHeight);
    // In the colours the list already shows its text in, so that they stay the list's own.
    const bool onSelection = current.isValid() && selectionModel()->isSelected(current);
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(onSelection ? QPalette::HighlightedText : QPalette::Text),
                        1, Qt::DotLine));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const {
    const auto command = QListView::selectionCommand(index, event);
    // Ctrl+click, Ctrl+Space and presses or drags past the last row would otherwise leave
    // the list without a selected row while the other two lists still show one.
    if (!index.isValid() ||
        command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

}  // namespace skelvane::ui
