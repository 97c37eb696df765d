#include "reports/RtfFile.h"

#include <cmath>
#include <iterator>
#include <utility>

namespace {

struct TColor {
  const char* name;
  TRgb rgb;
};

const TColor kColors[kColorCount] = {
    {"Black", {0, 0, 0}},          {"Blue", {0, 0, 255}},         {"Turquoise", {0, 255, 255}},
    {"Bright Green", {0, 255, 0}}, {"Pink", {255, 0, 255}},       {"Red", {255, 0, 0}},
    {"Yellow", {255, 255, 0}},     {"White", {255, 255, 255}},    {"Dark Blue", {0, 0, 127}},
    {"Teal", {0, 127, 127}},       {"Green", {0, 127, 0}},        {"Violet", {127, 0, 127}},
    {"Dark Red", {127, 0, 0}},     {"Dark Yellow", {127, 127, 0}}, {"Dark Gray", {127, 127, 127}},
    {"Light Gray", {192, 192, 192}},
};

const char* const kFonts[kFontCount] = {"Courier New", "Times New Roman", "Arial"};
const char* const kFamilies[kFontCount] = {"\\fmodern ", "\\froman ", "\\fswiss "};

// Styles 0..10: the control word that turns the style on and the one that turns it off.
const char* const kStyleOn[] = {"\\b ",  "\\i ",   "\\ul ",    "\\uldb ",       "\\uldash ",      "\\uld ",
                                "\\up6 ", "\\dn6 ", "\\super ", "\\sub ", "\\scaps "};
const char* const kStyleOff[] = {"\\b0 ",  "\\i0 ",  "\\ul0 ",         "\\uldb0 ",       "\\uldash0 ", "\\uld0 ",
                                 "\\up0 ", "\\dn0 ", "\\nosupersub ", "\\nosupersub ", "\\scaps0 "};
constexpr int kStyleCount = 11;

const char* const kTabPrefix[] = {"", "\\tqc", "\\tqr", "\\tqdec", "\\tldot", "\\tqr\\tldot", "\\tqdec\\tldot"};

// Nearest whole number, ties to even (the default rounding mode).
long Round(float value) { return std::lrint(value); }

std::string Num(long value) { return std::to_string(value); }

}  // namespace

std::string FontName(int index) { return index >= 0 && index < kFontCount ? kFonts[index] : std::string(); }

std::string ColorName(int index) { return index >= 0 && index < kColorCount ? kColors[index].name : std::string(); }

TRgb ColorRgb(int index) { return index >= 0 && index < kColorCount ? kColors[index].rgb : TRgb{0, 0, 0}; }

bool TRtfOutFile::Open(const std::string& fileName, int units, const std::string& author, const std::string& title) {
  if (!TTextOutFile::Open(fileName)) return false;
  WriteHeader(units);
  WriteInfo(title, author);
  if (Status == wsOk) return true;
  Abandon();
  return false;
}

void TRtfOutFile::WriteHeader(int units) {
  Write("{\\rtf1\\ansi \\deff0{\\fonttbl");
  for (int f = 0; f < kFontCount; ++f) Write("{\\f" + Num(f) + kFamilies[f] + kFonts[f] + ";}");
  Write("{\\f3\\fcharset2 MS LineDraw;}}\r\n{\\colortbl;");
  for (int i = 0; i < kColorCount; ++i) {
    const TRgb& c = kColors[i].rgb;
    Write("\\red" + Num(c.r) + "\\green" + Num(c.g) + "\\blue" + Num(c.b) + ";");
    if (i == 7) Write("\r\n");
  }
  Write("}\r\n");
  PageWidth = 8.5f;
  PageHeight = 11.0f;
  LeftMargin = RightMargin = 1.25f;
  TopMargin = BottomMargin = 1.0f;
  Landscape = false;
  LineSpacing = 0;
  ParagraphStart = true;
  LastTabStop = 0;
  TwipsPerUnit = 1440.0f;
  float scale = 1.0f;
  if (units == ruCentimetres) {
    scale = 2.54f;
    TwipsPerUnit = 1440.0f / 2.54f;
  } else if (units == ruPoints) {
    scale = 72.0f;
    TwipsPerUnit = 20.0f;
  }
  for (float* v : {&PageWidth, &PageHeight, &LeftMargin, &RightMargin, &TopMargin, &BottomMargin}) *v *= scale;
}

void TRtfOutFile::WriteInfo(const std::string& title, const std::string& author) {
  Write("{\\info{\\title ");
  WriteText(title);
  Write("}{\\author ");
  WriteText(author.empty() ? std::string(" ") : author);
  const TReportTime t = ReportNow();
  Write("}{\\company  }{\\creatim\\yr" + Num(t.year) + "\\mo" + Num(t.month) + "\\dy" + Num(t.day) + "\\hr" +
        Num(t.hour) + "\\min" + Num(t.minute) + "\\sec" + Num(t.second) + "}}\r\n");
  Author = author;
  Title = title;
}

void TRtfOutFile::WriteTwips(const char* control, float value) { Write(control + Num(Round(value * TwipsPerUnit))); }

void TRtfOutFile::SetPageLayout(bool landscape, float left, float right, float top, float bottom) {
  if (landscape) {
    // Turning an already turned page again would give it back its portrait size.
    if (!Landscape) std::swap(PageWidth, PageHeight);
    WriteTwips("\\landscape\\paperw", PageWidth);
    WriteTwips("\\paperh", PageHeight);
  }
  WriteTwips("\\margl", left);
  WriteTwips("\\margr", right);
  WriteTwips("\\margt", top);
  WriteTwips("\\margb", bottom);
  Write(" \r\n\\sectd\\pard\\plain \r\n");
  LeftMargin = left;
  RightMargin = right;
  TopMargin = top;
  BottomMargin = bottom;
  Landscape = Landscape || landscape;
}

void TRtfOutFile::SetFont(int index, float size) { Write("\\f" + Num(index) + "\\fs" + Num(Round(size * 2)) + " "); }

void TRtfOutFile::StyleOn(int style) {
  if (style >= 0 && style < kStyleCount) Write(kStyleOn[style]);
}

void TRtfOutFile::StyleOff(int style) {
  if (style >= 0 && style < kStyleCount) Write(kStyleOff[style]);
}

void TRtfOutFile::SetColor(int index) { Write("\\cf" + Num(index + 1) + " "); }

void TRtfOutFile::SetLineSpacing(float points) {
  Write("\\sl" + Num(Round(points * 20)) + " ");
  LineSpacing = points;
}

void TRtfOutFile::SetTabStop(int kind, float position) {
  if (ParagraphStart) {
    ResetParagraph();
    ParagraphStart = false;
  }
  if (kind > 0 && kind < static_cast<int>(std::size(kTabPrefix))) Write(kTabPrefix[kind]);
  WriteTwips("\\tx", position);
  Write(" ");
  LastTabStop = position;
}

void TRtfOutFile::Tab() { Write("\\tab "); }

void TRtfOutFile::ResetParagraph() {
  Write("\\pard ");
  LastTabStop = 0;
  if (LineSpacing != 0) SetLineSpacing(LineSpacing);
}

void TRtfOutFile::WriteField(const std::string& instruction, const std::string& result) {
  Write("{\\field{\\*\\fldinst ");
  WriteText(instruction);
  Write("}");
  if (!result.empty()) {
    Write("{\\fldrslt ");
    WriteText(result);
    Write("}");
  }
  Write("}");
}

void TRtfOutFile::WriteHyperlink(const std::string& url, const std::string& text) {
  std::string target;
  for (char c : url) target += c == ' ' ? std::string("%20") : std::string(1, c);
  WriteField("HYPERLINK " + target, text);
}

void TRtfOutFile::NewLine() {
  Write("\r\n\\par ");
  ParagraphStart = true;
}

void TRtfOutFile::NewPage() { Write("\\page "); }

void TRtfOutFile::Close() {
  if (IsOpen()) Write("}");
  TTextOutFile::Close();
}

void TRtfOutFile::WriteText(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += ch;
    } else if (c >= 128) {
      out += "\\'";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  Write(out);
}
