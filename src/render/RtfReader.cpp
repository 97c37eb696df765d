#include "render/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/Cp1252.h"
#include "render/RtfLexer.h"

namespace {

// Where the text of a group goes.
enum class TDest { Text, FontTable, ColorTable, Info, Title, Author, FieldInst, Skip };

enum TUnderline { ulNone, ulSingle, ulDouble, ulDash, ulDot };
enum TVertical { vaNone, vaSuper, vaSub };
enum TLeader { ldNone, ldDots, ldHyphens, ldLine };

// The block property that lists the tab stops drawn with a leader: position in pixels and leader.
constexpr int kLeaderTabs = QTextFormat::UserProperty + 1;
constexpr int kMaxDepth = 500;
constexpr int kDefaultHalfPoints = 24;
constexpr qreal kSmallCapsScale = 0.8;
// Text is set letter by letter, as word processors do by default: no ligature takes "ff" into one
// glyph, so that text taken from a printout or a PDF file reads as written.
constexpr QFont::StyleStrategy kNoLigatures = QFont::PreferNoShaping;

struct TCharProps {
  int font = 0;
  int halfPoints = kDefaultHalfPoints;
  bool bold = false;
  bool italic = false;
  bool smallCaps = false;
  bool hidden = false;
  int underline = ulNone;
  int raise = 0;  // half points; negative lowers
  int vertical = vaNone;
  int color = 0;  // colour table entry; 0 is the automatic colour
};

struct TTabStop {
  int twips = 0;
  QTextOption::TabType type = QTextOption::LeftTab;
  int leader = ldNone;
};

struct TParaProps {
  std::vector<TTabStop> tabs;
  TTabStop pending;  // kind and leader of the next \tx
  int lineSpacing = 0;
  bool multiple = false;
  Qt::Alignment align = Qt::AlignLeft;
  int left = 0, right = 0, first = 0, before = 0, after = 0;
};

struct TGroupState {
  TDest dest = TDest::Text;
  TCharProps chr;
  TParaProps para;
  int field = -1;  // the field this group belongs to
  int link = -1;   // the field whose result this text is
  int uc = 1;      // characters that stand in for a \u character
};

struct TFontDef {
  QString name;
  QFont::StyleHint hint = QFont::AnyStyle;
};

struct TField {
  QString instruction;
  QString href;  // of a HYPERLINK field
};

bool On(const TRtfLexer& lx) { return !lx.HasParam() || lx.Param() != 0; }

// The target of a HYPERLINK instruction: its first argument, quoted or not; switches are passed by.
QString HyperlinkTarget(const QString& instruction) {
  QString rest = instruction.trimmed();
  if (!rest.startsWith("HYPERLINK", Qt::CaseInsensitive)) return {};
  rest = rest.mid(9).trimmed();
  while (rest.startsWith('\\')) {
    const qsizetype blank = rest.indexOf(' ');
    rest = blank < 0 ? QString() : rest.mid(blank).trimmed();
  }
  if (rest.startsWith('"')) return rest.mid(1).section('"', 0, 0);
  return rest.section(' ', 0, 0, QString::SectionSkipEmpty);
}

class TRtfBuilder {
 public:
  TRtfBuilder(QTextDocument& doc, TRtfMeta& meta, qreal dpi) : doc_(doc), meta_(meta), dpi_(dpi), cursor_(&doc) {
    stack_.emplace_back();
  }

  void Run(std::string_view data);

 private:
  TGroupState& St() { return stack_.back(); }
  // Lengths beyond 44 inches are cut there: no page is larger.
  qreal Px(int twips) const { return std::clamp(twips, -63360, 63360) * dpi_ / 1440.0; }

  void OpenGroup();
  bool CloseGroup();  // false once the outermost group has closed
  void OnWord(TRtfLexer& lx);
  void OnSymbol(char c);
  void OnText(std::string_view bytes);
  void OnChar(char32_t c);
  void CommitFont();

  bool DestinationWord(const std::string& w);
  void FontWord(const std::string& w, const TRtfLexer& lx);
  void ColorWord(const std::string& w, const TRtfLexer& lx);
  bool CharWord(const std::string& w, const TRtfLexer& lx);
  bool ParaWord(const std::string& w, const TRtfLexer& lx);
  bool PageWord(const std::string& w, const TRtfLexer& lx);
  bool SpecialCharWord(const std::string& w, const TRtfLexer& lx);

  void Flush();
  void EndParagraph(bool newBlock);
  QTextCharFormat CharFormat() const;
  QTextBlockFormat BlockFormat() const;

  QTextDocument& doc_;
  TRtfMeta& meta_;
  qreal dpi_;
  QTextCursor cursor_;
  std::vector<TGroupState> stack_;
  int overflow_ = 0;  // groups opened beyond the depth limit
  bool started_ = false;
  bool ignorable_ = false;  // \* was just read
  int skip_ = 0;            // stand-in characters of a \u still to pass by
  QString pending_;
  bool pageBreak_ = false;
  bool blockEmpty_ = true;
  int defaultFont_ = 0;
  std::map<int, TFontDef> fonts_;
  int fontNumber_ = 0;
  QString fontName_;
  QFont::StyleHint fontHint_ = QFont::AnyStyle;
  std::vector<QColor> colors_;  // invalid for the automatic colour
  int red_ = -1, green_ = -1, blue_ = -1;
  std::vector<TField> fields_;
};

void TRtfBuilder::Run(std::string_view data) {
  TRtfLexer lx(data);
  for (;;) {
    const TRtfToken t = lx.Next();
    if (t == TRtfToken::End) break;
    if (t != TRtfToken::Word && !(t == TRtfToken::Symbol && lx.Symbol() == '*')) ignorable_ = false;
    switch (t) {
      case TRtfToken::GroupOpen:
        OpenGroup();
        break;
      case TRtfToken::GroupClose:
        if (!CloseGroup()) return EndParagraph(false);
        break;
      case TRtfToken::Word:
        OnWord(lx);
        break;
      case TRtfToken::Symbol:
        OnSymbol(lx.Symbol());
        break;
      case TRtfToken::Byte: {
        const char byte = static_cast<char>(lx.Byte());
        OnText(std::string_view(&byte, 1));
        break;
      }
      case TRtfToken::Text:
        OnText(lx.Text());
        break;
      case TRtfToken::End:
        break;
    }
  }
  EndParagraph(false);
}

void TRtfBuilder::OpenGroup() {
  Flush();
  skip_ = 0;
  started_ = true;
  if (stack_.size() >= kMaxDepth) ++overflow_;
  else stack_.push_back(St());
}

bool TRtfBuilder::CloseGroup() {
  Flush();
  skip_ = 0;
  if (overflow_ > 0) {
    --overflow_;
    return true;
  }
  if (stack_.size() > 1) {
    if (St().dest == TDest::FontTable && !fontName_.isEmpty()) CommitFont();  // a name without its ';'
    stack_.pop_back();
  }
  return !(started_ && stack_.size() == 1);
}

void TRtfBuilder::OnWord(TRtfLexer& lx) {
  const std::string& w = lx.Name();
  if (w == "bin") return lx.SkipBytes(lx.HasParam() ? lx.Param() : 0);
  if (skip_ > 0) {
    --skip_;  // a control word stands in for a \u character as one
    return;
  }
  if (St().dest == TDest::Skip) return;
  Flush();
  const bool ignorable = ignorable_;
  ignorable_ = false;
  if (DestinationWord(w)) return;
  if (ignorable) {
    St().dest = TDest::Skip;
    return;
  }
  switch (St().dest) {
    case TDest::FontTable:
      return FontWord(w, lx);
    case TDest::ColorTable:
      return ColorWord(w, lx);
    case TDest::Text:
      if (CharWord(w, lx) || ParaWord(w, lx) || PageWord(w, lx)) return;
      break;
    default:
      break;
  }
  SpecialCharWord(w, lx);
}

bool TRtfBuilder::DestinationWord(const std::string& w) {
  static const std::set<std::string> kSkipped = {
      "stylesheet", "pict",      "object",    "header",    "headerl",   "headerr",  "headerf",
      "footer",     "footerl",   "footerr",   "footerf",   "footnote",  "listtable", "listoverridetable",
      "revtbl",     "rsidtbl",   "generator", "xmlnstbl",  "themedata", "colorschememapping",
      "latentstyles", "datastore", "company",  "operator",  "creatim",   "revtim",   "printim",
      "buptim",     "keywords",  "subject",   "doccomm",   "comment",   "nonshppict", "shppict",
      "bkmkstart",  "bkmkend",   "fldtype",   "filetbl",   "pgdsctbl",  "mmathPr",  "userprops"};
  TGroupState& s = St();
  if (w == "fonttbl") s.dest = TDest::FontTable;
  else if (w == "colortbl") s.dest = TDest::ColorTable;
  else if (w == "info") s.dest = TDest::Info;
  else if (w == "title" && s.dest == TDest::Info) s.dest = TDest::Title;
  else if (w == "author" && s.dest == TDest::Info) s.dest = TDest::Author;
  else if (w == "field" && s.dest == TDest::Text) {
    s.field = static_cast<int>(fields_.size());
    fields_.emplace_back();
  } else if (w == "fldinst" && s.field >= 0) s.dest = TDest::FieldInst;
  else if (w == "fldrslt" && s.field >= 0) {
    s.dest = TDest::Text;
    TField& f = fields_[s.field];
    f.href = HyperlinkTarget(f.instruction);
    if (!f.href.isEmpty()) s.link = s.field;
  } else if (kSkipped.count(w)) s.dest = TDest::Skip;
  else return false;
  return true;
}

void TRtfBuilder::FontWord(const std::string& w, const TRtfLexer& lx) {
  static const std::map<std::string, QFont::StyleHint> kFamilies = {
      {"fmodern", QFont::TypeWriter}, {"froman", QFont::Serif},   {"fswiss", QFont::SansSerif},
      {"fscript", QFont::Cursive},    {"fdecor", QFont::Fantasy}, {"fnil", QFont::AnyStyle}};
  if (w == "f") {
    fontNumber_ = lx.Param();
    fontName_.clear();
    fontHint_ = QFont::AnyStyle;
  } else if (const auto it = kFamilies.find(w); it != kFamilies.end()) {
    fontHint_ = it->second;
  }
}

void TRtfBuilder::ColorWord(const std::string& w, const TRtfLexer& lx) {
  const int v = std::clamp(lx.Param(), 0, 255);
  if (w == "red") red_ = v;
  else if (w == "green") green_ = v;
  else if (w == "blue") blue_ = v;
}

bool TRtfBuilder::CharWord(const std::string& w, const TRtfLexer& lx) {
  static const std::map<std::string, int> kUnderlines = {
      {"ul", ulSingle}, {"uldb", ulDouble}, {"uldash", ulDash}, {"uld", ulDot}, {"ulw", ulSingle},
      {"ulth", ulSingle}, {"uldashd", ulDash}, {"uldashdd", ulDash}, {"ulwave", ulSingle}};
  TCharProps& c = St().chr;
  if (w == "plain") c = TCharProps{defaultFont_};
  else if (w == "f") c.font = lx.Param();
  else if (w == "fs") c.halfPoints = lx.HasParam() ? lx.Param() : kDefaultHalfPoints;
  else if (w == "b") c.bold = On(lx);
  else if (w == "i") c.italic = On(lx);
  else if (w == "scaps") c.smallCaps = On(lx);
  else if (w == "v") c.hidden = On(lx);
  else if (w == "cf") c.color = lx.Param();
  else if (w == "ulnone") c.underline = ulNone;
  else if (const auto it = kUnderlines.find(w); it != kUnderlines.end()) c.underline = On(lx) ? it->second : ulNone;
  else if (w == "up") c.raise = lx.HasParam() ? lx.Param() : 6;
  else if (w == "dn") c.raise = -(lx.HasParam() ? lx.Param() : 6);
  else if (w == "super") c.vertical = vaSuper;
  else if (w == "sub") c.vertical = vaSub;
  else if (w == "nosupersub") c.vertical = vaNone;
  else return false;
  return true;
}

bool TRtfBuilder::ParaWord(const std::string& w, const TRtfLexer& lx) {
  static const std::map<std::string, int> kLeaders = {
      {"tldot", ldDots}, {"tlmdot", ldDots}, {"tlhyph", ldHyphens}, {"tlul", ldLine}, {"tlth", ldLine}, {"tleq", ldLine}};
  static const std::map<std::string, Qt::Alignment> kAligns = {
      {"ql", Qt::AlignLeft}, {"qc", Qt::AlignHCenter}, {"qr", Qt::AlignRight}, {"qj", Qt::AlignJustify}};
  TParaProps& p = St().para;
  const int v = lx.Param();
  if (w == "pard") p = TParaProps{};
  else if (w == "tx") {
    p.pending.twips = v;
    p.tabs.push_back(p.pending);
    p.pending = TTabStop{};
  } else if (w == "tb") p.pending = TTabStop{};
  else if (w == "tqc") p.pending.type = QTextOption::CenterTab;
  else if (w == "tqr") p.pending.type = QTextOption::RightTab;
  else if (w == "tqdec") p.pending.type = QTextOption::DelimiterTab;
  else if (const auto it = kLeaders.find(w); it != kLeaders.end()) p.pending.leader = it->second;
  else if (w == "sl") p.lineSpacing = std::clamp(v, -63360, 63360);
  else if (w == "slmult") p.multiple = v != 0;
  else if (const auto al = kAligns.find(w); al != kAligns.end()) p.align = al->second;
  else if (w == "li") p.left = v;
  else if (w == "ri") p.right = v;
  else if (w == "fi") p.first = v;
  else if (w == "sb") p.before = v;
  else if (w == "sa") p.after = v;
  else if (w == "par" || w == "sect") EndParagraph(true);
  else if (w == "page" || w == "pagebb") {
    if (!blockEmpty_) EndParagraph(true);
    pageBreak_ = true;
  } else return false;
  return true;
}

bool TRtfBuilder::PageWord(const std::string& w, const TRtfLexer& lx) {
  static const std::map<std::string, int TRtfPage::*> kLengths = {
      {"paperw", &TRtfPage::PaperWidth},  {"paperh", &TRtfPage::PaperHeight},  {"pgwsxn", &TRtfPage::PaperWidth},
      {"pghsxn", &TRtfPage::PaperHeight}, {"margl", &TRtfPage::LeftMargin},    {"margr", &TRtfPage::RightMargin},
      {"margt", &TRtfPage::TopMargin},    {"margb", &TRtfPage::BottomMargin},  {"marglsxn", &TRtfPage::LeftMargin},
      {"margrsxn", &TRtfPage::RightMargin}, {"margtsxn", &TRtfPage::TopMargin}, {"margbsxn", &TRtfPage::BottomMargin}};
  if (const auto it = kLengths.find(w); it != kLengths.end()) {
    if (lx.HasParam() && lx.Param() >= 0) meta_.Page.*(it->second) = lx.Param();
  } else if (w == "landscape" || w == "lndscpsxn") {
    meta_.Page.Landscape = true;
  } else if (w == "deff") {
    defaultFont_ = lx.Param();
  } else if (w == "deftab") {
    if (lx.Param() > 0) {
      QTextOption option = doc_.defaultTextOption();
      option.setTabStopDistance(Px(lx.Param()));
      doc_.setDefaultTextOption(option);
    }
  } else {
    return false;
  }
  return true;
}

bool TRtfBuilder::SpecialCharWord(const std::string& w, const TRtfLexer& lx) {
  static const std::map<std::string, char32_t> kChars = {
      {"tab", U'\t'},          {"line", 0x2028},        {"emdash", 0x2014},    {"endash", 0x2013},
      {"bullet", 0x2022},      {"lquote", 0x2018},      {"rquote", 0x2019},    {"ldblquote", 0x201C},
      {"rdblquote", 0x201D},   {"emspace", 0x2003},     {"enspace", 0x2002},   {"qmspace", 0x2005}};
  if (w == "uc") {
    St().uc = std::clamp(lx.Param(), 0, 10);
  } else if (w == "u" && lx.HasParam()) {
    const int code = lx.Param() < 0 ? lx.Param() + 65536 : lx.Param();
    if (code >= 0x20 && code <= 0xFFFF) OnChar(static_cast<char32_t>(code));
    skip_ = St().uc;
  } else if (const auto it = kChars.find(w); it != kChars.end()) {
    OnChar(it->second);
  } else {
    return false;
  }
  return true;
}

void TRtfBuilder::OnSymbol(char c) {
  if (St().dest == TDest::Skip) return;
  if (c == '*') {
    ignorable_ = true;
    return;
  }
  if (skip_ > 0) {
    --skip_;
    return;
  }
  switch (c) {
    case '\\':
    case '{':
    case '}':
      return OnText(std::string_view(&c, 1));
    case '~':
      return OnChar(0x00A0);
    case '_':
      return OnChar(0x2011);
    case '\r':
    case '\n':
      if (St().dest == TDest::Text) EndParagraph(true);
      return;
    default:
      return;  // optional hyphens, index marks and broken escapes
  }
}

void TRtfBuilder::OnText(std::string_view bytes) {
  TGroupState& s = St();
  for (const char ch : bytes) {
    if (skip_ > 0) {
      --skip_;
      continue;
    }
    if (s.dest == TDest::FontTable) {
      if (ch != ';') {
        fontName_ += QChar(Cp1252ToUnicode(static_cast<unsigned char>(ch)));
        continue;
      }
      CommitFont();
    } else if (s.dest == TDest::ColorTable) {
      if (ch != ';') continue;
      colors_.push_back(red_ < 0 && green_ < 0 && blue_ < 0 ? QColor()
                                                             : QColor(std::max(red_, 0), std::max(green_, 0),
                                                                      std::max(blue_, 0)));
      red_ = green_ = blue_ = -1;
    } else {
      OnChar(Cp1252ToUnicode(static_cast<unsigned char>(ch)));
    }
  }
}

void TRtfBuilder::CommitFont() {
  fonts_[fontNumber_] = TFontDef{fontName_.trimmed(), fontHint_};
  fontName_.clear();
}

void TRtfBuilder::OnChar(char32_t c) {
  TGroupState& s = St();
  if (c < 0x20 && c != U'\t') return;
  const QChar ch(static_cast<char16_t>(c));
  switch (s.dest) {
    case TDest::Text:
      if (!s.chr.hidden) pending_ += ch;
      break;
    case TDest::Title:
      meta_.Title += ch;
      break;
    case TDest::Author:
      meta_.Author += ch;
      break;
    case TDest::FieldInst:
      fields_[s.field].instruction += ch;
      break;
    default:
      break;
  }
}

void TRtfBuilder::Flush() {
  if (pending_.isEmpty()) return;
  const QTextCharFormat format = CharFormat();
  if (!St().chr.smallCaps) {
    cursor_.insertText(pending_, format);
  } else {
    // Small capitals: lower-case letters as capitals of a smaller size. (Qt's own small capitals
    // come out far too small on printers and in PDF files.)
    QTextCharFormat small = format;
    small.setFontCapitalization(QFont::AllUppercase);
    small.setFontPointSize(format.fontPointSize() * kSmallCapsScale);
    for (qsizetype start = 0, end = 0; start < pending_.size(); start = end) {
      const bool lower = pending_[start].isLower();
      while (end < pending_.size() && pending_[end].isLower() == lower) ++end;
      cursor_.insertText(pending_.mid(start, end - start), lower ? small : format);
    }
  }
  pending_.clear();
  blockEmpty_ = false;
}

// Gives the paragraph that ends its format, and starts the next one when asked.
void TRtfBuilder::EndParagraph(bool newBlock) {
  Flush();
  cursor_.setBlockFormat(BlockFormat());
  if (blockEmpty_) cursor_.setBlockCharFormat(CharFormat());
  pageBreak_ = false;
  if (!newBlock) return;
  cursor_.insertBlock();
  blockEmpty_ = true;
}

QTextCharFormat TRtfBuilder::CharFormat() const {
  const TGroupState& s = stack_.back();
  const TCharProps& c = s.chr;
  QTextCharFormat f;
  auto font = fonts_.find(c.font);
  if (font == fonts_.end()) font = fonts_.find(defaultFont_);
  const TFontDef def = font == fonts_.end() ? TFontDef{"Times New Roman", QFont::Serif} : font->second;
  f.setFontFamilies(FontFamilies(def.name));
  f.setFontStyleHint(def.hint, kNoLigatures);
  const int halfPoints = std::clamp(c.halfPoints, 2, 3276);
  f.setFontPointSize(halfPoints / 2.0);
  f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(c.italic);
  static const QTextCharFormat::UnderlineStyle kStyles[] = {
      QTextCharFormat::NoUnderline, QTextCharFormat::SingleUnderline, QTextCharFormat::SingleUnderline,
      QTextCharFormat::DashUnderline, QTextCharFormat::DotLine};
  f.setUnderlineStyle(kStyles[c.underline]);
  if (c.vertical == vaSuper) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  else if (c.vertical == vaSub) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  else if (c.raise != 0) f.setBaselineOffset(std::clamp(100.0 * c.raise / halfPoints, -100.0, 100.0));
  const QColor color = c.color >= 0 && c.color < static_cast<int>(colors_.size()) ? colors_[c.color] : QColor();
  if (color.isValid()) f.setForeground(color);
  if (s.link >= 0) {
    f.setAnchor(true);
    f.setAnchorHref(fields_[s.link].href);
    if (!color.isValid()) f.setForeground(QColor(0, 0, 255));
    if (c.underline == ulNone) f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
  }
  return f;
}

QTextBlockFormat TRtfBuilder::BlockFormat() const {
  const TParaProps& p = stack_.back().para;
  QTextBlockFormat f;
  std::vector<TTabStop> stops = p.tabs;
  std::stable_sort(stops.begin(), stops.end(), [](const TTabStop& a, const TTabStop& b) { return a.twips < b.twips; });
  QList<QTextOption::Tab> tabs;
  QVariantList leaders;
  for (const TTabStop& t : stops) {
    if (t.twips <= 0 || (!tabs.isEmpty() && Px(t.twips) <= tabs.back().position)) continue;
    tabs.append(QTextOption::Tab(Px(t.twips), t.type, t.type == QTextOption::DelimiterTab ? QChar('.') : QChar()));
    if (t.leader != ldNone) leaders << QPointF(Px(t.twips), t.leader);
  }
  f.setTabPositions(tabs);
  if (!leaders.isEmpty()) f.setProperty(kLeaderTabs, leaders);
  f.setAlignment(p.align);
  f.setLeftMargin(Px(p.left));
  f.setRightMargin(Px(p.right));
  f.setTextIndent(Px(p.first));
  f.setTopMargin(Px(p.before));
  f.setBottomMargin(Px(p.after));
  if (p.lineSpacing < 0) f.setLineHeight(Px(-p.lineSpacing), QTextBlockFormat::FixedHeight);
  else if (p.lineSpacing > 0 && p.multiple) f.setLineHeight(100.0 * p.lineSpacing / 240, QTextBlockFormat::ProportionalHeight);
  else if (p.lineSpacing > 0) f.setLineHeight(Px(p.lineSpacing), QTextBlockFormat::MinimumHeight);
  if (pageBreak_) f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  return f;
}

// Qt draws no tab leaders: a tab that reaches a stop with a leader gets a dotted (dashed, solid)
// underline over its width, which is where the leader would be. Only the blocks with leaders are
// laid out to find where their tabs go; the document's own layout is left alone.
void DrawTabLeaders(QTextDocument& doc) {
  static const QTextCharFormat::UnderlineStyle kStyles[] = {QTextCharFormat::NoUnderline, QTextCharFormat::DotLine,
                                                            QTextCharFormat::DashUnderline,
                                                            QTextCharFormat::SingleUnderline};
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const QTextBlockFormat format = block.blockFormat();
    const QVariantList leaders = format.property(kLeaderTabs).toList();
    if (leaders.isEmpty()) continue;
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    QTextLayout layout(block);
    QTextOption option = doc.defaultTextOption();
    option.setTabs(tabs);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
      line.setPosition(QPointF(line.lineNumber() == 0 ? format.textIndent() : 0, 0));
    layout.endLayout();
    const QString text = block.text();
    for (int i = 0; i < text.size(); ++i) {
      if (text[i] != '\t') continue;
      const QTextLine line = layout.lineForTextPosition(i);
      if (!line.isValid()) continue;
      const qreal x = line.cursorToX(i);
      // The layout keeps positions in 1/64 pixel: a tab that starts where the one before it
      // ended may start a hair short of that stop, which is not the stop it goes to.
      const auto stop = std::find_if(tabs.begin(), tabs.end(), [x](const QTextOption::Tab& t) { return t.position > x + 0.5; });
      if (stop == tabs.end()) continue;
      for (const QVariant& v : leaders) {
        const QPointF leader = v.toPointF();
        if (qAbs(leader.x() - stop->position) > 0.01) continue;
        QTextCursor c(block);
        c.setPosition(block.position() + i);
        c.setPosition(block.position() + i + 1, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setUnderlineStyle(kStyles[static_cast<int>(leader.y())]);
        c.mergeCharFormat(f);
      }
    }
  }
}

}  // namespace

QStringList FontFamilies(const QString& name) {
  static const std::map<QString, QStringList> kFallbacks = {
      {"courier new", {"Liberation Mono", "DejaVu Sans Mono"}},
      {"times new roman", {"Liberation Serif", "DejaVu Serif"}},
      {"arial", {"Liberation Sans", "DejaVu Sans"}}};
  QStringList families{name};
  if (const auto it = kFallbacks.find(name.toLower()); it != kFallbacks.end()) families << it->second;
  return families;
}

qreal LayoutDpi() {
  if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) return 96;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? qRound(screen->logicalDotsPerInchY()) : 100;
}

bool ReadRtf(const QByteArray& rtf, QTextDocument& doc, TRtfMeta& meta) {
  const qreal dpi = LayoutDpi();
  meta = TRtfMeta{};
  doc.clear();
  doc.setUndoRedoEnabled(false);
  QTextOption option = doc.defaultTextOption();
  option.setTabStopDistance(dpi / 2);  // a default tab stop every half inch
  doc.setDefaultTextOption(option);
  // One edit: a view showing the document lays it out once, when it is complete.
  QTextCursor edit(&doc);
  edit.beginEditBlock();
  TRtfBuilder builder(doc, meta, dpi);
  builder.Run(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())));
  DrawTabLeaders(doc);
  edit.endEditBlock();
  doc.setMetaInformation(QTextDocument::DocumentTitle, meta.Title);
  return rtf.trimmed().startsWith("{\\rtf");
}

void ReadPlainReport(const QByteArray& text, QTextDocument& doc) {
  doc.clear();
  doc.setUndoRedoEnabled(false);
  AppendPlainReport(text, doc);
}

void AppendPlainReport(const QByteArray& text, QTextDocument& doc) {
  QTextCharFormat format;
  format.setFontFamilies(FontFamilies("Courier New"));
  format.setFontStyleHint(QFont::TypeWriter, kNoLigatures);
  format.setFontPointSize(10);
  QTextCursor cursor(&doc);
  cursor.movePosition(QTextCursor::End);
  // One edit, and the text of a page in one insertion: a view showing the document lays it out
  // once, when it is complete, not after every line.
  cursor.beginEditBlock();
  if (doc.isEmpty()) cursor.setBlockCharFormat(format);
  QString all = QString::fromStdString(Cp1252ToUtf8(text.toStdString()));
  all.replace("\r\n", "\n");
  all.replace('\r', '\n');
  QTextBlockFormat pageStart;
  pageStart.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  bool first = true;
  for (qsizetype from = 0; from <= all.size();) {
    qsizetype feed = all.indexOf('\f', from);
    if (feed < 0) feed = all.size();
    QString page = all.mid(from, feed - from);
    if (!first) {
      // A form feed starts a new page with the block of its line; the blocks after it are plain.
      if (cursor.block().length() > 1) cursor.insertBlock(pageStart, format);
      else cursor.setBlockFormat(pageStart);
      const qsizetype end = page.indexOf('\n');
      cursor.insertText(page.left(end), format);
      if (end < 0) page.clear();
      else {
        cursor.insertBlock(QTextBlockFormat(), format);
        page.remove(0, end + 1);
      }
    }
    cursor.insertText(page, format);
    first = false;
    from = feed + 1;
  }
  cursor.endEditBlock();
}
