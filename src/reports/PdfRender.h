// PDF reports: the RTF report rendered by the desktop's rich-text layout. The rendering needs the
// GUI toolkit, which the core does not link, so the programs that have it register it here at
// start-up (the desktop program and the command-line tool); without it PDF output fails with a
// message.
#pragma once

#include <functional>
#include <string>

#include "reports/PageFurniture.h"

// Renders the RTF file into a PDF document at `pdfPath` with the report's page size, margins and
// orientation and the furniture on every page; false with the reason in `error`, also when
// `progress` asked to stop.
using TPdfRenderer = std::function<bool(const std::string& rtfPath, const std::string& pdfPath,
                                        const TPageFurniture& furniture, const TRenderProgress& progress,
                                        std::string& error)>;

void SetPdfRenderer(TPdfRenderer renderer);
bool HavePdfRenderer();
// Runs the registered renderer; false with a reason when there is none or it failed.
bool RenderPdf(const std::string& rtfPath, const std::string& pdfPath, std::string& error,
               const TPageFurniture& furniture = {}, const TRenderProgress& progress = {});
// The error text of a PDF document that could not be made: the path, CR LF, the reason.
std::string PdfErrorText(const std::string& pdfPath, const std::string& reason);

class TSafeWrite;
// Renders the RTF file into the begun document `out` (for `pdfPath`) and puts it in place; empty,
// or the error text naming `pdfPath`.
std::string RenderPdfInto(const std::string& rtfPath, TSafeWrite& out, const std::string& pdfPath,
                          const TPageFurniture& furniture = {}, const TRenderProgress& progress = {});
// A PDF document from the RTF that `writeRtf` writes into the scratch file it is given (it returns
// its error text, or empty): the document takes the place of `pdfPath` only when complete, and a
// file of that name is never removed. Empty on success, else the error text, which names `pdfPath`.
std::string WritePdfThroughRtf(const std::string& pdfPath, const std::function<std::string(const std::string&)>& writeRtf);
