// The editable grid of the record pages: a heading row, a first column marking the active row
// with », and one cell editor in every editable cell (entry field or drop-down list), so that
// cells are always in editing mode. What the cells show and how choices and typed values are
// written back is supplied by the owner through the callbacks.
#pragma once

#include <QStringList>
#include <QTableWidget>
#include <functional>
#include <vector>

#include "TsEdit.h"

class QComboBox;

enum class TCellKind { Fixed, Entry, List };

struct TGridColumn {
  QString heading;
  TCellKind kind = TCellKind::Fixed;
  int chars = 8;                        // width in average characters
  int maxLength = 12;                   // characters an entry cell takes
  TEntryMask mask = TEntryMask::Number;  // characters an entry cell allows
};

class TInputGrid : public QTableWidget {
  Q_OBJECT

 public:
  // `columns` are the data columns 1..n (column 0 is the marker column).
  TInputGrid(const QString& name, int rows, const std::vector<TGridColumn>& columns, QWidget* parent = nullptr);

  // Rows and columns are counted from 1 as in the record's tables; column 0 is the marker.
  int Rows() const { return rowCount(); }
  int Columns() const { return columnCount() - 1; }
  TCellKind Kind(int col) const { return columns_[col - 1].kind; }

  // Text of a fixed or entry cell.
  std::function<QString(int row, int col)> CellText;
  // Entries of a list cell of a column without a shared list (SetColumnList).
  std::function<QStringList(int row, int col)> CellList;
  // Stored position of a list cell; 0 (none) shows an empty cell.
  std::function<int(int row, int col)> CellIndex;
  // A new choice in a list cell; false puts the list back to the stored position.
  std::function<bool(int row, int col, int index)> ComboChange;
  // A typed text to check and store; returns the error message, empty when accepted. `shown`
  // receives the text to show once the cell is left.
  std::function<QString(int row, int col, const QString& text, QString& shown)> EntryCheck;

  void SetColumnList(int col, const QStringList& items);
  void SetHeading(int col, const QString& heading);
  QString Heading(int col) const;

  void Redraw();
  void RedrawRow(int row);
  void RedrawCell(int row, int col);
  // Entry fields and lists take input only when the file is writable.
  void SetEditable(bool editable);

  TEntryEdit* EntryAt(int row, int col) const;
  QComboBox* ComboAt(int row, int col) const;
  QWidget* EditorAt(int row, int col) const { return cellWidget(row - 1, col); }
  int ActiveRow() const { return activeRow_; }
  int ActiveCol() const { return activeCol_; }
  // Makes a cell active and gives its editor the focus.
  void SetActiveCell(int row, int col, bool focus = true);
  // Moves like the arrow keys: right and left wrap to the next and previous row and around the grid.
  void MoveRight();
  void MoveLeft();
  void MoveVertical(int step);
  // True when the focus is in one of this grid's editors.
  bool HasEditorFocus() const;
  // Checks the entry cell in focus; false (with the message shown) when it fails.
  bool CheckActiveEntry();

  // All columns at their own widths and all rows.
  QSize sizeHint() const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildEditors();
  void FillCombo(QComboBox* combo, int row, int col);
  void SetMarker(int row);
  bool HandleKey(QWidget* editor, int row, int col, QKeyEvent* key);
  int FirstEditable() const;
  int LastEditable() const;
  int BaseWidth() const;
  void FitColumns();

  std::vector<TGridColumn> columns_;
  std::vector<int> baseWidths_;  // of columns 0..n, from their widths in characters
  std::vector<QStringList> columnLists_;
  std::vector<bool> sharedList_;  // the column's rows share one list
  int activeRow_ = 1;
  int activeCol_ = 1;
  bool filling_ = false;  // lists are being filled: index changes are not choices
  bool editable_ = true;
};
