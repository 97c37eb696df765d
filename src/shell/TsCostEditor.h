// The cost file editor: a grid of the definition file's inputs with their working costs, in which
// the user types unit costs, filtered by crops; new, open, save, save as and print of custom cost
// files. It edits the definition file's working cost table directly; every report and export sets
// the working costs again before it uses them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "reference/CostTable.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TCostGrid;
class TEntryEdit;
class TMdfFile;

class TCostFileEditorDlg : public QDialog {
  Q_OBJECT

 public:
  // `programIdentification` (program name and version) is the cost listing's author.
  TCostFileEditorDlg(TMdfFile& definitions, const std::string& programIdentification, QWidget* parent = nullptr);

  // The editor's state.
  const std::string& CostFileName() const { return costFileName_; }
  bool HasFile() const { return hasFile_; }
  bool ReadOnly() const { return readOnly_; }
  bool Changed() const { return changed_; }
  uint32_t CropFilter() const { return table_.CropFilter(); }

  void NewBtnClick();
  void OpenBtnClick();
  void SaveBtnClick();
  void SaveAsBtnClick();
  void PrintBtnClick();
  void HelpBtnClick();
  void CheckAllBtnClick();
  void UncheckAllBtnClick();
  // Closing (Exit, Escape, the close box) asks about unsaved changes first.
  void reject() override;

  TCostGrid* CostTable = nullptr;
  TEntryEdit* UnitCostEdit = nullptr;
  QListWidget* CropCheckList = nullptr;
  QLabel* CropSubsetLbl = nullptr;
  QPushButton* NewBtn = nullptr;
  QPushButton* OpenBtn = nullptr;
  QPushButton* SaveBtn = nullptr;
  QPushButton* SaveAsBtn = nullptr;
  QPushButton* PrintBtn = nullptr;
  QPushButton* ExitBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  QPushButton* CheckAllBtn = nullptr;
  QPushButton* UncheckAllBtn = nullptr;

 private:
  QLayout* BuildButtons();
  QLayout* BuildCropFilter();
  void CropCheckListClick(QListWidgetItem* item);
  QString UnitCostEditUserValidation(TEntryEdit& edit, bool leaving);
  void UpdateCaption();
  void UpdateButtons();
  void FillGrid(uint32_t mask);
  void RefreshEditor(uint32_t mask, bool focusGrid);
  uint32_t CheckedCrops() const;
  void ShowCropChecks(uint32_t mask);
  bool CostEntryValid();
  bool QuerySaveChanges();
  // Asks for a path until an acceptable one is chosen; empty when cancelled.
  std::string AskSavePath();
  bool SaveCostFile(std::string path);
  void PrintCostListing();
  bool IsDefinitionFile(const std::string& path) const;

  TMdfFile& definitions_;
  std::string programIdentification_;
  uint32_t allCrops_ = 0;
  TCostTable table_;
  std::string costFileName_;
  bool hasFile_ = false;
  bool readOnly_ = false;
  bool changed_ = false;
  bool checkingCrops_ = false;  // the program sets the crop checks: not the user's clicks
};

// The listing's output choices, asked for each listing.
class TPrintCostsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TPrintCostsDlg(QWidget* parent = nullptr);

  QCheckBox* SaveToFileCheckBox = nullptr;
  QCheckBox* ViewWordCheckBox = nullptr;
};
