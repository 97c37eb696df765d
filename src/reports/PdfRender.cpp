#include "reports/PdfRender.h"

namespace {

TPdfRenderer& Renderer() {
  static TPdfRenderer renderer;
  return renderer;
}

}  // namespace

void SetPdfRenderer(TPdfRenderer renderer) { Renderer() = std::move(renderer); }

bool HavePdfRenderer() { return static_cast<bool>(Renderer()); }

bool RenderPdf(const std::string& rtfPath, const std::string& pdfPath, std::string& error) {
  error.clear();
  if (!Renderer()) {
    error = "PDF output is not available in this program.";
    return false;
  }
  return Renderer()(rtfPath, pdfPath, error);
}

std::string PdfErrorText(const std::string& pdfPath, const std::string& reason) {
  return pdfPath + "\r\nCan't create PDF document. " + (reason.empty() ? std::string("The renderer failed.") : reason);
}
