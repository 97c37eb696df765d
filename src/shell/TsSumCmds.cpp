// The main window's Ranked Summary and Tabular Summary commands.
#include <QAction>

#include "TsMain.h"
#include "TsMessages.h"
#include "TsPreview.h"
#include "TsReportView.h"
#include "TsStart.h"
#include "TsSumDlg.h"
#include "filebase/IoFault.h"
#include "reports/RptTemp.h"

namespace {

// Writes the summary the settings describe and shows it; a failure is shown under `failedText`.
// A progress window with Cancel follows the reading of the records and the rendering of a PDF.
template <class TDoc, class TSettings>
void WriteSummary(QWidget* parent, const TSettings& settings, const TRecordSubset& subset, const std::string& author,
                  TMdaFile& file, TMdfFile& definitions, const char* title, const char* failedText) {
  TDoc doc;
  {
    TWaitCursor wait;
    TWorkProgress progress(parent, "Writing the summary report...", title);
    TViewerAfterProgress viewer(DesktopViewer(), [&progress] { progress.Close(); });
    doc.Progress = progress.Callback();
    if (doc.Open(settings, subset, author, file, definitions)) doc.WriteReport(&viewer);
  }
  if (doc.GetStatus() != wsOk && !doc.Cancelled())
    ShowReportError(QMsg(std::string(failedText) + "\n\n" + doc.GetErrorText()));
}

}  // namespace

void TMainForm::ConnectSummaryCmds() {
  connect(Action("ToolsRankedCmd"), &QAction::triggered, this, [this] { RankedSummaryReport(); });
  connect(Action("ToolsTabularCmd"), &QAction::triggered, this, [this] { TabularSummaryReport(); });
}

void TMainForm::RankedSummaryReport() {
  if (!FormDataOkay()) return;
  TRecordSubset& subset = Subset(suRanked);
  subset.Attach(mda_);
  TRankedSummaryDlg dlg(rankedSettings_, subset, this);
  if (dlg.exec() != QDialog::Accepted || !SaveEditRec()) return;
  WriteSummary<TRankedSummaryDoc>(this, rankedSettings_, subset, startup_.ProgramId, mda_, mdf_, kRankedTitle,
                                  kRankedFailedText);
}

void TMainForm::TabularSummaryReport() {
  if (!FormDataOkay()) return;
  TRecordSubset& subset = Subset(suTabular);
  subset.Attach(mda_);
  TTabularSummaryDlg dlg(tabularSettings_, subset, this);
  if (dlg.exec() != QDialog::Accepted || !SaveEditRec()) return;
  WriteSummary<TTabularSummaryDoc>(this, tabularSettings_, subset, startup_.ProgramId, mda_, mdf_, kTabularTitle,
                                   kTabularFailedText);
}

void ShowSummaryScreens(TMainForm& form, const std::function<void(QWidget&, const QString&)>& save) {
  TRecordSubset subset;
  subset.Attach(form.ProjectFile());
  TRankedSummarySettingsRec ranked = form.RankedSettings();
  {
    TRankedSummaryDlg dlg(ranked, subset, &form);
    save(dlg, "ranked-summary-dialog.png");
  }
  {
    TTabularSummarySettingsRec tabular = form.TabularSettings();
    TTabularSummaryDlg dlg(tabular, subset, &form);
    save(dlg, "tabular-summary-dialog.png");
  }

  const std::string path = TempReportPath(ReportTempFolder(), kRankedPrefix, ".txt");
  WriteSummaryFile<TRankedSummaryDoc>(path, okText, ranked, subset, form.Startup().ProgramId, form.ProjectFile(),
                                      form.Definitions());
  TRtfPreviewDlg preview(&form);
  preview.SetPlainText(true);
  preview.SetWordWrap(false);
  if (preview.LoadFile(QPath(path))) save(preview, "ranked-summary-preview.png");
  DeleteFileAt(path);
}
