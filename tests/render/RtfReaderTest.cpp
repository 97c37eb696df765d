#include "render/RtfReader.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "../support/RtfSample.h"
#include "render/PageRender.h"

namespace {

class RtfReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session = new TGuiSession; }
  static void TearDownTestSuite() { delete session; }
  static inline TGuiSession* session = nullptr;

  bool Read(const std::string& rtf) { return ReadRtf(QByteArray::fromStdString(rtf), doc, meta); }

  // The format of the text found first.
  QTextCharFormat FormatOf(const QString& text) const {
    const QTextCursor c = doc.find(text, 0, QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(c.isNull()) << text.toStdString();
    return c.charFormat();
  }
  QTextBlock BlockOf(const QString& text) const { return doc.find(text).block(); }

  QTextDocument doc;
  TRtfMeta meta;
};

TEST_F(RtfReaderTest, ReadsEveryFeatureOfTheWriters) {
  ASSERT_TRUE(Read(SampleReportRtf()));
  EXPECT_EQ(doc.toPlainText(),
            QString::fromUtf8("Café {Summary} Office\nCorn\t12.5\t3.25\tend\nRed italic single double dashed dotted raised "
                              "lowered super sub caps\nSecond page: Docs\n"));
  EXPECT_EQ(meta.Title, QString::fromUtf8("Field Report – 2024"));
  EXPECT_EQ(meta.Author, "Tesserel 1.0.0");
  EXPECT_EQ(doc.metaInformation(QTextDocument::DocumentTitle), meta.Title);
  EXPECT_TRUE(meta.Page.Landscape);
  EXPECT_EQ(meta.Page.PaperWidth, 15840);
  EXPECT_EQ(meta.Page.PaperHeight, 12240);
  EXPECT_EQ(meta.Page.LeftMargin, 1800);
  EXPECT_EQ(meta.Page.RightMargin, 1440);

  const QTextCharFormat title = FormatOf("Caf");
  EXPECT_EQ(title.fontFamilies().toStringList().value(0), "Times New Roman");
  EXPECT_EQ(title.fontPointSize(), 20);
  EXPECT_EQ(title.fontWeight(), QFont::Bold);
  EXPECT_EQ(FormatOf("Summary").fontWeight(), QFont::Bold);

  const QTextCharFormat corn = FormatOf("Corn");
  EXPECT_EQ(corn.fontFamilies().toStringList().value(0), "Courier New");
  EXPECT_EQ(corn.fontStyleHint(), QFont::TypeWriter);
  EXPECT_EQ(corn.fontPointSize(), 10);
  EXPECT_NE(corn.fontWeight(), QFont::Bold);
  const QList<QTextOption::Tab> tabs = BlockOf("Corn").blockFormat().tabPositions();
  const qreal inch = LayoutDpi();
  ASSERT_EQ(tabs.size(), 3);
  EXPECT_EQ(tabs[0], QTextOption::Tab(3 * inch, QTextOption::RightTab));
  EXPECT_EQ(tabs[1], QTextOption::Tab(5 * inch, QTextOption::DelimiterTab, '.'));
  EXPECT_EQ(tabs[2], QTextOption::Tab(6 * inch, QTextOption::LeftTab));

  EXPECT_EQ(FormatOf("Red").foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(FormatOf("Red").fontFamilies().toStringList().value(0), "Arial");
  EXPECT_FALSE(FormatOf("italic").foreground().color() == QColor(255, 0, 0));
  EXPECT_TRUE(FormatOf("italic").fontItalic());
  EXPECT_FALSE(FormatOf("single").fontItalic());
  EXPECT_EQ(FormatOf("single").underlineStyle(), QTextCharFormat::SingleUnderline);
  EXPECT_EQ(FormatOf("double").underlineStyle(), QTextCharFormat::SingleUnderline);
  EXPECT_EQ(FormatOf("dashed").underlineStyle(), QTextCharFormat::DashUnderline);
  EXPECT_EQ(FormatOf("dotted").underlineStyle(), QTextCharFormat::DotLine);
  EXPECT_EQ(FormatOf("raised").baselineOffset(), 30);  // 3 points of a 10 point font
  EXPECT_EQ(FormatOf("lowered").baselineOffset(), -30);
  EXPECT_EQ(FormatOf("super").verticalAlignment(), QTextCharFormat::AlignSuperScript);
  EXPECT_EQ(FormatOf("sub").verticalAlignment(), QTextCharFormat::AlignSubScript);
  EXPECT_EQ(FormatOf("caps").fontCapitalization(), QFont::AllUppercase);
  EXPECT_EQ(FormatOf("caps").fontPointSize(), 8);
  EXPECT_EQ(FormatOf("caps").underlineStyle(), QTextCharFormat::NoUnderline);
  const QTextBlockFormat spaced = BlockOf("Red").blockFormat();
  EXPECT_EQ(spaced.lineHeightType(), QTextBlockFormat::FixedHeight);
  EXPECT_EQ(spaced.lineHeight(), inch / 6);  // 12 points

  const QTextBlock second = BlockOf("Second page");
  EXPECT_EQ(second.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
  EXPECT_EQ(second.blockFormat().lineHeight(), inch / 6);
  EXPECT_NE(second.next().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
  const QTextCharFormat link = FormatOf("Docs");
  EXPECT_TRUE(link.isAnchor());
  EXPECT_EQ(link.anchorHref(), "C:\\My%20Docs\\x.rtf");
  EXPECT_FALSE(FormatOf("Second").isAnchor());
}

TEST_F(RtfReaderTest, TabReachingADotLeaderStopIsDrawnDotted) {
  ASSERT_TRUE(Read(SampleReportRtf()));
  const QTextBlock corn = BlockOf("Corn");
  QTextCursor c(corn);
  std::vector<int> styles;
  for (int i = 0; i < corn.length() - 1; ++i) {
    if (corn.text()[i] != '\t') continue;
    c.setPosition(corn.position() + i + 1);
    styles.push_back(c.charFormat().underlineStyle());
  }
  // The first tab goes to the dotted right stop, the others to stops without a leader.
  EXPECT_EQ(styles, (std::vector<int>{QTextCharFormat::DotLine, QTextCharFormat::NoUnderline,
                                      QTextCharFormat::NoUnderline}));
}

// A form's rows of cells: each cell a tab to its start and a dotted tab to its end, the next cell
// a little further on. Every dotted tab is drawn dotted, in every row of a document that is far
// longer than what is laid out at once, wherever the cells begin.
TEST_F(RtfReaderTest, EveryTabToADottedStopOfALongFormIsDotted) {
  std::string rtf = "{\\rtf1\\ansi\\f0\\fs16 ";
  constexpr int kRows = 400, kCells = 7;
  for (int row = 0; row < kRows; ++row) {
    rtf += "\\pard";
    for (int cell = 0, x = 432; cell < kCells; ++cell, x += 173) {
      rtf += "\\tx" + std::to_string(x);
      x += 1193 + 17 * (cell + row % 5);
      rtf += "\\tldot\\tx" + std::to_string(x);
    }
    rtf += " " + std::to_string(row + 1) + ".";
    for (int cell = 0; cell < kCells; ++cell) rtf += cell % 3 == 1 ? "\\tab value\\tab " : "\\tab\\tab ";
    rtf += "\r\n\\par ";
  }
  ASSERT_TRUE(Read(rtf + "}"));
  int rows = 0;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (!block.text().contains('\t')) continue;
    ++rows;
    QTextCursor c(block);
    std::vector<int> styles;
    for (int i = 0; i < block.length() - 1; ++i) {
      if (block.text()[i] != '\t') continue;
      c.setPosition(block.position() + i + 1);
      styles.push_back(c.charFormat().underlineStyle());
    }
    std::vector<int> expected;
    for (int cell = 0; cell < kCells; ++cell) expected.insert(expected.end(), {QTextCharFormat::NoUnderline, QTextCharFormat::DotLine});
    ASSERT_EQ(styles, expected) << "row " << rows;
  }
  EXPECT_EQ(rows, kRows);
}

TEST_F(RtfReaderTest, SkipsWhatItDoesNotKnow) {
  ASSERT_TRUE(Read("{\\rtf1{\\stylesheet{\\s1 Heading;}}{\\*\\generator Writer 9;}{\\*\\unknowndest hidden}"
                   "\\unknownword17 A{\\fancy B}\\'41\\u8364?\\uc2\\u8212xyC\\~D\\line E\\v hidden\\v0 F}ignored"));
  EXPECT_EQ(doc.toRawText(), QString::fromUtf8("ABA€—C\u00A0D\u2028EF"));
  EXPECT_FALSE(Read("plain words, no RTF"));
  EXPECT_EQ(doc.toPlainText(), "plain words, no RTF");
}

// Cut short anywhere, unbalanced, nested beyond reason or full of binary junk, the data is read
// without a crash or a hang, and what came before the damage is there.
TEST_F(RtfReaderTest, SurvivesTruncatedAndBrokenData) {
  const std::string sample = SampleReportRtf();
  for (size_t n = 0; n <= sample.size(); n += 7) Read(sample.substr(0, n));
  Read(sample.substr(0, sample.find("\\tab 12.5")));
  EXPECT_TRUE(doc.toPlainText().contains("Corn"));
  EXPECT_FALSE(doc.toPlainText().contains("12.5"));

  Read("{\\rtf1 a}}}}}b{{{{c");
  EXPECT_EQ(doc.toPlainText(), "a");
  Read("{\\rtf1 x" + std::string(200000, '{') + "deep" + std::string(5, '}'));
  EXPECT_EQ(doc.toPlainText(), "xdeep");
  Read("{\\rtf1 a\\bin99999999999 b}");
  EXPECT_EQ(doc.toPlainText(), "a");
  Read("{\\rtf1 \\fs-2147483648 \\tx2147483647\\sl-2147483648\\cf99\\f77 q\\'\\'zz\\u-1\\uc9999\\");
  EXPECT_TRUE(doc.toPlainText().startsWith("q"));
}

TEST_F(RtfReaderTest, PlainReportKeepsLinesAndPages) {
  ReadPlainReport(QByteArray("+==+\r\n|Caf\xE9|\r\n\f+--+\r\n"), doc);
  EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("+==+\n|Café|\n+--+\n"));
  EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
  EXPECT_NE(doc.findBlockByNumber(1).blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
  EXPECT_EQ(QTextCursor(doc.findBlockByNumber(1)).blockCharFormat().fontPointSize(), 10);
}

}  // namespace
