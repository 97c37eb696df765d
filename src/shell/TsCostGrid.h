// The cost file editor's grid: a heading row, a narrow column marking the active row with », and
// the inputs' names, types, crops, unit costs and cost units, drawn from the cost table each time
// a cell is painted. Only "Unit Cost" is edited, in one entry field that sits on the active row's
// cell and moves with it (Up, Down, Page Up, Page Down, Ctrl+Home, Ctrl+End, Enter, a click).
#pragma once

#include <QTableView>

class TCostTable;
class TEntryEdit;

class TCostGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TCostGrid(const TCostTable& table, QWidget* parent = nullptr);

  // Shows the table's rows, or, when `enabled` is false, ten empty rows in a disabled grid; the
  // first row becomes active. `readOnly` makes the cost entry refuse typing.
  void Fill(bool enabled, bool readOnly);
  bool Filled() const { return enabled_; }
  int Rows() const;
  int ActiveRow() const { return activeRow_; }
  // Makes a data row (from 1) active once the entry's check passes; false when it does not.
  bool MoveTo(int row);
  // The text drawn in a cell (row from 1, column 0 to 5).
  QString CellText(int row, int column) const;
  // The entry of the active row's cost; the owner sets its check.
  TEntryEdit* UnitCostEdit = nullptr;
  // Checks the entry when it has the focus (showing the message); false while it is in error.
  bool CheckEntry();

 protected:
  void updateEditorGeometries() override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class TModel;
  void SetActiveRow(int row);
  void PlaceEntry();

  const TCostTable& table_;
  TModel* model_ = nullptr;
  int activeRow_ = 1;
  bool enabled_ = false;
};
