#include "render/PageRender.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/Cp1252.h"

#include "../support/PdfText.h"
#include "../support/RtfSample.h"
#include "../support/TempDir.h"

namespace {

class PageRenderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session = new TGuiSession; }
  static void TearDownTestSuite() { delete session; }
  static inline TGuiSession* session = nullptr;
  TTempDir dir;
};

// The PDF of an RTF report has its words, its paper turned as the report says and one page per
// page break; a plain text report is on letter paper with its form feeds as page ends.
TEST_F(PageRenderTest, PdfHasTheWordsAndPagesOfTheReport) {
  QString error;
  const std::string rtfPdf = dir.File("rtf.pdf");
  ASSERT_TRUE(WriteReportPdf({QByteArray::fromStdString(SampleReportRtf()), false}, QString::fromStdString(rtfPdf), error));
  EXPECT_EQ(PdfWords(rtfPdf), SampleReportWords());
  EXPECT_EQ(PdfPages(rtfPdf), "2 792 x 612");

  const std::string plainPdf = dir.File("plain.pdf");
  ASSERT_TRUE(WriteReportPdf({QByteArray("+====+\r\n| Caf\xE9 |\r\n\f| Corn 12.5 |\r\n+----+\r\n"), true},
                             QString::fromStdString(plainPdf), error));
  EXPECT_EQ(PdfWords(plainPdf), "+====+ | Café | | Corn 12.5 | +----+");
  EXPECT_EQ(PdfPages(plainPdf), "2 612 x 792");
}

TEST_F(PageRenderTest, PdfThatCannotBeWrittenSaysSoAndLeavesNothing) {
  QString error;
  EXPECT_FALSE(WriteReportPdf({"{\\rtf1 x}", false}, QString::fromStdString(dir.File("none/x.pdf")), error));
  EXPECT_EQ(error, "Can't create file.");
  // A page setup that makes no page falls back to letter paper instead of failing.
  const std::string odd = dir.File("odd.pdf");
  ASSERT_TRUE(WriteReportPdf({"{\\rtf1\\paperw0\\paperh99999999\\margl20000 odd}", false}, QString::fromStdString(odd), error));
  EXPECT_EQ(PdfPages(odd), "1 612 x 792");
}

// The command-line tool's PDF report (rendered by this library) says what its plain text report
// says, word for word, apart from the time of writing.
TEST_F(PageRenderTest, CliPdfReportHasTheWordsOfItsTextReport) {
  const std::string cli = std::string(TESSEREL_RUNTIME_DIR) + "/tesserel-cli report software -o ";
  const std::string txt = dir.File("s.txt"), pdf = dir.File("s.pdf");
  ASSERT_EQ(std::system((cli + "'" + txt + "'").c_str()), 0);
  ASSERT_EQ(std::system((cli + "'" + pdf + "'").c_str()), 0);
  auto timeless = [](std::string words) {
    const size_t from = words.find("[This report prepared"), to = words.find(']', from);
    return from == std::string::npos || to == std::string::npos ? words : words.erase(from, to + 1 - from);
  };
  const std::string expected = timeless(Words(Cp1252ToUtf8(ReadWholeFile(txt))));
  EXPECT_NE(expected.find("Information About Installed Software Operating System"), std::string::npos) << expected;
  EXPECT_EQ(timeless(PdfWords(pdf)), expected);
  EXPECT_EQ(PdfPages(pdf), "1 612 x 792");
}

}  // namespace
