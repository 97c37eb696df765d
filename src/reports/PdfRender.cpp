#include "reports/PdfRender.h"

#include "filebase/FileUtl.h"
#include "filebase/SafeWrite.h"
#include "reports/RptTemp.h"

namespace {

TPdfRenderer& Renderer() {
  static TPdfRenderer renderer;
  return renderer;
}

}  // namespace

void SetPdfRenderer(TPdfRenderer renderer) { Renderer() = std::move(renderer); }

bool HavePdfRenderer() { return static_cast<bool>(Renderer()); }

bool RenderPdf(const std::string& rtfPath, const std::string& pdfPath, std::string& error,
               const TPageFurniture& furniture, const TRenderProgress& progress) {
  error.clear();
  if (!Renderer()) {
    error = "PDF output is not available in this program.";
    return false;
  }
  return Renderer()(rtfPath, pdfPath, furniture, progress, error);
}

std::string PdfErrorText(const std::string& pdfPath, const std::string& reason) {
  return pdfPath + "\r\nCan't create PDF document. " + (reason.empty() ? std::string("The renderer failed.") : reason);
}

std::string RenderPdfInto(const std::string& rtfPath, TSafeWrite& out, const std::string& pdfPath,
                          const TPageFurniture& furniture, const TRenderProgress& progress) {
  std::string why;
  if (!RenderPdf(rtfPath, out.TempPath(), why, furniture, progress)) {
    out.Abandon();
    return PdfErrorText(pdfPath, why);
  }
  const TWriteResult placed = out.Commit();
  return placed.Ok() ? std::string() : placed.FullText();
}

std::string WritePdfThroughRtf(const std::string& pdfPath, const std::function<std::string(const std::string&)>& writeRtf) {
  const std::string pdf = ExpandFileName(pdfPath);
  TSafeWrite out;
  if (const TWriteResult begun = out.Begin(pdf, TTargetUse::Replace, "pdf"); !begun.Ok()) return begun.FullText();
  TReportScratch rtf;
  const std::string error = writeRtf(rtf.Make(ReportTempFolder(), "PDF", ".rtf"));
  if (error.empty()) return RenderPdfInto(rtf.Path(), out, pdf);
  // The RTF is an internal file: the message names the document asked for, with the reason.
  const size_t reason = error.find("\r\n");
  return pdf + "\r\n" + (reason == std::string::npos ? error : error.substr(reason + 2));
}
