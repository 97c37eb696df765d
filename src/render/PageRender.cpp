#include "render/PageRender.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "reports/PdfRender.h"

namespace {

constexpr qreal kTwipsPerInch = 1440;
constexpr qreal kPlainPoints = 10;  // the font of a plain text report

// The page layout of an RTF report; letter paper with the default margins when the RTF's own
// values make no page (no paper, or margins that leave nothing to write on).
QPageLayout RtfPageLayout(const TRtfPage& page) {
  const qreal w = page.PaperWidth / kTwipsPerInch, h = page.PaperHeight / kTwipsPerInch;
  const QMarginsF margins(page.LeftMargin / kTwipsPerInch, page.TopMargin / kTwipsPerInch,
                          page.RightMargin / kTwipsPerInch, page.BottomMargin / kTwipsPerInch);
  const bool usable = w >= 1 && h >= 1 && w <= 200 && h <= 200 && margins.left() + margins.right() < w - 0.5 &&
                      margins.top() + margins.bottom() < h - 0.5;
  if (!usable) return RtfPageLayout(TRtfPage{.Landscape = page.Landscape});
  // Page sizes are named portrait; the orientation turns them.
  const bool landscape = page.Landscape || w > h;
  const QPageSize size(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Inch, {}, QPageSize::ExactMatch);
  return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins, QPageLayout::Inch);
}

// Paints the lines of the document that lie on one page. Line by line, because a block that
// starts on one page may carry lines on the next: drawn whole on both, its text would be in both
// pages of a PDF file, merely clipped from view.
void PaintPage(QPainter& painter, QTextDocument& doc, const QRectF& area) {
  painter.save();
  painter.translate(0, -area.top());
  painter.setPen(Qt::black);
  QAbstractTextDocumentLayout* layout = doc.documentLayout();
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const QRectF bounds = layout->blockBoundingRect(block);
    if (bounds.bottom() < area.top() || bounds.top() > area.bottom()) continue;
    const QTextLayout* lines = block.layout();
    for (int i = 0; i < lines->lineCount(); ++i) {
      const QTextLine line = lines->lineAt(i);
      const qreal middle = lines->position().y() + line.y() + line.height() / 2;
      if (middle >= area.top() && middle < area.bottom()) line.draw(&painter, lines->position());
    }
  }
  painter.restore();
}

}  // namespace

void ReadReportFor(const TReportData& report, QTextDocument& doc, TRtfMeta& meta, QPagedPaintDevice& device) {
  meta = TRtfMeta{};
  if (report.Plain) ReadPlainReport(report.Bytes, doc);
  else ReadRtf(report.Bytes, doc, meta);
  doc.documentLayout()->setPaintDevice(&device);
}

bool PaintPages(QTextDocument& doc, QPagedPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  doc.documentLayout()->setPaintDevice(&device);
  doc.setDocumentMargin(0);
  const QSizeF page(device.width(), device.height());
  doc.setPageSize(page);
  const int pages = doc.pageCount();
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !device.newPage()) break;
    PaintPage(painter, doc, QRectF(0, i * page.height(), page.width(), page.height()));
  }
  return painter.end();
}

bool WritePdf(const TReportData& report, QIODevice& out) {
  TGuiSession session;
  QPdfWriter writer(&out);
  writer.setCreator("Tesserel");
  QTextDocument doc;
  TRtfMeta meta;
  ReadReportFor(report, doc, meta, writer);
  writer.setTitle(meta.Title);
  if (report.Plain)
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     PrintMargins(true, kPlainPoints), QPageLayout::Inch));
  else
    writer.setPageLayout(RtfPageLayout(meta.Page));
  return PaintPages(doc, writer);
}

bool WriteReportPdf(const TReportData& report, const QString& pdfPath, QString& error) {
  QFile file(pdfPath);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    error = "Can't create file.";
    return false;
  }
  if (WritePdf(report, file) && file.error() == QFileDevice::NoError && file.flush()) return true;
  file.remove();  // no partial file stays behind
  error = "Can't write to file.";
  return false;
}

bool RenderRtfFileToPdf(const std::string& rtfPath, const std::string& pdfPath, std::string& error) {
  std::ifstream in(rtfPath, std::ios::binary);
  if (!in) {
    error = "Can't read the report.";
    return false;
  }
  const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  std::ofstream out(pdfPath, std::ios::binary | std::ios::trunc);
  if (!out) {
    error = "Can't create file.";
    return false;
  }
  const bool written = WritePdf({QByteArray::fromStdString(rtf), false}, pdf) &&
                       out.write(pdf.data().constData(), pdf.data().size()) && out.flush();
  if (!written) error = "Can't write to file.";
  return written;
}

void RegisterPdfRenderer() { SetPdfRenderer(RenderRtfFileToPdf); }

QMarginsF PrintMargins(bool plain, qreal fontPoints) {
  return QMarginsF(plain && fontPoints <= kPlainPoints ? 1.0 : 0.5, 0.5, 0, 0.5);
}

TGuiSession::TGuiSession() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tesserel";
  static char* argv[] = {name, nullptr};
  app_ = std::make_unique<QGuiApplication>(argc, argv);
}

TGuiSession::~TGuiSession() = default;
