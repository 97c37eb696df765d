#include "render/PageRender.h"

#include <gtest/gtest.h>

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

}  // namespace
