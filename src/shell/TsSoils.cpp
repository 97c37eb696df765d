#include "TsSoils.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

#include "TsMain.h"
#include "TsMessages.h"
#include "TsPages.h"
#include "TsStart.h"

namespace {

// Runs the service calls of one record on a worker thread; events are handled meanwhile.
bool QueryOffThread(const TSdmSoilsUpdate& update, TSdmRecordJob& job, std::string& message) {
  bool ok = false;
  QEventLoop loop;
  QThread* worker = QThread::create([&] { ok = update.Query(job, message); });
  QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  delete worker;
  return ok;
}

// The record loop both updates share: Read, Query and Write per record with the progress shown
// and Cancel honoured between records, and within a record while the planner is silent.
template <class Update, class Job, class Query>
TSoilsRunResult RunUpdateSteps(Update& update, TSoilsProgressDlg& progress, int record, Query query) {
  TSoilsRunResult result;
  // A call given up on Cancel fails its step: the update ends as cancelled, the records done stay done.
  const auto failed = [&] {
    if (progress.Cancelled()) {
      result.ok = result.cancelled = true;
      result.message.clear();
    }
    return result;
  };
  result.recordsTotal = progress.Total();
  if (!update.Begin(record, result.message)) return failed();
  for (int n = update.First(); n <= update.Last(); ++n) {
    if (progress.Cancelled()) return failed();
    progress.SetStep(n - update.First());
    Job job;
    if (!update.Read(n, job, result.message) || !query(job, result.message) || !update.Write(job, result.message))
      return failed();
    result.wrote = result.wrote || job.updated > 0;
    result.updated += job.updated;
    result.notUpdated += job.notUpdated;
    result.reasons.insert(result.reasons.end(), job.reasons.begin(), job.reasons.end());
    ++result.recordsDone;
  }
  result.ok = true;
  return result;
}

// The progress window of an update, shown before the update starts (the planner may keep it
// waiting); null with the refusal when the update cannot start.
std::unique_ptr<TSoilsProgressDlg> OpenProgress(TMdaFile& file, int record, const QString& source, QWidget* parent,
                                                TSoilsRunResult& result) {
  result.message = SoilsUpdateRefusal(file, record);
  if (!result.message.empty()) return nullptr;
  auto progress = std::make_unique<TSoilsProgressDlg>(record == 0 ? file.RecordCount() : 1, source, parent);
  progress->show();
  progress->SetStep(0);
  return progress;
}

}  // namespace

TSoilsProgressDlg::TSoilsProgressDlg(int total, const QString& source, QWidget* parent)
    : QDialog(parent),
      total_(total),
      source_(source),
      doing_(source == "SDM" ? "Querying the Soil Data Mart" : "Searching " + source + "'s soils") {
  setWindowTitle("Update Soils From " + source);
  setWindowModality(Qt::ApplicationModal);
  label_ = new QLabel;
  label_->setMinimumWidth(320);
  bar_ = new QProgressBar;
  bar_->setRange(0, total);
  CancelBtn = new QPushButton("Cancel");
  connect(CancelBtn, &QPushButton::clicked, this, &TSoilsProgressDlg::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addWidget(CancelBtn, 0, Qt::AlignRight);
}

void TSoilsProgressDlg::SetStep(int done) {
  bar_->setValue(done);
  if (!cancelled_)
    label_->setText(QString("%1 for record %2 of %3...").arg(doing_).arg(done + 1).arg(total_));
}

void TSoilsProgressDlg::reject() {
  cancelled_ = true;
  CancelBtn->setEnabled(false);
  // The Soil Data Mart's call is ended at once; the planner's record in hand is finished first.
  label_->setText(source_ == "SDM" ? "Cancelling..." : "Stopping after the current record...");
}

TSoilsRunResult RunSoilsUpdate(TMdaFile& file, int record, const TSdmSettings& settings, QWidget* parent) {
  TSoilsRunResult refused;
  const auto progress = OpenProgress(file, record, "SDM", parent, refused);
  if (!progress) return refused;
  TSdmSettings cancellable = settings;
  cancellable.cancelled = [dlg = progress.get()] { return dlg->Cancelled(); };
  TSdmSoilsUpdate update(file, cancellable);
  return RunUpdateSteps<TSdmSoilsUpdate, TSdmRecordJob>(
      update, *progress, record,
      [&update](TSdmRecordJob& job, std::string& message) { return QueryOffThread(update, job, message); });
}

TSoilsRunResult RunQrlSoilsUpdate(TMdaFile& file, TMcnFile& counties, int record, const TQrlStarter& starter,
                                  QWidget* parent) {
  TSoilsRunResult refused;
  const auto progress = OpenProgress(file, record, "QRL", parent, refused);
  if (!progress) return refused;
  TQrlSoilsUpdate update(file, counties, starter);
  // A planner call that waits keeps the window live; Cancel gives it up.
  update.WhileWaiting([&progress] {
    QCoreApplication::processEvents();
    return !progress->Cancelled();
  });
  return RunUpdateSteps<TQrlSoilsUpdate, TQrlRecordJob>(update, *progress, record,
                                                        [&update](TQrlRecordJob& job, std::string& message) {
                                                          // the progress shows and Cancel is heard between calls
                                                          QCoreApplication::processEvents();
                                                          return update.Query(job, message);
                                                        });
}

void TMainForm::ConnectSoilsCmds() {
  connect(Action("FileSoilsQrlCmd"), &QAction::triggered, this, [this] { FileImportUpdateSoilsQrlCmdClick(); });
  connect(Action("FileSoilsSdmCmd"), &QAction::triggered, this, [this] { FileImportUpdateSoilsSdmCmdClick(); });
  connect(pages_->UpdSoilsQrlBtn, &QPushButton::clicked, this, [this] { UpdateSoilsQrlBtnClick(); });
  connect(pages_->UpdSoilsSdmBtn, &QPushButton::clicked, this, [this] { UpdateSoilsSdmBtnClick(); });
}

void TMainForm::UpdateAllSoils(bool fromPlanner) {
  if (!FormDataOkay()) return;
  const QString product = QStr(startup_.VersionInfo.ProductName);
  const QString question =
      fromPlanner ? "\n" + product +
                        " will search QRL's soils for each map unit symbol in the soils table of all records. If it "
                        "finds a matching soil, it will update other columns in the soils table with QRL soils "
                        "data.\n\nOkay to proceed?\n"
                  : "\n" + product +
                        " will query the USDA-NRCS Soil Data Mart for each map unit symbol in the soils table of all "
                        "records. If it finds a matching soil, it will update other columns in the soils table with "
                        "the retrieved soils data.\n\nYou must be connected to the Internet to use this feature. "
                        "Okay to proceed?\n";
  if (Messages().Confirm(question) != TAnswer::Yes || !SaveEditRec()) return;
  const TSoilsRunResult run = RunSoilsUpdateOf(fromPlanner, 0);
  if (!run.ok) return;
  QString text = "\n" + QString::number(run.updated) + " soils were updated.\n";
  if (run.cancelled)
    text = "\nThe soils update was cancelled after " + QString::number(run.recordsDone) + " of " +
           QString::number(run.recordsTotal) + " records; the soils updated so far are kept.\n" + text;
  if (run.notUpdated > 0)
    text += QString::number(run.notUpdated) + " soils were not updated. Check that soil map unit symbols are valid "
                                              "for county.\n";
  const QString reasons = FirstLinesText(run.reasons);
  Messages().Info(reasons.isEmpty() ? text : text.chopped(1) + reasons + "\n");
}

void TMainForm::UpdateRecordSoils(bool fromPlanner) {
  if (!FormDataOkay() || !SaveEditRec()) return;
  const TSoilsRunResult run = RunSoilsUpdateOf(fromPlanner, curRec_);
  if (run.cancelled) Messages().Info("\nThe soils update was cancelled; the record's soils stay as they were.\n");
  else if (run.ok && run.notUpdated > 0)
    Messages().Error("Unable to update " + QString::number(run.notUpdated) +
                     " soil(s). Check that soil map unit symbol(s) are valid for county." + FirstLinesText(run.reasons));
}

// Runs the update; shows a failure. The current record is read again whenever a record was
// written, also when the run failed or was cancelled later, so that the edit record never holds
// soils older than the file's.
TSoilsRunResult TMainForm::RunSoilsUpdateOf(bool fromPlanner, int record) {
  const TSoilsRunResult run = fromPlanner ? RunQrlSoilsUpdate(mda_, mcn_, record, qrlStarter_, this)
                                          : RunSoilsUpdate(mda_, record, TSdmSettings{}, this);
  if (run.wrote && !LoadEditRec(curRec_)) ShowFileError();
  if (!run.ok) Messages().Error("Unable to update soils for the following reason:\n\n" + QMsg(run.message));
  return run;
}
