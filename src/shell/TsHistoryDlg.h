// The Field History dialog: the project files of the history (the open project first, then those
// added; Add and Remove), all fields or those of a subset of the newest year, the cost options, the
// font size and the output options. Each added file is read at once for its year, so that a file
// that cannot be read, one listed already, a second file of a year and a 31st file are refused
// there. OK checks the choices and stores them in the history's settings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TsSumDlg.h"
#include "reports/HistData.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class TMdaFile;
class TProjectRefs;

class THistoryDlg : public TSummaryDlg {
  Q_OBJECT

 public:
  // `open` is the project open in the main window (null when none); `refs` reads the added files.
  THistoryDlg(THistorySettingsRec& settings, TRecordSubset& subset, TMdaFile* open, const TProjectRefs& refs,
              QWidget* parent = nullptr);
  ~THistoryDlg() override;

  void AddBtnClick();
  void RemoveBtnClick();
  // Opens the subset selection on the newest listed year's project.
  void SelectBtnClick() override;
  // The listed files, in list order.
  std::vector<std::string> Files() const;

  QListWidget* FileList = nullptr;
  QPushButton* AddBtn = nullptr;
  QPushButton* RemoveBtn = nullptr;
  QLabel* CountLabel = nullptr;
  QComboBox* FontSizeCombo = nullptr;

 private:
  struct TListed {
    THistoryYear year;
    bool readable = false;
  };
  // Lists a file. Refused with a message (unless `quiet`) when it cannot be read, is listed
  // already, has the year of a listed file, or the list is full; a file of an earlier run that
  // cannot be read now is listed, marked, when `quiet`.
  bool AddFile(const std::string& path, bool quiet);
  void ShowCount();
  bool CheckAndStoreHistory();

  THistorySettingsRec& settings_;
  TMdaFile* open_;
  const TProjectRefs& refs_;
  std::vector<TListed> listed_;
  std::unique_ptr<TMdaFile> newest_;  // the newest year's project while its subset is chosen
};
