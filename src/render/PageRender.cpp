#include "render/PageRender.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "common/Cp1252.h"
#include "render/PagePlan.h"
#include "reports/PdfRender.h"

namespace {

constexpr qreal kTwipsPerInch = 1440;
constexpr qreal kPlainPoints = 10;  // the font of a plain text report
constexpr qreal kFurnitureEdgeInches = 0.5;  // the least room between the furniture and the paper's right edge

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

QString ReportText(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

// Qt's notes and warnings; errors still go to the handler before.
QtMessageHandler& PreviousHandler() {
  static QtMessageHandler previous = nullptr;
  return previous;
}

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
  if (PreviousHandler()) PreviousHandler()(type, context, message);
}

}  // namespace

void ReadReportFor(const TReportData& report, QTextDocument& doc, TRtfMeta& meta) {
  meta = TRtfMeta{};
  if (report.Plain) ReadPlainReport(report.Bytes, doc);
  else ReadRtf(report.Bytes, doc, meta);
}

TPaintOutcome PaintPages(QTextDocument& doc, QPagedPaintDevice& device, const TPageFurniture& furniture,
                         const QString& title, const TRenderProgress& progress) {
  const QString shownTitle = furniture.Title.empty() ? title : ReportText(furniture.Title);
  TPagePlan plan(doc, device, furniture, shownTitle, ReportText(furniture.Project));
  const qreal rightMargin = device.pageLayout().margins(QPageLayout::Inch).right();
  plan.SetFurnitureInset(std::max<qreal>(0, kFurnitureEdgeInches - rightMargin) * device.logicalDpiX());
  // The work: measuring every block, then painting them page by page.
  const int blocks = std::max(doc.blockCount(), 1), total = 2 * blocks;
  if (!plan.Paginate(QSizeF(device.width(), device.height()), progress, total)) return TPaintOutcome::Cancelled;
  QPainter painter;
  if (!painter.begin(&device)) return TPaintOutcome::Failed;
  const int pages = plan.PageCount();
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !device.newPage()) break;
    plan.PaintPage(painter, i);
    if (progress && !progress(blocks + static_cast<int>(static_cast<qint64>(blocks) * (i + 1) / pages), total)) {
      painter.end();
      return TPaintOutcome::Cancelled;
    }
  }
  return painter.end() ? TPaintOutcome::Painted : TPaintOutcome::Failed;
}

TPaintOutcome WritePdf(const TReportData& report, QIODevice& out, const TRenderProgress& progress) {
  TGuiSession session;
  QPdfWriter writer(&out);
  writer.setCreator("Tesserel");
  QTextDocument doc;
  TRtfMeta meta;
  ReadReportFor(report, doc, meta);
  writer.setTitle(report.Furniture.Title.empty() ? meta.Title : ReportText(report.Furniture.Title));
  if (report.Plain)
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     PrintMargins(true, kPlainPoints), QPageLayout::Inch));
  else
    writer.setPageLayout(RtfPageLayout(meta.Page));
  return PaintPages(doc, writer, report.Furniture, meta.Title, progress);
}

TPaintOutcome WriteReportPdf(const TReportData& report, const QString& pdfPath, QString& error,
                             const TRenderProgress& progress) {
  QFile file(pdfPath);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    error = "Can't create file.";
    return TPaintOutcome::Failed;
  }
  const TPaintOutcome painted = WritePdf(report, file, progress);
  if (painted == TPaintOutcome::Painted && file.error() == QFileDevice::NoError && file.flush()) return painted;
  file.remove();  // no partial file stays behind
  if (painted == TPaintOutcome::Cancelled) return painted;
  error = "Can't write to file.";
  return TPaintOutcome::Failed;
}

bool RenderRtfFileToPdf(const std::string& rtfPath, const std::string& pdfPath, const TPageFurniture& furniture,
                        const TRenderProgress& progress, std::string& error) {
  TReportData report{{}, false, furniture};
  {
    std::ifstream in(rtfPath, std::ios::binary);
    if (!in) {
      error = "Can't read the report.";
      return false;
    }
    const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    report.Bytes = QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size()));
  }
  // The path is opened as the bytes it is; the document streams into it.
  FILE* handle = std::fopen(pdfPath.c_str(), "wb");
  QFile out;
  if (!handle || !out.open(handle, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
    if (handle) std::fclose(handle);
    error = "Can't create file.";
    return false;
  }
  const TPaintOutcome painted = WritePdf(report, out, progress);
  const bool written = painted == TPaintOutcome::Painted && out.error() == QFileDevice::NoError && out.flush();
  out.close();
  if (!written) error = painted == TPaintOutcome::Cancelled ? "Cancelled." : "Can't write to file.";
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
  PreviousHandler() = qInstallMessageHandler(QuietHandler);
  app_ = std::make_unique<QGuiApplication>(argc, argv);
}

TGuiSession::~TGuiSession() {
  if (!app_) return;
  app_.reset();
  qInstallMessageHandler(PreviousHandler());
}
