// The worksheet report's dialogs: Worksheet Report (records, pages, data, cost options, output)
// and Worksheet Format (boxes, font size, the style and colour of the four text roles). Both work
// on a copy and store it only when they close with OK.
#pragma once

#include "TsRecordDlgs.h"
#include "reports/WrkOpts.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TRecordSubset;

class TWorksheetDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  // Edits `settings` (stored on OK) and, through its Select button, `subset`.
  TWorksheetDlg(TWorksheetSettingsRec& settings, TRecordSubset& subset, QWidget* parent = nullptr);

  void SelectBtnClick();
  void LoadBtnClick();
  void FormatBtnClick();
  // The settings as the dialog holds them now (before OK stores them).
  const TWorksheetSettingsRec& Work() const { return work_; }

  QButtonGroup* Modes = nullptr;  // ids rmCurrent .. rmSubset
  QLineEdit* RangeEdit = nullptr;
  QPushButton* SelectBtn = nullptr;
  QCheckBox* CostPageCheck = nullptr;
  QCheckBox* NutrientPageCheck = nullptr;
  QCheckBox* FieldIdCheck = nullptr;
  QCheckBox* FieldNameCheck = nullptr;
  QCheckBox* OperationCheck = nullptr;
  QCheckBox* NotesCheck = nullptr;
  QCheckBox* SoilTestsCheck = nullptr;
  QCheckBox* InputCostsCheck = nullptr;
  QCheckBox* ExplanatoryCheck = nullptr;
  QCheckBox* RemovalCheck = nullptr;
  QCheckBox* FiveYearCheck = nullptr;
  QCheckBox* CustomCheck = nullptr;
  QPushButton* LoadBtn = nullptr;
  QCheckBox* AnySoilLossCheck = nullptr;
  QPushButton* FormatBtn = nullptr;
  QCheckBox* SaveToFileCheck = nullptr;
  QCheckBox* ViewWithWordCheck = nullptr;

 private:
  void ModeClick(int mode);
  void RangeEditChange();
  void ShowCustomCostFile();
  // The checks of OK in order, then the output choice; true when the settings may be stored.
  bool CheckAndStore();
  void TakeControls();

  TWorksheetSettingsRec& settings_;
  TWorksheetSettingsRec work_;
  TRecordSubset& subset_;
};

class TWorksheetFormatDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  // Edits the boxes, font size and text roles of `settings` (stored on OK).
  explicit TWorksheetFormatDlg(TWorksheetSettingsRec& settings, QWidget* parent = nullptr);

  QCheckBox* BoxedCheck = nullptr;
  QComboBox* FontSizeCombo = nullptr;
  QCheckBox* BoldCheck[kTextRoles] = {};
  QCheckBox* ItalicCheck[kTextRoles] = {};
  QComboBox* ColorCombo[kTextRoles] = {};

 private:
  TWorksheetSettingsRec& settings_;
};

// The "Custom Cost File" chooser: an existing .mcc file; a file of another extension is refused
// with a message. False when cancelled or refused; on success `fileName` is the chosen file.
bool SelectCustomCostFile(std::string& fileName);
