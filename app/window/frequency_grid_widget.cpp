#include "app/window/frequency_grid_widget.h"

#include <algorithm>

#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QStyledItemDelegate>

#include "form/form_layout.h"
#include "app/window/half_width_input.h"
#include "app/window/window_fonts.h"

namespace vmk {
namespace {

// The cells' editor: full-width digits typed into it become half-width as they are entered,
// and every change by the user is reported as an edit of the grid.
class CellDelegate : public QStyledItemDelegate {
 public:
  explicit CellDelegate(FrequencyGridWidget* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      connect(edit, &QLineEdit::textEdited, grid_, [grid = grid_, edit] {
        ConvertToHalfWidth(edit);
        emit grid->CellEdited();
      });
    }
    return editor;
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    const QVariant before = model->data(index, Qt::EditRole);
    QStyledItemDelegate::setModelData(editor, model, index);
    if (model->data(index, Qt::EditRole) != before) emit grid_->CellEdited();
  }

 private:
  FrequencyGridWidget* grid_;
};

}  // namespace

FrequencyGridWidget::FrequencyGridWidget(QWidget* parent) : QTableWidget(kGridRows, kGridCols, parent) {
  setFont(GridFont());

  // Row 0 and column 0 are ordinary cells drawn as fixed ones, so the header texts live in
  // the cells like every other text of the grid.
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultSectionSize(GridColumnWidth(0));
  verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  for (int col = 0; col < kGridCols; ++col) {
    setColumnWidth(col, GridColumnWidth(col));
  }
  for (int row = 0; row < kGridRows; ++row) {
    setRowHeight(row, kGridRowHeight);
  }

  setFrameStyle(QFrame::Box | QFrame::Plain);  // flat border
  setLineWidth(1);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setShowGrid(true);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setCornerButtonEnabled(false);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setTabKeyNavigation(true);
  setItemDelegate(new CellDelegate(this));

  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Text, Qt::black);
  setPalette(pal);

  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      auto* item = new QTableWidgetItem();
      item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      if (IsFixedCell(row, col)) {
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(Qt::white);
        item->setForeground(Qt::black);
      } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
      }
      setItem(row, col, item);
    }
  }
  setCurrentCell(1, 1);
}

QString FrequencyGridWidget::CellText(int row, int col) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell ? cell->text() : QString();
}

void FrequencyGridWidget::SetCellText(int row, int col, const QString& text) {
  QTableWidgetItem* cell = item(row, col);
  if (cell && cell->text() != text) {
    cell->setText(text);
  }
}

void FrequencyGridWidget::CommitOpenEditor() {
  if (state() != QAbstractItemView::EditingState) {
    return;
  }
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
  }
}

void FrequencyGridWidget::FinishEditing() {
  if (state() != QAbstractItemView::EditingState) {
    return;
  }
  CommitOpenEditor();
  if (QWidget* editor = indexWidget(currentIndex())) {
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

QModelIndex FrequencyGridWidget::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  int row = current.isValid() ? current.row() : 1;
  int col = current.isValid() ? current.column() : 1;
  switch (action) {
    case MoveNext:  // Tab: along the row, then on to the next row's first editable cell
      if (++col >= columnCount()) {
        col = 1;
        if (++row >= rowCount()) {
          row = 1;
        }
      }
      return model()->index(row, col);
    case MovePrevious:  // Shift+Tab
      if (--col < 1) {
        col = columnCount() - 1;
        if (--row < 1) {
          row = rowCount() - 1;
        }
      }
      return model()->index(row, col);
    default: {
      const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
      if (!next.isValid()) {
        return next;
      }
      return model()->index(std::max(1, next.row()), std::max(1, next.column()));
    }
  }
}

}  // namespace vmk
