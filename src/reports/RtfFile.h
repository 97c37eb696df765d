// The RTF report writer: header with font and colour tables, document properties, page layout,
// fonts, styles, colours, tab stops, fields and escaped text.
#pragma once

#include <string>

#include "reports/TxtFile.h"

// Report fonts: 0 "Courier New", 1 "Times New Roman", 2 "Arial" (RTF font 3 is the line-drawing font).
constexpr int kFontCount = 3;
// Report colours 0..15 (Black .. Light Gray).
constexpr int kColorCount = 16;

// Styles of StyleOn and StyleOff.
enum : int {
  stBold = 0,
  stItalic = 1,
  stUnderline = 2,
  stDoubleUnderline = 3,
  stDashedUnderline = 4,
  stDottedUnderline = 5,
  stRaised = 6,
  stLowered = 7,
  stSuperscript = 8,
  stSubscript = 9,
  stSmallCaps = 10,
};

// Kinds of SetTabStop.
enum : int {
  tkLeft = 0,
  tkCenter = 1,
  tkRight = 2,
  tkDecimal = 3,
  tkLeftDots = 4,
  tkRightDots = 5,
  tkDecimalDots = 6,
};

// Geometry units of Open.
enum : int { ruInches = 0, ruCentimetres = 1, ruPoints = 2 };

struct TRgb {
  int r, g, b;
};

// The font name of index 0..2 and the colour name (as shown in colour choosers) of index 0..15;
// an index out of range gives an empty text.
std::string FontName(int index);
std::string ColorName(int index);
// The RGB value of colour index 0..15 (black out of range).
TRgb ColorRgb(int index);

class TRtfOutFile : public TTextOutFile {
 public:
  // Opens the file and writes the header and the document properties; false when any of it failed
  // (the partial file is deleted).
  bool Open(const std::string& fileName, int units, const std::string& author, const std::string& title);
  void WriteHeader(int units);
  void WriteInfo(const std::string& title, const std::string& author);
  // Geometry in the current unit. Landscape turns the page once; a later landscape call keeps it.
  void SetPageLayout(bool landscape, float left, float right, float top, float bottom);
  void SetFont(int index, float size);
  void StyleOn(int style);
  void StyleOff(int style);
  void SetColor(int index);
  // Points between lines; a negative value asks for exactly that spacing.
  void SetLineSpacing(float points);
  void SetTabStop(int kind, float position);
  void Tab();
  void ResetParagraph();
  void WriteField(const std::string& instruction, const std::string& result);
  void WriteHyperlink(const std::string& url, const std::string& text);
  void NewLine() override;
  void NewPage() override;
  void Close() override;
  // Escapes backslashes, braces and bytes of 128 and above.
  virtual void WriteText(const std::string& text);

  std::string Author, Title;
  float PageWidth = 8.5f, PageHeight = 11.0f;
  float LeftMargin = 1.25f, RightMargin = 1.25f, TopMargin = 1.0f, BottomMargin = 1.0f;
  bool Landscape = false;
  float TwipsPerUnit = 1440.0f;
  float LineSpacing = 0.0f;
  bool ParagraphStart = true;
  float LastTabStop = 0.0f;

 private:
  void WriteTwips(const char* control, float value);
};
