// The report document frame: every report is written through it. It opens the writer of the
// output kind the user picked, offers one set of formatting operations that every kind
// understands (each kind drops what it cannot express), and at the end shows the result through
// the desktop's viewer (preview window or word processor) or leaves it where the user saved it.
#pragma once

#include <memory>
#include <string>

#include "filebase/SafeWrite.h"
#include "reports/PageFurniture.h"
#include "reports/HtmlFile.h"
#include "reports/PrnFile.h"
#include "reports/RtfFile.h"
#include "reports/RptTemp.h"
#include "reports/RptViewer.h"

// Output kinds.
enum : int {
  okText = 1,  // plain text
  okRtf = 2,
  okHtml = 3,
  okPdf = 4,  // the RTF document rendered to PDF (saved reports only)
};

// The output kind of a report file by its extension, ignoring case: ".rtf" RTF, ".html" HTML,
// ".pdf" PDF, anything else (or none) plain text.
int ReportKindForPath(const std::string& path);
// The ASCII stand-in of a code page 437 box character 176..223 (empty outside).
std::string LineCharText(int code);

class TDocOutFile {
 public:
  TDocOutFile() = default;
  virtual ~TDocOutFile() = default;
  TDocOutFile(const TDocOutFile&) = delete;
  TDocOutFile& operator=(const TDocOutFile&) = delete;

  // Creates the writer for `kind` and opens its file. Temporary: a new file in the user's
  // temporary folder (in the report cache folder when it goes to the word processor) named by the
  // first three characters of `nameOrPrefix` ("PRV" when empty); otherwise `nameOrPrefix` is the
  // path. True when the writer's status is 0.
  bool Open(int kind, const std::string& nameOrPrefix, bool temporary, bool viewWithWord, const std::string& title,
            const std::string& author);
  // Margins in inches.
  void SetPageLayout(bool landscape, float left, float right, float top, float bottom);
  // Font 0 "Courier New", 1 "Times New Roman", 2 "Arial"; size in points.
  void SetFont(int index, float size);
  void WriteLineChar(int code);
  void WriteLineChars(int code, int count);
  void StyleOn(int style);
  void StyleOff(int style);
  void SetColor(int index);
  void SetExactLineSpacing(float points);
  void Write(const std::string& text);
  void WriteLink(const std::string& url, const std::string& text);
  void NewLine();
  void NewPage();

  // The project the report is about, shown on every printed page: its title and file name.
  void SetProject(const std::string& title, const std::string& fileName);
  // The lines written from BeginHeading to BeginRows are the column headings of a table whose
  // rows end at EndRows; printed, they are repeated at the top of each page the rows run onto.
  void BeginHeading() { headingStart_ = lines_; }
  void BeginRows();
  void EndRows();
  // Tells Progress of the work done; false, and the report cancelled, when it asked to stop.
  bool ReportProgress(int done, int total);
  // True when the progress callback stopped the report; its status is then not 0.
  bool Cancelled() const { return cancelled_; }

  virtual int GetStatus() const;
  virtual std::string GetErrorText() const;
  // The report file (for PDF the PDF document).
  std::string GetFileName() const;
  // Throws the unfinished output away; a file of its name stays as it was.
  void Abandon();
  // Closes the writer; a PDF report is rendered now. Done once; CloseAndView starts with it.
  void Close();
  // Closes, then shows a temporary report in the preview and deletes it, or hands the report to
  // the word processor; a saved report is only closed. A null viewer shows nothing.
  void CloseAndView(TReportViewer* viewer);

  int Kind = okText;
  bool Temporary = false;
  int Viewer = 0;  // 0 built-in preview, 1 word processor
  std::string Title, Author;
  bool Landscape = false;
  std::unique_ptr<TPrinterOutFile> TextWriter;
  std::unique_ptr<TRtfOutFile> RtfWriter;
  std::unique_ptr<THtmlOutFile> HtmlWriter;
  TPageFurniture Furniture;  // what printed pages show beside the report; the title is Title
  TRenderProgress Progress;  // hears of the work (a PDF report's rendering too), and can stop it

 private:
  TTextOutFile* Writer() const;
  // The file the writer writes: the path, or a new temporary file (also for PDF's RTF).
  std::string OutputPath(const std::string& nameOrPrefix);
  void CreateWriter(const std::string& path);
  void ViewInWordProcessor(TReportViewer* viewer, const std::string& path);

  std::string pdfPath_;   // PDF reports: the document the RTF is rendered into
  std::unique_ptr<TSafeWrite> pdfOut_;  // the PDF document until it takes its name
  std::string pdfError_;  // why the document could not be begun or made
  TReportScratch scratch_;  // a temporary report, or a PDF report's RTF
  bool closed_ = false;
  bool cancelled_ = false;
  int lines_ = 0;  // line ends written
  int headingStart_ = -1;
};
