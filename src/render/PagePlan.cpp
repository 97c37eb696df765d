#include "render/PagePlan.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>

#include "render/RtfReader.h"

namespace {

// A forced page up to a quarter longer than its sheet is fitted onto it.
constexpr qreal kLeastFitScale = 0.8;
// The fewest lines the last sheet of a forced page takes.
constexpr int kLeastTail = 6;
// Blocks measured between two progress reports.
constexpr int kProgressBlocks = 512;
constexpr qreal kFurniturePoints = 8;
constexpr qreal kFurnitureGapInches = 0.12;  // between the body and the furniture lines

bool FixedPitchFamily(const QTextCharFormat& f) {
  if (f.fontStyleHint() == QFont::TypeWriter || f.fontFixedPitch()) return true;
  const QString family = f.fontFamilies().toStringList().value(0);
  return family.contains("Courier", Qt::CaseInsensitive) || family.contains("Mono", Qt::CaseInsensitive);
}

}  // namespace

TPagePlan::TPagePlan(QTextDocument& doc, QPaintDevice& device, const TPageFurniture& furniture, QString title,
                     QString project)
    : doc_(doc), device_(device), furniture_(furniture), title_(std::move(title)), project_(std::move(project)) {
  doc_.documentLayout()->setPaintDevice(&device_);  // fonts are measured at the device's resolution
  toDevice_ = device_.logicalDpiY() / LayoutDpi();
  headingHeights_.assign(furniture_.Headings.size(), -1);
}

const TPagePlan::TFormatInfo& TPagePlan::Format(int index, const QTextCharFormat& format) {
  if (index < 0) index = 0;
  if (static_cast<size_t>(index) >= formats_.size()) formats_.resize(static_cast<size_t>(index) + 1);
  TFormatInfo& info = formats_[static_cast<size_t>(index)];
  if (!info.known) {
    const QFontMetricsF metrics(QFont(format.font().resolve(doc_.defaultFont()), &device_));
    info.known = true;
    info.fixedPitch = FixedPitchFamily(format);
    info.natural = std::ceil(metrics.ascent() + metrics.descent() + std::max<qreal>(metrics.leading(), 0));
  }
  return info;
}

// A block all in a fixed-pitch font is preformatted: its lines are never wrapped.
bool TPagePlan::Preformatted(const QTextBlock& block, qreal* natural) {
  qreal tallest = Format(block.charFormatIndex(), block.charFormat()).natural;
  bool fixed = true, empty = true;
  for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    const TFormatInfo& info = Format(fragment.charFormatIndex(), fragment.charFormat());
    tallest = empty ? info.natural : std::max(tallest, info.natural);
    fixed = fixed && info.fixedPitch;
    empty = false;
  }
  if (empty) fixed = Format(block.charFormatIndex(), block.charFormat()).fixedPitch;
  if (natural) *natural = tallest;
  return fixed;
}

qreal TPagePlan::Spaced(const QTextBlockFormat& f, qreal natural) const {
  const qreal asked = f.lineHeight() * toDevice_;
  switch (f.lineHeightType()) {
    case QTextBlockFormat::FixedHeight:
      return asked;
    case QTextBlockFormat::MinimumHeight:
      return std::max(natural, asked);
    case QTextBlockFormat::ProportionalHeight:
      return natural * f.lineHeight() / 100;
    default:
      return natural;
  }
}

qreal TPagePlan::NaturalHeight(const QTextLine& line) const {
  return std::ceil(line.ascent() + line.descent() + std::max<qreal>(line.leading(), 0));
}

void TPagePlan::LayOut(const QTextBlock& block, QTextLayout& layout, bool preformatted) const {
  const QTextBlockFormat f = block.blockFormat();
  QTextOption option = doc_.defaultTextOption();
  option.setAlignment(f.alignment() & Qt::AlignHorizontal_Mask);
  option.setTabs(f.tabPositions());
  option.setWrapMode(preformatted ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  const qreal left = f.leftMargin() * toDevice_;
  const qreal width = std::max<qreal>(1, body_.width() - left - f.rightMargin() * toDevice_);
  const qreal indent = f.textIndent() * toDevice_;
  layout.beginLayout();
  for (int i = 0;; ++i) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    const qreal x = i == 0 ? indent : 0;
    line.setLineWidth(std::max<qreal>(1, width - x));
    line.setPosition(QPointF(left + x, 0));
  }
  layout.endLayout();
}

// A preformatted block is measured from its fonts alone: a line for each line separator more.
void TPagePlan::Measure(const QTextBlock& block, std::vector<float>& heights) {
  heights.clear();
  const QTextBlockFormat f = block.blockFormat();
  qreal natural = 0;
  if (Preformatted(block, &natural)) {
    const qsizetype lines = 1 + block.text().count(QChar::LineSeparator);
    heights.assign(static_cast<size_t>(lines), static_cast<float>(Spaced(f, natural)));
    return;
  }
  QTextLayout layout(block);
  LayOut(block, layout, false);
  for (int i = 0; i < layout.lineCount(); ++i)
    heights.push_back(static_cast<float>(Spaced(f, NaturalHeight(layout.lineAt(i)))));
}

bool TPagePlan::Paginate(const QSizeF& body, const TRenderProgress& progress, int total) {
  body_ = body;
  units_.clear();
  pages_.clear();
  forcedStart_ = 0;
  pendingAfter_ = 0;
  std::vector<float> heights;
  int number = 0;
  for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next(), ++number) {
    if (progress && number % kProgressBlocks == 0 && !progress(number, total)) return false;
    Measure(block, heights);
    const QTextBlockFormat f = block.blockFormat();
    if ((f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) && units_.size() > static_cast<size_t>(forcedStart_))
      EndForcedPage();
    const float before = pendingAfter_ + static_cast<float>(f.topMargin() * toDevice_);
    for (size_t i = 0; i < heights.size(); ++i)
      units_.push_back({number, static_cast<int>(i), 0, heights[i], i == 0 ? before : 0});
    pendingAfter_ = static_cast<float>(f.bottomMargin() * toDevice_);
  }
  EndForcedPage();
  if (pages_.empty()) pages_.push_back({});
  return true;
}

void TPagePlan::EndForcedPage() {
  const int end = static_cast<int>(units_.size());
  if (end > forcedStart_) Slice(forcedStart_, end);
  forcedStart_ = end;
}

int TPagePlan::HeadingFor(int block) const {
  for (size_t h = 0; h < furniture_.Headings.size(); ++h) {
    const TRunningHeading& r = furniture_.Headings[h];
    if (r.Count > 0 && block >= r.First + r.Count && block < r.End) return static_cast<int>(h);
  }
  return -1;
}

std::vector<TPagePlan::TUnit> TPagePlan::HeadingUnits(int heading) {
  std::vector<TUnit> units;
  if (heading < 0) return units;
  const TRunningHeading& r = furniture_.Headings[static_cast<size_t>(heading)];
  std::vector<float> heights;
  float y = 0;
  QTextBlock block = doc_.findBlockByNumber(r.First);
  for (int n = r.First; n < r.First + r.Count && block.isValid(); ++n, block = block.next()) {
    Measure(block, heights);
    for (size_t i = 0; i < heights.size(); ++i) {
      units.push_back({n, static_cast<int>(i), y, heights[i], 0});
      y += heights[i];
    }
  }
  return units;
}

qreal TPagePlan::HeadingHeight(int heading) {
  if (heading < 0) return 0;
  qreal& known = headingHeights_[static_cast<size_t>(heading)];
  if (known < 0) {
    const std::vector<TUnit> units = HeadingUnits(heading);
    known = units.empty() ? 0 : units.back().y + units.back().height;
  }
  return known;
}

qreal TPagePlan::Extent(int from, int to) const {
  qreal y = 0;
  for (int k = from; k < to; ++k) y += (k == from ? 0 : units_[k].before) + units_[k].height;
  return y;
}

// The units [from, to) as one page: their tops on it (the space before the first dropped).
void TPagePlan::Place(int from, int to, int heading) {
  float y = 0;
  for (int k = from; k < to; ++k) {
    if (k > from) y += units_[k].before;
    units_[k].y = y;
    y += units_[k].height;
  }
  pages_.push_back({from, to, 1, heading});
}

// Cuts the forced page of units [from, to) into sheets; fits it onto one sheet when it is a
// little too long, else keeps a short tail with lines of the sheet before it.
void TPagePlan::Slice(int from, int to) {
  const qreal room = body_.height();
  const size_t first = pages_.size();
  bool headed = false;
  for (int i = from; i < to;) {
    const int heading = HeadingFor(units_[i].block);
    const qreal space = std::max(room - HeadingHeight(heading), room / 4);
    headed = headed || heading >= 0;
    int j = i + 1;
    for (qreal y = units_[i].height; j < to && y + units_[j].before + units_[j].height <= space; ++j)
      y += units_[j].before + units_[j].height;
    Place(i, j, heading);
    i = j;
  }
  if (pages_.size() - first < 2) return;
  const qreal extent = Extent(from, to);
  if (!headed && extent * kLeastFitScale <= room) {
    pages_.resize(first);
    Place(from, to, -1);
    pages_.back().scale = room / extent;
    return;
  }
  const TPage last = pages_.back(), before = pages_[pages_.size() - 2];
  const int tail = last.end - last.first;
  if (tail >= kLeastTail || before.end - before.first <= 2 * kLeastTail) return;
  const int start = last.first - (kLeastTail - tail);
  const int heading = HeadingFor(units_[start].block);
  if (Extent(start, last.end) > room - HeadingHeight(heading)) return;
  pages_.resize(pages_.size() - 2);
  Place(before.first, start, before.heading);
  Place(start, last.end, heading);
}

void TPagePlan::PaintLines(QPainter& painter, const std::vector<TUnit>& units, int from, int to) {
  QTextBlock block;
  int number = -1;
  std::unique_ptr<QTextLayout> layout;
  bool fixed = false;
  for (int k = from; k < to; ++k) {
    const TUnit& u = units[k];
    if (u.block != number) {
      if (number < 0 || u.block < number) {
        block = doc_.findBlockByNumber(u.block);
        number = u.block;
      }
      for (; number < u.block && block.isValid(); ++number) block = block.next();
      if (!block.isValid()) return;
      layout = std::make_unique<QTextLayout>(block);
      LayOut(block, *layout, Preformatted(block, nullptr));
      fixed = block.blockFormat().lineHeightType() == QTextBlockFormat::FixedHeight;
    }
    if (u.line >= layout->lineCount()) continue;
    const QTextLine line = layout->lineAt(u.line);
    // A line of fixed height has its baseline four fifths down; another line sits at the bottom
    // of the height its spacing gives it.
    const qreal top = fixed ? u.y + 0.8 * u.height - line.ascent() : u.y + u.height - NaturalHeight(line);
    line.draw(&painter, QPointF(0, top - line.y()));
  }
}

void TPagePlan::PaintPage(QPainter& painter, int page) {
  if (page < 0 || page >= PageCount()) return;
  const TPage& p = pages_[static_cast<size_t>(page)];
  painter.save();
  painter.setPen(Qt::black);
  qreal top = 0;
  if (p.heading >= 0) {
    const std::vector<TUnit> heading = HeadingUnits(p.heading);
    PaintLines(painter, heading, 0, static_cast<int>(heading.size()));
    top = HeadingHeight(p.heading);
  }
  painter.save();
  painter.translate(0, top);
  painter.scale(p.scale, p.scale);
  PaintLines(painter, units_, p.first, p.end);
  painter.restore();
  PaintFurniture(painter, page);
  painter.restore();
}

// The title on the left and the project on the right above the body, the page number below it.
void TPagePlan::PaintFurniture(QPainter& painter, int page) {
  QFont font;
  font.setFamilies(FontFamilies("Arial"));
  font.setPointSizeF(kFurniturePoints);
  const QFont shown(font, &device_);
  const QFontMetricsF metrics(shown, &device_);
  painter.setFont(shown);
  const qreal gap = kFurnitureGapInches * device_.logicalDpiY(), height = metrics.height();
  const qreal width = std::max(body_.width() - furnitureInset_, body_.width() / 2);
  const QRectF head(0, -gap - height, width, height);
  if (!title_.isEmpty())
    painter.drawText(head, Qt::AlignLeft | Qt::AlignBottom, metrics.elidedText(title_, Qt::ElideRight, width * 0.55));
  if (!project_.isEmpty())
    painter.drawText(head, Qt::AlignRight | Qt::AlignBottom, metrics.elidedText(project_, Qt::ElideMiddle, width * 0.43));
  const QRectF foot(0, body_.height() + gap, width, height);
  painter.drawText(foot, Qt::AlignHCenter | Qt::AlignTop, QString("Page %1 of %2").arg(page + 1).arg(PageCount()));
}
