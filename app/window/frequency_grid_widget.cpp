#include "app/window/frequency_grid_widget.h"

#include <algorithm>

#include <QHeaderView>
#include <QPalette>

#include "form/form_layout.h"
#include "app/window/window_fonts.h"

namespace vmk {

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
