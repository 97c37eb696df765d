#include "TsReportView.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include "TsAbout.h"
#include "TsFileCmds.h"
#include "TsMessages.h"
#include "TsPreview.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"

namespace {

// The extension a report file of a kind has.
QString KindExtension(int kind) {
  switch (kind) {
    case rkRtf:
      return ".rtf";
    case rkHtml:
      return ".html";
    case rkPdf:
      return ".pdf";
    default:
      return ".txt";
  }
}

// A copy of the report in the cache folder, named after it with the kind's extension; empty when
// it cannot be made.
QString CacheCopy(const QString& path, int kind) {
  const QString folder = ReportCacheFolder();
  if (!QDir().mkpath(folder)) return {};
  QFile source(path);
  QTemporaryFile copy(folder + "/" + QFileInfo(path).completeBaseName().left(3) + "XXXXXX" + KindExtension(kind));
  copy.setAutoRemove(false);
  if (!source.open(QIODevice::ReadOnly) || !copy.open()) return {};
  const bool written = copy.write(source.readAll()) == source.size() && copy.flush();
  if (!written) copy.remove();
  return written ? copy.fileName() : QString();
}

}  // namespace

bool SelectReportFile(int filter, const QString& dialogTitle, QString& fileName, int& kind) {
  static const char* const kFilters[] = {"Text File (*.txt)", "Rich Text Format (*.rtf)", "HTML Document (*.html)"};
  const QString filters = filter >= 1 && filter <= 3
                              ? QString(kFilters[filter - 1])
                              : "Rich Text Format (*.rtf);;HTML Document (*.html);;Text File (*.txt);;PDF Document (*.pdf)";
  for (;;) {
    const QString path = FileChooser().SaveFile(dialogTitle, filters);
    if (path.isEmpty()) return false;
    const std::string problem = OutputNameCheckText(CpStr(path));
    if (!problem.empty()) {
      Messages().Error(QStr(problem));
      continue;
    }
    const std::string ext = ExtractFileExt(CpStr(path));
    kind = SameText(ext, ".rtf") ? rkRtf : SameText(ext, ".html") ? rkHtml : SameText(ext, ".pdf") ? rkPdf : rkText;
    fileName = path;
    return true;
  }
}

void ShowReportError(const QString& message) { Messages().Error(message); }

bool PreviewReport(const QString& path, bool plain, const QString& title, bool landscape) {
  TRtfPreviewDlg dlg;
  dlg.SetPlainText(plain);
  dlg.SetWordWrap(false);
  if (!dlg.LoadFile(path)) return false;
  dlg.SetPrintJobTitle(title);
  dlg.SetLandscape(landscape);
  dlg.exec();
  return true;
}

QString ReportCacheFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/tesserel/reports";
}

void RemoveOldReports(const QString& folder, const QDateTime& now) {
  const QDateTime limit = now.addDays(-1);
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    if (it.fileInfo().lastModified() < limit) QFile::remove(it.filePath());
  }
}

bool ViewWithWordProcessor(const QString& path, bool temporary, int kind) {
  const QString target = temporary ? CacheCopy(path, kind) : path;
  if (!target.isEmpty() && OpenService()(QUrl::fromLocalFile(target).toString(), {})) return true;
  if (temporary && !target.isEmpty()) QFile::remove(target);
  Messages().Error("Unable to view report with a word processor. A word processor may not be installed.");
  return false;
}
