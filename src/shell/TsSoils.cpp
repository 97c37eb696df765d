#include "TsSoils.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

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
// and Cancel honoured between records.
template <class Update, class Job, class Query>
TSoilsRunResult RunUpdateSteps(Update& update, int record, const QString& source, QWidget* parent, Query query) {
  TSoilsRunResult result;
  if (!update.Begin(record, result.message)) return result;
  TSoilsProgressDlg progress(update.Last() - update.First() + 1, source, parent);
  progress.show();
  for (int n = update.First(); n <= update.Last() && !progress.Cancelled(); ++n) {
    progress.SetStep(n - update.First());
    Job job;
    if (!update.Read(n, job, result.message) || !query(job, result.message) || !update.Write(job, result.message))
      return result;
    result.wrote = result.wrote || job.updated > 0;
    result.updated += job.updated;
    result.notUpdated += job.notUpdated;
  }
  result.ok = true;
  return result;
}

}  // namespace

TSoilsProgressDlg::TSoilsProgressDlg(int total, const QString& source, QWidget* parent)
    : QDialog(parent),
      total_(total),
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
  label_->setText("Stopping after the current record...");
}

TSoilsRunResult RunSoilsUpdate(TMdaFile& file, int record, const TSdmSettings& settings, QWidget* parent) {
  TSdmSoilsUpdate update(file, settings);
  return RunUpdateSteps<TSdmSoilsUpdate, TSdmRecordJob>(
      update, record, "SDM", parent,
      [&update](TSdmRecordJob& job, std::string& message) { return QueryOffThread(update, job, message); });
}

TSoilsRunResult RunQrlSoilsUpdate(TMdaFile& file, TMcnFile& counties, int record, const TQrlStarter& starter,
                                  QWidget* parent) {
  TQrlSoilsUpdate update(file, counties, starter);
  return RunUpdateSteps<TQrlSoilsUpdate, TQrlRecordJob>(
      update, record, "QRL", parent,
      [&update](TQrlRecordJob& job, std::string& message) {
        QCoreApplication::processEvents();  // the progress shows and Cancel is heard between the short calls
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
  if (run.notUpdated > 0)
    text += QString::number(run.notUpdated) + " soils were not updated. Check that soil map unit symbols are valid "
                                              "for county.\n";
  Messages().Info(text);
}

void TMainForm::UpdateRecordSoils(bool fromPlanner) {
  if (!FormDataOkay() || !SaveEditRec()) return;
  const TSoilsRunResult run = RunSoilsUpdateOf(fromPlanner, curRec_);
  if (run.ok && run.notUpdated > 0)
    Messages().Error("Unable to update " + QString::number(run.notUpdated) +
                     " soil(s). Check that soil map unit symbol(s) are valid for county.");
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
