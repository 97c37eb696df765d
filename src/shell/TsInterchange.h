// The data interchange dialogs of the File menu: Export Data and Extract Project, with the
// settings each keeps while the program runs, and the progress window of long exports and imports.
#pragma once

#include <QProgressDialog>
#include <string>

#include "TsRecordDlgs.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TRecordSubset;

// Export formats, in the order of the dialog's choices.
enum TExportFormat { efDatabase, efDbase, efPlan, efJson, efXlsx, efCsv, efFormats };

struct TExportSettingsRec {
  int records = 0;  // 0 all records, 1 the export subset
  bool useCustomCosts = false;
  std::string costFileName;
  bool removalCost = false, fiveYearPrice = false, soilLossCharge = false;
  bool excludeName = false, excludeAddress = false, excludeNotes = false, excludeCosts = false;
  int format = efDatabase;
  std::string fileName1, fileName2;
};

struct TExtractSettingsRec {
  std::string title;
  int records = 0;  // 0 all records, 1 the extract subset
  bool excludeName = false, excludeAddress = false, excludeNotes = false, advanceYear = false;
  std::string fileName;
};

// The check boxes of the data that exports and extracts leave out, shared by both dialogs.
struct TExcludeChecks {
  QCheckBox* Name = nullptr;
  QCheckBox* Address = nullptr;
  QCheckBox* Notes = nullptr;
};

// "All Records" or "Subset", with Select... opening the subset dialog; its OK chooses "Subset".
struct TRecordsChoice {
  QRadioButton* AllBtn = nullptr;
  QRadioButton* SubsetBtn = nullptr;
  QPushButton* SelectBtn = nullptr;
};

class TExportDataDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  TExportDataDlg(const TExportSettingsRec& settings, TRecordSubset& subset, QWidget* parent = nullptr);

  // The choices made, over the settings given (file names and the cost file kept as given).
  TExportSettingsRec Settings() const;
  void LoadBtnClick();
  // False (with the message) when Use Custom Costs is ticked without a cost file.
  bool CheckCustomCosts();

  TRecordsChoice Records;
  TExcludeChecks Exclude;
  QCheckBox* ExcludeCostsCheck = nullptr;
  QCheckBox* RemovalCheck = nullptr;
  QCheckBox* FiveYearCheck = nullptr;
  QCheckBox* CustomCheck = nullptr;
  QPushButton* LoadBtn = nullptr;
  QCheckBox* SoilLossCheck = nullptr;
  QRadioButton* FormatBtns[efFormats] = {};

 private:
  TExportSettingsRec settings_;
};

class TExtractDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  // `canAdvance` false disables the advance year choice (the project is of the last year).
  TExtractDlg(const TExtractSettingsRec& settings, TRecordSubset& subset, bool canAdvance, QWidget* parent = nullptr);

  TExtractSettingsRec Settings() const;

  QLineEdit* TitleEdit = nullptr;
  TRecordsChoice Records;
  TExcludeChecks Exclude;
  QCheckBox* AdvanceCheck = nullptr;

 private:
  TExtractSettingsRec settings_;
};

// "n of N records" with Cancel, shown once the work takes longer than half a second.
class TRecordProgress : public QProgressDialog {
 public:
  TRecordProgress(const QString& title, QWidget* parent);
  // Shows the step; false once the user cancelled.
  bool Step(int done, int total);
  // Takes the window down for good (also its pending appearance), so that a message of the
  // outcome shown next is not covered by it; true when the user cancelled. Later calls and steps
  // give the same answer and show nothing.
  bool Finish();

 private:
  bool finished_ = false;
  bool cancelled_ = false;
};
