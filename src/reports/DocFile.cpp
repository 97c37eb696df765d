#include "reports/DocFile.h"

#include <algorithm>
#include <limits>

#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "reports/PdfRender.h"
#include "reports/RptTemp.h"

namespace {

// ASCII stand-ins of the box characters 176..223.
constexpr char kLineChars[] = "|||||||++||++++++--|-+||++==|=+=-=-++++++++|-||-";
constexpr int kFirstLineChar = 176;
static_assert(sizeof(kLineChars) - 1 == 48);

// Frame fonts 0, 1, 2 as HTML font modes.
const int kHtmlFontMode[] = {hmPreformatted, hmProportional, hmTeletype};
// Frame styles 0..10 as HTML tags (-1: none).
const int kHtmlStyle[] = {htBold, htItalic, htUnderline, htUnderline, htUnderline, htUnderline, -1, -1, -1, -1, -1};

const char* ExtensionOf(int kind) {
  switch (kind) {
    case okRtf: return ".rtf";
    case okHtml: return ".html";
    default: return ".txt";
  }
}

}  // namespace

int ReportKindForPath(const std::string& path) {
  const std::string ext = ExtractFileExt(path);
  if (SameText(ext, ".rtf")) return okRtf;
  if (SameText(ext, ".html")) return okHtml;
  if (SameText(ext, ".pdf")) return okPdf;
  return okText;
}

std::string LineCharText(int code) {
  const int i = code - kFirstLineChar;
  return i >= 0 && i < static_cast<int>(sizeof(kLineChars)) - 1 ? std::string(1, kLineChars[i]) : std::string();
}

TTextOutFile* TDocOutFile::Writer() const {
  if (RtfWriter) return RtfWriter.get();
  if (HtmlWriter) return HtmlWriter.get();
  return TextWriter.get();
}

bool TDocOutFile::Open(int kind, const std::string& nameOrPrefix, bool temporary, bool viewWithWord,
                       const std::string& title, const std::string& author) {
  // PDF is for saved reports; a report to be shown is written as RTF instead.
  if (kind == okPdf && temporary) kind = okRtf;
  Kind = kind >= okText && kind <= okPdf ? kind : okText;
  Temporary = temporary;
  Viewer = viewWithWord ? 1 : 0;
  Title = title;
  Author = author;
  closed_ = cancelled_ = false;
  pdfError_.clear();
  lines_ = 0;
  headingStart_ = -1;
  Furniture = TPageFurniture{title, {}, {}};
  TextWriter.reset();
  RtfWriter.reset();
  HtmlWriter.reset();
  if (Kind == okPdf) {
    // The document is checked and begun before any work: a refused name costs nothing.
    pdfPath_ = ExpandFileName(nameOrPrefix);
    pdfOut_ = std::make_unique<TSafeWrite>();
    if (const TWriteResult begun = pdfOut_->Begin(pdfPath_, TTargetUse::Replace, "pdf"); !begun.Ok()) {
      pdfError_ = begun.FullText();
      pdfOut_.reset();
      return false;
    }
  }
  CreateWriter(OutputPath(nameOrPrefix));
  // The name made for a temporary file is not left behind when the writer could not take it.
  if (Writer()->Status == wsCreate) scratch_.Remove();
  return GetStatus() == wsOk;
}

std::string TDocOutFile::OutputPath(const std::string& nameOrPrefix) {
  if (Kind == okPdf) return scratch_.Make(ReportTempFolder(), "PDF", ".rtf");
  if (!Temporary) return nameOrPrefix;
  const std::string prefix = nameOrPrefix.empty() ? std::string("PRV") : nameOrPrefix;
  return scratch_.Make(Viewer == 1 ? ReportCacheFolder() : ReportTempFolder(), prefix, ExtensionOf(Kind));
}

void TDocOutFile::CreateWriter(const std::string& path) {
  if (Kind == okRtf || Kind == okPdf) {
    RtfWriter = std::make_unique<TRtfOutFile>();
    RtfWriter->Open(path, ruInches, Author, Title);
  } else if (Kind == okHtml) {
    HtmlWriter = std::make_unique<THtmlOutFile>();
    HtmlWriter->Open(path, Title, Author);
  } else {
    TextWriter = std::make_unique<TPrinterOutFile>();
    TextWriter->Open(path);
  }
}

void TDocOutFile::SetPageLayout(bool landscape, float left, float right, float top, float bottom) {
  if (RtfWriter) RtfWriter->SetPageLayout(landscape, left, right, top, bottom);
  Landscape = landscape;
}

void TDocOutFile::SetFont(int index, float size) {
  if (RtfWriter) RtfWriter->SetFont(index, size);
  if (HtmlWriter && index >= 0 && index < kFontCount) HtmlWriter->SetFontMode(kHtmlFontMode[index]);
}

void TDocOutFile::WriteLineChar(int code) { WriteLineChars(code, 1); }

void TDocOutFile::WriteLineChars(int code, int count) {
  const std::string c = LineCharText(code);
  std::string text;
  for (int i = 0; i < count; ++i) text += c;
  if (Writer()) Writer()->Write(text);
}

void TDocOutFile::StyleOn(int style) {
  if (RtfWriter) RtfWriter->StyleOn(style);
  if (HtmlWriter && style >= 0 && style <= stSmallCaps) HtmlWriter->StyleOn(kHtmlStyle[style]);
}

void TDocOutFile::StyleOff(int style) {
  if (RtfWriter) RtfWriter->StyleOff(style);
  if (HtmlWriter && style >= 0 && style <= stSmallCaps) HtmlWriter->StyleOff(kHtmlStyle[style]);
}

void TDocOutFile::SetColor(int index) {
  if (RtfWriter) RtfWriter->SetColor(index);
  if (HtmlWriter) HtmlWriter->SetColor(index);
}

void TDocOutFile::SetExactLineSpacing(float points) {
  if (RtfWriter) RtfWriter->SetLineSpacing(-points);
}

void TDocOutFile::Write(const std::string& text) {
  if (RtfWriter) RtfWriter->WriteText(text);
  else if (HtmlWriter) HtmlWriter->WriteText(text);
  else if (TextWriter) TextWriter->Write(text);
}

void TDocOutFile::WriteLink(const std::string& url, const std::string& text) {
  if (RtfWriter) RtfWriter->WriteHyperlink(url, text);
  else if (HtmlWriter) HtmlWriter->WriteLink(url, text);
  else if (TextWriter) TextWriter->Write(url);
}

void TDocOutFile::NewLine() {
  if (Writer()) Writer()->NewLine();
  ++lines_;
}

void TDocOutFile::SetProject(const std::string& title, const std::string& fileName) {
  const std::string name = ExtractFileName(fileName);
  Furniture.Project = title.empty() ? name : name.empty() ? title : title + " (" + name + ")";
}

void TDocOutFile::BeginRows() {
  if (headingStart_ < 0 || lines_ <= headingStart_) return;
  Furniture.Headings.push_back({headingStart_, lines_ - headingStart_, std::numeric_limits<int>::max()});
  headingStart_ = -1;
}

void TDocOutFile::EndRows() {
  if (!Furniture.Headings.empty()) Furniture.Headings.back().End = std::min(Furniture.Headings.back().End, lines_);
}

void TDocOutFile::NewPage() {
  if (Writer()) Writer()->NewPage();
}

bool TDocOutFile::ReportProgress(int done, int total) {
  cancelled_ = cancelled_ || (Progress && !Progress(done, total));
  return !cancelled_;
}

int TDocOutFile::GetStatus() const {
  if (cancelled_) return wsWrite;
  const int status = Writer() ? Writer()->Status : wsCreate;
  return status == wsOk && !pdfError_.empty() ? wsWrite : status;
}

std::string TDocOutFile::GetErrorText() const {
  if (cancelled_) return "Cancelled.";
  if ((!Writer() || Writer()->Status == wsOk) && !pdfError_.empty()) return pdfError_;
  if (!Writer()) return {};
  // A PDF report's RTF is an internal file: the message names the document the user asked for.
  return Kind == okPdf ? pdfPath_ + "\r\n" + Writer()->GetErrorMessage() : Writer()->GetErrorText();
}

std::string TDocOutFile::GetFileName() const {
  if (Kind == okPdf) return pdfPath_;
  return Writer() ? Writer()->FileName : std::string();
}

void TDocOutFile::Abandon() {
  // Only unfinished files go: a file the report has not replaced yet stays as it was.
  if (Writer()) Writer()->Abandon();
  pdfOut_.reset();
  scratch_.Remove();
}

void TDocOutFile::Close() {
  if (closed_ || !Writer()) return;
  closed_ = true;
  Writer()->Close();
  if (Kind != okPdf) return;
  if (Writer()->Status == wsOk) {
    const TRenderProgress progress = [this](int done, int total) { return ReportProgress(done, total); };
    pdfError_ = RenderPdfInto(scratch_.Path(), *pdfOut_, pdfPath_, Furniture, progress);
  }
  pdfOut_.reset();
  scratch_.Remove();
}

void TDocOutFile::CloseAndView(TReportViewer* viewer) {
  Close();
  if (GetStatus() != wsOk) return;
  const std::string path = GetFileName();
  if (Temporary && Viewer == 0) {
    if (viewer) viewer->Preview({path, Kind == okText, Title, Landscape, Furniture});
    scratch_.Remove();
  } else if (Viewer == 1) {
    ViewInWordProcessor(viewer, path);
  }
}

void TDocOutFile::ViewInWordProcessor(TReportViewer* viewer, const std::string& path) {
  // The application reads the file after we return, so a temporary report stays in the report
  // cache folder (cleared of old files at start-up) unless no application took it.
  if (viewer && viewer->OpenInWordProcessor(path, Title, Author)) {
    scratch_.Keep();
    return;
  }
  scratch_.Remove();
  if (viewer) viewer->ShowError(kNoWordProcessorText);
}
