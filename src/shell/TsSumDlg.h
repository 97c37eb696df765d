// The Ranked Summary and Tabular Summary dialogs: which records, the ranking or the table and row
// types, the cost options, the data columns and the output options of a summary. OK checks the
// choices in order and stores them in the summary's settings; Cancel stores nothing but a cost
// file chosen with Load.
#pragma once

#include <bitset>
#include <functional>
#include <vector>

#include "TsRecordDlgs.h"
#include "reports/RankSum.h"
#include "reports/TabSum.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class TRecordSubset;

// What both summary dialogs have.
class TSummaryDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  virtual void SelectBtnClick();
  void LoadBtnClick();

  QRadioButton* AllRecordsBtn = nullptr;
  QRadioButton* SubsetBtn = nullptr;
  QPushButton* SelectBtn = nullptr;
  QCheckBox* CustomCostsCheck = nullptr;
  QPushButton* LoadBtn = nullptr;
  QCheckBox* RemovalCheck = nullptr;
  QCheckBox* FiveYearCheck = nullptr;
  QCheckBox* AnySoilLossCheck = nullptr;
  QListWidget* ColumnList = nullptr;  // one checkable item per data column, in column order
  QCheckBox* ViewWithWordCheck = nullptr;
  QCheckBox* SaveToFileCheck = nullptr;

 protected:
  // Builds the shared groups; the summary's own choices (ranking, or table and row types) go into
  // Choices under the records group. `columnNames` are the names of columns 1, 2, ... (none: no
  // column list; Side then takes the report's own group); Select opens the subset selection on
  // `subset`.
  TSummaryDlg(const QString& title, int helpContext, TSummarySettingsRec& settings, TRecordSubset& subset,
              const char* prefix, const std::vector<const char*>& columnNames, QWidget* parent);
  // Shows the shared settings and the ticked columns (bit n: column n).
  template <size_t N>
  void ShowShared(const std::bitset<N>& columns);
  // The checks of OK in their order; on success the shared settings and the ticked columns are
  // stored.
  template <size_t N>
  bool CheckAndStore(std::bitset<N>& columns);
  // The settings of the shared groups shown, and stored after their checks.
  void ShowSharedSettings();
  bool CheckCostFile();
  bool CheckAndStoreShared();

  QVBoxLayout* Choices = nullptr;
  QVBoxLayout* Side = nullptr;
  TRecordSubset& Subset() const { return subset_; }

 private:
  TSummarySettingsRec& settings_;
  TRecordSubset& subset_;
  const char* prefix_;
};

class TRankedSummaryDlg : public TSummaryDlg {
  Q_OBJECT

 public:
  TRankedSummaryDlg(TRankedSummarySettingsRec& settings, TRecordSubset& subset, QWidget* parent = nullptr);

  QRadioButton* RankButtons[3] = {};  // yield, unit cost, profit

 private:
  TRankedSummarySettingsRec& settings_;
};

class TTabularSummaryDlg : public TSummaryDlg {
  Q_OBJECT

 public:
  // The lists name the sixteen data types of the subset.
  TTabularSummaryDlg(TTabularSummarySettingsRec& settings, TRecordSubset& subset, QWidget* parent = nullptr);

  QComboBox* TableCombo = nullptr;
  QComboBox* RowCombo = nullptr;

 private:
  TTabularSummarySettingsRec& settings_;
};

class TMainForm;

// For the screenshots: both dialogs with the main window's settings, and the ranked summary of
// the open project in the preview window; each is handed to `save` with a file name.
void ShowSummaryScreens(TMainForm& form, const std::function<void(QWidget&, const QString&)>& save);
