// Puts a rich-text report on pages. Each block is measured once, in order: lines in a fixed-pitch
// font are never wrapped and take their height from the fonts and the line spacing alone, other
// blocks are laid out to the body width. A page forced by a page break that overflows its sheet by
// a little is fitted onto the sheet, and a sheet never takes a tail of a few lines alone. Each
// page is then painted from the lines on it alone, so the work grows with the pages.
#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>
#include <vector>

#include "reports/PageFurniture.h"

class QPaintDevice;
class QPainter;
class QTextBlock;
class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;
class QTextLayout;
class QTextLine;

class TPagePlan {
 public:
  // `doc` must outlive the plan and stay unchanged; its layout device is set to `device`.
  // `title` and `project` are shown at the top of every page.
  TPagePlan(QTextDocument& doc, QPaintDevice& device, const TPageFurniture& furniture, QString title,
            QString project);

  // Puts the document on pages whose body is `body` (device pixels). `progress` is told the
  // blocks measured of `total`; false when it asked to stop.
  bool Paginate(const QSizeF& body, const TRenderProgress& progress = {}, int total = 0);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // The furniture lines end this far (device pixels) inside the body's right edge: a body that
  // reaches the paper's edge keeps them readable.
  void SetFurnitureInset(qreal inset) { furnitureInset_ = inset; }
  // Paints page `page` (from 0) with the body's top left at the painter's origin: the repeated
  // column headings, the body, and around it the title, the project and "Page N of M".
  void PaintPage(QPainter& painter, int page);

 private:
  // One line of a block on its page: its top on the page body, its height and the space before it.
  struct TUnit {
    int block = 0;
    int line = 0;
    float y = 0;
    float height = 0;
    float before = 0;
  };
  struct TPage {
    int first = 0, end = 0;  // units
    qreal scale = 1;         // a fitted page is painted smaller
    int heading = -1;        // the running heading repeated at its top
  };
  struct TFormatInfo {
    bool known = false;
    bool fixedPitch = false;
    qreal natural = 0;  // the height of a line in the format's font
  };

  const TFormatInfo& Format(int index, const QTextCharFormat& format);
  bool Preformatted(const QTextBlock& block, qreal* natural);
  qreal Spaced(const QTextBlockFormat& format, qreal natural) const;
  qreal NaturalHeight(const QTextLine& line) const;
  // The lines of `block` laid out for the body width.
  void LayOut(const QTextBlock& block, QTextLayout& layout, bool preformatted) const;
  // The heights of the lines of `block`.
  void Measure(const QTextBlock& block, std::vector<float>& heights);
  void EndForcedPage();
  void Slice(int from, int to);
  void Place(int from, int to, int heading);
  qreal Extent(int from, int to) const;
  int HeadingFor(int block) const;
  std::vector<TUnit> HeadingUnits(int heading);
  qreal HeadingHeight(int heading);
  void PaintLines(QPainter& painter, const std::vector<TUnit>& units, int from, int to);
  void PaintFurniture(QPainter& painter, int page);

  QTextDocument& doc_;
  QPaintDevice& device_;
  TPageFurniture furniture_;
  QString title_, project_;
  qreal toDevice_ = 1;  // document lengths to device pixels
  QSizeF body_;
  qreal furnitureInset_ = 0;
  std::vector<TFormatInfo> formats_;
  std::vector<TUnit> units_;
  std::vector<TPage> pages_;
  std::vector<qreal> headingHeights_;
  int forcedStart_ = 0;     // the first unit of the forced page being measured
  float pendingAfter_ = 0;  // the space after the block before
};
