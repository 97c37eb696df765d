#include <gtest/gtest.h>

#include "../support/CliRun.h"
#include "../support/TempDir.h"
#include "reports/PdfRender.h"

namespace {

TEST(CmdReportTest, SoftwareReportFormatFollowsTheExtension) {
  TTempDir dir;
  struct TCase {
    const char* name;
    const char* start;
  };
  for (const TCase& c : {TCase{"s.RTF", "{\\rtf1\\ansi "}, TCase{"s.html", "<!DOCTYPE HTML"},
                         TCase{"s.htm", "[This report prepared by Tesserel "}, TCase{"s", "[This report"}}) {
    const TCliRun r = RunTool({"report", "software", "-o", dir.File(c.name)});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text = ReadWholeFile(dir.File(c.name));
    EXPECT_EQ(text.rfind(c.start, 0), 0u) << c.name;
    EXPECT_NE(text.find("Information About Installed Software"), std::string::npos) << c.name;
    EXPECT_NE(text.find("Tesserel Recordkeeper"), std::string::npos) << c.name;
  }

  // PDF goes through the registered renderer, which is given the RTF document.
  const std::string pdf = dir.File("s.pdf");
  TCliRun r = RunTool({"report", "software", "--output", pdf});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, pdf + "\r\nCan't create PDF document. PDF output is not available in this program.\n");
  SetPdfRenderer([](const std::string& rtf, const std::string& out, const TPageFurniture&, const TRenderProgress&,
                    std::string&) {
    WriteWholeFile(out, "%PDF-1.4 " + ReadWholeFile(rtf).substr(0, 6));
    return true;
  });
  r = RunTool({"report", "software", "-o", pdf});
  SetPdfRenderer({});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadWholeFile(pdf), "%PDF-1.4 {\\rtf1");

  const std::string bad = dir.File("no/such.rtf");
  r = RunTool({"report", "software", "-o", bad});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, bad + "\r\nCan't create file. The folder " + dir.File("no") + " does not exist.\n");
  EXPECT_NE(RunTool({"report", "software"}).status, 0);  // -o is required
}

}  // namespace
