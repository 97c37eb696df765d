// The soils updates from the Soil Data Mart and from the planner with a progress dialog. The Soil
// Data Mart's service calls run on a worker thread while the window stays responsive; the
// planner's short local calls run between event passes, and one that waits runs the events
// itself. The project file is read and written only here, on the GUI thread. Cancel ends the Soil
// Data Mart's call in progress at once; from the planner it stops after the record in hand, unless
// the planner keeps a call waiting, which Cancel gives up. A record given up stays as it was; the
// records done before stay written.
#pragma once

#include <QDialog>
#include <atomic>
#include <string>
#include <vector>

#include "interchange/QrlSoils.h"
#include "interchange/SdmToSls.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The progress of an update: "record n of N" and Cancel. Closing it (Esc, the title bar) cancels
// too; it stays up until the record in hand is done.
class TSoilsProgressDlg : public QDialog {
 public:
  // `source` names where the soils come from ("QRL" or "SDM").
  TSoilsProgressDlg(int total, const QString& source, QWidget* parent);
  void SetStep(int done);
  int Total() const { return total_; }
  // Also asked from the thread of a Soil Data Mart call.
  bool Cancelled() const { return cancelled_; }
  void reject() override;

  QPushButton* CancelBtn = nullptr;

 private:
  QLabel* label_ = nullptr;
  QProgressBar* bar_ = nullptr;
  int total_;
  QString source_;
  QString doing_;  // "Querying the Soil Data Mart", "Searching QRL's soils"
  std::atomic<bool> cancelled_{false};
};

struct TSoilsRunResult {
  bool ok = false;  // also after Cancel, with the counts of the records done
  bool wrote = false;  // at least one record was written, also when the run failed later
  bool cancelled = false;  // Cancel ended the run before its last record was done
  int recordsDone = 0, recordsTotal = 0;
  int updated = 0;
  int notUpdated = 0;
  std::vector<std::string> reasons;  // why soils found were not updated
  std::string message;  // why the run failed
};

// Updates record `record` (0: all records) of the open project from the Soil Data Mart.
TSoilsRunResult RunSoilsUpdate(TMdaFile& file, int record, const TSdmSettings& settings, QWidget* parent);
// The same from the planner's soils; a call that keeps the update waiting keeps the window live.
TSoilsRunResult RunQrlSoilsUpdate(TMdaFile& file, TMcnFile& counties, int record, const TQrlStarter& starter,
                                  QWidget* parent);
