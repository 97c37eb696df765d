// The Subset Selection dialog: ticks the categories of each data type that a report or command
// includes. Ticks take effect at once; any way out but OK puts the ticks back as they were.
#pragma once

#include "TsRecordDlgs.h"

class QListWidget;
class QPushButton;
class TRecordSubset;

class TSubsetSelectionDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  explicit TSubsetSelectionDlg(TRecordSubset& subset, QWidget* parent = nullptr);

  // The data type whose items the check list shows (2..16).
  int ShownType() const { return shown_; }
  void CheckAllBtnClick();
  void UncheckAllBtnClick();
  void ResetBtnClick();

  QListWidget* TypeList = nullptr;  // types 2..16
  QListWidget* ItemList = nullptr;  // items of the shown type, checkable
  QPushButton* CheckAllBtn = nullptr;
  QPushButton* UncheckAllBtn = nullptr;
  QPushButton* ResetBtn = nullptr;

 protected:
  void done(int result) override;

 private:
  void ShowType(int type);
  void TypeListChange(int row);
  // At least one item of the shown type is ticked; otherwise says so and focuses the list.
  bool ShownTypeChecked();

  TRecordSubset& subset_;
  int shown_ = 0;
  bool filling_ = false;
};
