// `MetStringGrid`: an editable string grid whose first row and first column are fixed
// header cells (drawn white, never selected or edited, skipped by the cursor keys and Tab).
#pragma once

#include <QTableWidget>

namespace vmk {

class FrequencyGridWidget : public QTableWidget {
  Q_OBJECT

 public:
  explicit FrequencyGridWidget(QWidget* parent = nullptr);

  // The text of a cell ("" for a cell that has never been written).
  QString CellText(int row, int col) const;
  // Writes a cell, keeping its editor state untouched when the text is the same.
  void SetCellText(int row, int col, const QString& text);

  // Hands the text of a cell being edited to the cell at once (normally the editor commits
  // when it loses the focus).
  void CommitOpenEditor();
  // The same, and closes the editor.
  void FinishEditing();

  static bool IsFixedCell(int row, int col) { return row == 0 || col == 0; }

 signals:
  // The user changed a cell: typed into its editor, or committed a new text.
  void CellEdited();

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace vmk
