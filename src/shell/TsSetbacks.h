// The manure application setbacks report's dialog: the geographic features to list, how the
// manure is applied, the application's conditions and where the report goes.
#pragma once

#include <string>
#include <vector>

#include "TsRecordDlgs.h"
#include "reports/SetbacksRpt.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

class TSetbacksRptDlg : public TCheckedDlg {
  Q_OBJECT

 public:
  // Shows `settings` for a project of `state` (its feature ticks only when they were made for that
  // state) with the state's list of features; OK stores the choices back into `settings`.
  TSetbacksRptDlg(TSetbacksRptSettingsRec& settings, int state, const std::vector<std::string>& features,
                  QWidget* parent = nullptr);

  QListWidget* FeatureList = nullptr;
  QButtonGroup* HowAppliedGroup = nullptr;
  QLabel* DaysLbl = nullptr;
  QLineEdit* DaysEdit = nullptr;
  QLineEdit* BufferEdit = nullptr;
  QLineEdit* SlopeEdit = nullptr;
  QLineEdit* ResidueEdit = nullptr;
  QCheckBox* GradientCheck = nullptr;
  QListWidget* AppliedToList = nullptr;
  QCheckBox* ViewWordCheck = nullptr;
  QCheckBox* SaveToFileCheck = nullptr;

 private:
  QWidget* BuildApplication();
  void ShowSettings();
  void HowAppliedClick(int method);
  // The checks of OK in their order; on success the settings are stored.
  bool OkClick();
  QWidget* FaultControl(TSetbacksFault fault) const;

  TSetbacksRptSettingsRec& settings_;
  int state_;
};
