#include "TsReportView.h"

#include <QUrl>

#include "TsAbout.h"
#include "TsFileCmds.h"
#include "TsMessages.h"
#include "TsPreview.h"
#include "reports/DocFile.h"

bool SelectReportFile(int filter, const QString& dialogTitle, QString& fileName, int& kind) {
  static const char* const kFilters[] = {"Text File (*.txt)", "Rich Text Format (*.rtf)", "HTML Document (*.html)"};
  const QString filters = filter >= 1 && filter <= 3
                              ? QString(kFilters[filter - 1])
                              : "Rich Text Format (*.rtf);;HTML Document (*.html);;Text File (*.txt);;PDF Document (*.pdf)";
  for (;;) {
    const QString path = FileChooser().SaveFile(dialogTitle, filters);
    if (path.isEmpty()) return false;
    const std::string problem = OutputNameCheckText(PathStr(path));
    if (!problem.empty()) {
      Messages().Error(QMsg(problem));
      continue;
    }
    kind = ReportKindForPath(PathStr(path));
    fileName = path;
    return true;
  }
}

void ShowReportError(const QString& message) { Messages().Error(message); }

bool TDesktopViewer::Preview(const TPreviewRequest& request) {
  TArrowCursor arrow;  // the report is written under the wait cursor; the preview is for reading
  TRtfPreviewDlg dlg;
  dlg.SetPlainText(request.plainText);
  dlg.SetWordWrap(false);
  if (!dlg.LoadFile(QPath(request.fileName))) return false;
  dlg.SetPrintJobTitle(QStr(request.title));
  dlg.SetLandscape(request.landscape);
  dlg.SetFurniture(request.furniture);
  dlg.exec();
  return true;
}

bool TDesktopViewer::OpenInWordProcessor(const std::string& fileName, const std::string&, const std::string&) {
  return OpenService()(QUrl::fromLocalFile(QPath(fileName)).toString(), {});
}

void TDesktopViewer::ShowError(const std::string& message) { Messages().Error(QMsg(message)); }

TReportViewer& DesktopViewer() {
  static TDesktopViewer viewer;
  return viewer;
}
