// The report commands of the main window's Tools menu.
#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include "TsHistoryDlg.h"
#include "TsMain.h"
#include "TsMessages.h"
#include "TsReportView.h"
#include "TsStart.h"
#include "TsWorksheetDlg.h"
#include "reports/FieldHist.h"
#include "reports/WrkDoc.h"

namespace {

// Shows reports through the desktop viewer once the progress window is gone, with the normal
// cursor while the preview is up.
class TArrowCursorViewer : public TReportViewer {
 public:
  TArrowCursorViewer(TReportViewer& inner, QProgressDialog& progress) : inner_(inner), progress_(progress) {}
  bool Preview(const TPreviewRequest& request) override {
    progress_.reset();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool shown = inner_.Preview(request);
    QApplication::restoreOverrideCursor();
    return shown;
  }
  bool OpenInWordProcessor(const std::string& fileName, const std::string& title, const std::string& author) override {
    progress_.reset();
    return inner_.OpenInWordProcessor(fileName, title, author);
  }
  void ShowError(const std::string& message) override { inner_.ShowError(message); }

 private:
  TReportViewer& inner_;
  QProgressDialog& progress_;
};

// Milliseconds between two updates of the progress window.
constexpr int kProgressMs = 50;

// A window-modal progress window of a report, shown after half a second.
void SetUpProgress(QProgressDialog& progress, const char* title) {
  progress.setWindowTitle(title);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
}

}  // namespace

void TMainForm::ConnectReportCmds() {
  connect(Action("ToolsWorksheetCmd"), &QAction::triggered, this, [this] { WorksheetReports(); });
  connect(Action("ToolsHistoryCmd"), &QAction::triggered, this, [this] { FieldHistoryReport(); });
}

void TMainForm::WorksheetReports() {
  if (!HasRecords() || !FormDataOkay()) return;
  TRecordSubset& subset = Subset(suWorksheet);
  subset.Attach(mda_);
  TWorksheetDlg dlg(worksheetSettings_, subset, this);
  if (dlg.exec() != QDialog::Accepted || !SaveEditRec()) return;

  TWaitCursor wait;
  QProgressDialog progress("Writing the worksheet report...", "Cancel", 0, 1, this);
  SetUpProgress(progress, kWorksheetTitle);
  // The same window follows the records written and then the rendering of a PDF report.
  QElapsedTimer shown;
  shown.start();
  TWorksheetRun run{mda_, mdf_, &editRec_, &subset, [&progress, &shown](int done, int total) {
                      if (done == 0 || shown.elapsed() >= kProgressMs) {
                        progress.setMaximum(total);
                        progress.setValue(done);
                        shown.restart();
                      }
                      return !progress.wasCanceled();
                    }};
  TArrowCursorViewer viewer(DesktopViewer(), progress);
  bool cancelled = false;
  const std::string error = RunWorksheetReport(worksheetSettings_, startup_.ProgramId, run, &viewer, &cancelled);
  progress.reset();
  if (!error.empty()) ShowReportError(QMsg(std::string(kWorksheetFailedText) + "\n\n" + error));
}

void TMainForm::FieldHistoryReport() {
  if (projectOpen_ && !FormDataOkay()) return;
  TMdaFile* open = projectOpen_ ? &mda_ : nullptr;
  TRecordSubset& subset = Subset(suHistory);
  THistoryDlg dlg(historySettings_, subset, open, *refs_, this);
  if (dlg.exec() != QDialog::Accepted || (projectOpen_ && !SaveEditRec())) return;

  TWaitCursor wait;
  QProgressDialog progress("Reading the project files...", "Cancel", 0, 1, this);
  SetUpProgress(progress, kHistoryTitle);
  THistoryRun run{*refs_, mdf_, open, &subset};
  run.progress = [&progress](int done, int total) {
    progress.setMaximum(total);
    progress.setValue(done);
    return !progress.wasCanceled();
  };
  TArrowCursorViewer viewer(DesktopViewer(), progress);
  const std::string error = RunFieldHistory(historySettings_, startup_.ProgramId, run, &viewer);
  progress.reset();
  if (!error.empty()) ShowReportError(QMsg(std::string(kHistoryFailedText) + "\n\n" + error));
}
