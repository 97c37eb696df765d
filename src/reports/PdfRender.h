// PDF reports: the RTF report rendered by the desktop's rich-text layout. The rendering needs the
// GUI toolkit, which the core does not link, so the programs that have it register it here at
// start-up (the desktop program and the command-line tool); without it PDF output fails with a
// message.
#pragma once

#include <functional>
#include <string>

// Renders the RTF file into a PDF document at `pdfPath` with the report's page size, margins and
// orientation; false with the reason in `error`.
using TPdfRenderer = std::function<bool(const std::string& rtfPath, const std::string& pdfPath, std::string& error)>;

void SetPdfRenderer(TPdfRenderer renderer);
bool HavePdfRenderer();
// Runs the registered renderer; false with a reason when there is none or it failed.
bool RenderPdf(const std::string& rtfPath, const std::string& pdfPath, std::string& error);
// The error text of a PDF document that could not be made: the path, CR LF, the reason.
std::string PdfErrorText(const std::string& pdfPath, const std::string& reason);
