// Puts report documents on pages: printers and PDF files. A report is read again at the resolution
// of the device it goes to, laid out on the device's page area and painted page after page.
#pragma once

#include <QByteArray>
#include <QMarginsF>
#include <QString>
#include <memory>
#include <string>

#include "render/RtfReader.h"
#include "reports/PageFurniture.h"

class QGuiApplication;
class QIODevice;
class QPagedPaintDevice;
class QTextDocument;

// A report file's bytes, whether they are plain text (else RTF), and what its pages carry beside it.
struct TReportData {
  QByteArray Bytes;
  bool Plain = false;
  TPageFurniture Furniture;
};

enum class TPaintOutcome { Painted, Failed, Cancelled };

// Reads the report into `doc`; `meta` gets the RTF's page and title (defaults for plain text).
void ReadReportFor(const TReportData& report, QTextDocument& doc, TRtfMeta& meta);

// Puts `doc` on the pages of `device` and paints them with the furniture, `title` when the
// furniture names none. Printing, the preview and PDF documents all go through here. `progress`
// hears of the work done and can stop it: then no page is painted on a device not begun yet.
// Failed when painting could not start (for a PDF file: the file could not be created).
TPaintOutcome PaintPages(QTextDocument& doc, QPagedPaintDevice& device, const TPageFurniture& furniture,
                         const QString& title, const TRenderProgress& progress = {});

// Writes the report as a PDF document into `out`: an RTF report with its own paper size, margins
// and orientation, a plain text report on letter paper with the margins a printout has.
TPaintOutcome WritePdf(const TReportData& report, QIODevice& out, const TRenderProgress& progress = {});
// The same into a file; Failed with `error` set ("Can't create file.", "Can't write to file.").
// No file is left behind unless it was written whole.
TPaintOutcome WriteReportPdf(const TReportData& report, const QString& pdfPath, QString& error,
                             const TRenderProgress& progress = {});

// The PDF renderer of the report frame: the RTF file at `rtfPath` as a PDF file at `pdfPath`
// (paths as the core holds them, used byte for byte). RegisterPdfRenderer makes it the frame's.
bool RenderRtfFileToPdf(const std::string& rtfPath, const std::string& pdfPath, const TPageFurniture& furniture,
                        const TRenderProgress& progress, std::string& error);
void RegisterPdfRenderer();

// The margins, in inches, of a printed report (the printer's unprintable edge is the least it
// gets): one inch on the left for plain text of 10 points or less, else half an inch; half an
// inch at the top and the bottom; none asked for on the right.
QMarginsF PrintMargins(bool plain, qreal fontPoints);

// Makes sure a Qt GUI application object exists while it lives, so that fonts can be measured: a
// program without a window of its own (the command-line tool) gets one on the offscreen platform,
// whose notes and warnings (nothing its user can act on) are kept off the error stream.
class TGuiSession {
 public:
  TGuiSession();
  ~TGuiSession();
  TGuiSession(const TGuiSession&) = delete;
  TGuiSession& operator=(const TGuiSession&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
};
