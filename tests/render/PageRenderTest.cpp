#include "render/PageRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "common/Cp1252.h"
#include "reports/RankSum.h"
#include "reports/RecSubset.h"
#include "reports/WrkDoc.h"

#include "../support/PdfText.h"
#include "../support/RtfSample.h"
#include "../support/SampleProjects.h"
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
// page break; a plain text report is on letter paper with its form feeds as page ends. Every page
// has the document's title above the body and its number below.
TEST_F(PageRenderTest, PdfHasTheWordsAndPagesOfTheReport) {
  QString error;
  const std::string rtfPdf = dir.File("rtf.pdf");
  ASSERT_EQ(WriteReportPdf({QByteArray::fromStdString(SampleReportRtf()), false}, QString::fromStdString(rtfPdf), error),
            TPaintOutcome::Painted);
  const std::string words = SampleReportWords(), title = "Field Report \u2013 2024 ";
  const size_t second = words.find("Second page");
  EXPECT_EQ(PdfWords(rtfPdf), title + words.substr(0, second) + "Page 1 of 2 " + title + words.substr(second) + " Page 2 of 2");
  EXPECT_EQ(PdfPages(rtfPdf), "2 792 x 612");

  const std::string plainPdf = dir.File("plain.pdf");
  ASSERT_EQ(WriteReportPdf({QByteArray("+====+\r\n| Caf\xE9 |\r\n\f| Corn 12.5 |\r\n+----+\r\n"), true},
                           QString::fromStdString(plainPdf), error),
            TPaintOutcome::Painted);
  EXPECT_EQ(PdfWords(plainPdf), "+====+ | Café | Page 1 of 2 | Corn 12.5 | +----+ Page 2 of 2");
  EXPECT_EQ(PdfPages(plainPdf), "2 612 x 792");
}

TEST_F(PageRenderTest, PdfThatCannotBeWrittenSaysSoAndLeavesNothing) {
  QString error;
  EXPECT_EQ(WriteReportPdf({"{\\rtf1 x}", false}, QString::fromStdString(dir.File("none/x.pdf")), error),
            TPaintOutcome::Failed);
  EXPECT_EQ(error, "Can't create file.");
  // A page setup that makes no page falls back to letter paper instead of failing.
  const std::string odd = dir.File("odd.pdf");
  ASSERT_EQ(WriteReportPdf({"{\\rtf1\\paperw0\\paperh99999999\\margl20000 odd}", false}, QString::fromStdString(odd), error),
            TPaintOutcome::Painted);
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
  // The same words between the furniture: the title above, the page number below.
  EXPECT_EQ(Words(timeless(PdfWords(pdf))), "Information About Installed Software " + Words(expected) + " Page 1 of 1");
  EXPECT_EQ(PdfPages(pdf), "1 612 x 792");
}

}  // namespace

namespace {

// Reports of a project of the Iowa sample's fields repeated under new field IDs, rendered as PDF.
class PrintedReportTest : public TSampleFixture {
 protected:
  static void SetUpTestSuite() {
    session = new TGuiSession;
    RegisterPdfRenderer();
  }
  static void TearDownTestSuite() { delete session; }
  static inline TGuiSession* session = nullptr;

  void SetUp() override {
    TSampleFixture::SetUp();
    SetReportClock([] { return TReportTime{2024, 5, 6, 7, 8, 9, 1}; });
  }
  void TearDown() override { SetReportClock({}); }

  void MakeProject(TMdaFile& big, int count) {
    TMdaFile sample;
    OpenSample(sample, "iowa-2024");
    std::vector<TFieldRec> fields, recs;
    TRecordReader reader(sample);
    while (const TFieldRec* rec = reader.Next()) fields.push_back(*rec);
    ASSERT_FALSE(fields.empty());
    for (int i = 0; i < count; ++i) {
      recs.push_back(fields[static_cast<size_t>(i) % fields.size()]);
      recs.back().Field_ID = 1000 + i;
    }
    const std::string path = Dir.File("big.tsj");
    ASSERT_TRUE(big.CreateProject(path, sample.ProjectState(), Refs, "Printed", 2024)) << big.FullErrorText();
    ASSERT_TRUE(big.WriteRecordBlock(1, count, recs.data(), true)) << big.FullErrorText();
    big.Close();
    ASSERT_TRUE(big.OpenProject(path, false, Refs)) << big.FullErrorText();
  }

  static int Pages(const std::string& pdf) { return std::atoi(PdfPages(pdf).c_str()); }
  static std::vector<std::string> PageLines(const std::string& pdf, int page) {
    const std::string n = std::to_string(page);
    std::istringstream text(RunForOutput("pdftotext -layout -enc UTF-8 -f " + n + " -l " + n + " '" + pdf + "' -"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
      if (!Words(line).empty()) lines.push_back(Words(line));
    return lines;
  }
};

// Every page of a long ranked summary has the title and the project above the body, "Page N of M"
// below it and, from the second page on, the column headings again; between them the rows of the
// text report, each once and in order.
TEST_F(PrintedReportTest, RankedSummaryPagesHaveFurnitureAndRepeatedHeadings) {
  TMdaFile big;
  ASSERT_NO_FATAL_FAILURE(MakeProject(big, 150));
  TRecordSubset subset;
  subset.Attach(big);
  const TRankedSummarySettingsRec settings;
  const std::string txt = Dir.File("ranked.txt"), pdf = Dir.File("ranked.pdf");
  ASSERT_EQ(WriteSummaryFile<TRankedSummaryDoc>(txt, okText, settings, subset, "Test", big, Mdf), "");
  ASSERT_EQ(WriteSummaryFile<TRankedSummaryDoc>(pdf, okPdf, settings, subset, "Test", big, Mdf), "");
  // The column headings: the two lines that follow the two empty lines after the heading block.
  std::istringstream text(Cp1252ToUtf8(ReadWholeFile(txt)));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(Words(line));
  const auto rank = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("Rank") != l.npos; });
  ASSERT_NE(rank, lines.end());
  const std::vector<std::string> heading(rank - 1, rank + 1);

  const int pages = Pages(pdf);
  ASSERT_GE(pages, 3);
  std::string body;
  for (int page = 1; page <= pages; ++page) {
    std::vector<std::string> shown = PageLines(pdf, page);
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown.front(), "Ranked Summary Printed (big.tsj)") << page;
    EXPECT_EQ(shown.back(), "Page " + std::to_string(page) + " of " + std::to_string(pages));
    shown.erase(shown.begin());
    shown.pop_back();
    if (page > 1) {
      ASSERT_TRUE(std::equal(heading.begin(), heading.end(), shown.begin())) << page << ": " << shown.front();
      shown.erase(shown.begin(), shown.begin() + static_cast<long>(heading.size()));
    }
    for (const std::string& line : shown) body += (body.empty() ? "" : " ") + line;
  }
  EXPECT_EQ(body, Words(Cp1252ToUtf8(ReadWholeFile(txt))));
}

// A cost worksheet page of 76 to 82 lines is fitted onto its sheet at 10 points (two sheets a
// record), and at 12 points, where 80 columns fill the line exactly, no boxed line wraps.
TEST_F(PrintedReportTest, WorksheetPagesFitTheirSheetsAndBoxedLinesNeverWrap) {
  TMdaFile big;
  ASSERT_NO_FATAL_FAILURE(MakeProject(big, 3));
  TWorksheetSettingsRec s;
  s.RecordsMode = rmAll;
  s.OutputKind = okPdf;
  s.SaveToFile = true;
  for (const int points : {10, 12}) {
    s.FontSize = static_cast<int16_t>(points);
    s.OutputFileName = Dir.File("worksheet" + std::to_string(points) + ".pdf");
    TWorksheetRun run{big, Mdf, nullptr, nullptr, nullptr};
    ASSERT_EQ(RunWorksheetReport(s, "Test", run, nullptr), "");
    const int pages = Pages(s.OutputFileName);
    if (points == 10) EXPECT_EQ(PdfPages(s.OutputFileName), "6 612 x 792");
    for (int page = 1; page <= pages; ++page) {
      const std::vector<std::string> lines = PageLines(s.OutputFileName, page);
      ASSERT_GE(lines.size(), 10u) << points << " points, page " << page;  // no tail on a sheet alone
      EXPECT_EQ(lines.front(), "Worksheet Report Printed (big.tsj)");
      for (const std::string& line : lines) {
        EXPECT_TRUE(line != "|" && line != "+" && line != "=" && line != "-") << points << " points, page " << page;
        if (line.front() == '|' || line.front() == '+') EXPECT_TRUE(line.back() == '|' || line.back() == '+') << line;
      }
    }
  }
}

}  // namespace
