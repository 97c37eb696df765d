// Puts report documents on pages: printers and PDF files. A report is read again at the resolution
// of the device it goes to, laid out on the device's page area and painted page after page.
#pragma once

#include <QByteArray>
#include <QMarginsF>
#include <QString>
#include <memory>
#include <string>

#include "render/RtfReader.h"

class QGuiApplication;
class QIODevice;
class QPagedPaintDevice;
class QTextDocument;

// A report file's bytes and whether they are plain text (else RTF).
struct TReportData {
  QByteArray Bytes;
  bool Plain = false;
};

// Reads the report into `doc` and makes `device` the document's layout device; `meta` gets the
// RTF's page and title (defaults for plain text).
void ReadReportFor(const TReportData& report, QTextDocument& doc, TRtfMeta& meta, QPagedPaintDevice& device);

// Lays `doc` out on the page area of `device` and paints every page; false when painting could
// not start (for a PDF file: the file could not be created).
bool PaintPages(QTextDocument& doc, QPagedPaintDevice& device);

// Writes the report as a PDF document into `out`: an RTF report with its own paper size, margins
// and orientation, a plain text report on letter paper with the margins a printout has. False
// when painting fails.
bool WritePdf(const TReportData& report, QIODevice& out);
// The same into a file; false with `error` set ("Can't create file.", "Can't write to file.")
// and no file left behind when it cannot be written.
bool WriteReportPdf(const TReportData& report, const QString& pdfPath, QString& error);

// The PDF renderer of the report frame: the RTF file at `rtfPath` as a PDF file at `pdfPath`
// (paths as the core holds them, used byte for byte). RegisterPdfRenderer makes it the frame's.
bool RenderRtfFileToPdf(const std::string& rtfPath, const std::string& pdfPath, std::string& error);
void RegisterPdfRenderer();

// The margins, in inches, of a printed report (the printer's unprintable edge is the least it
// gets): one inch on the left for plain text of 10 points or less, else half an inch; half an
// inch at the top and the bottom; none asked for on the right.
QMarginsF PrintMargins(bool plain, qreal fontPoints);

// Makes sure a Qt GUI application object exists while it lives, so that fonts can be measured: a
// program without a window of its own (the command-line tool) gets one on the offscreen platform.
class TGuiSession {
 public:
  TGuiSession();
  ~TGuiSession();
  TGuiSession(const TGuiSession&) = delete;
  TGuiSession& operator=(const TGuiSession&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
};
