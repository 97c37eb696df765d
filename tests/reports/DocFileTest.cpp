// The report frame: what each output kind makes of the shared operations, temporary files and
// their showing and deletion, word processor hand-over and PDF output.
#include <gtest/gtest.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>

#include "../support/TempDir.h"
#include "filebase/IoFault.h"
#include "reports/DocFile.h"
#include "reports/PdfRender.h"
#include "reports/RptTemp.h"

namespace fs = std::filesystem;

namespace {

// Records what the frame asked to show, and what the file held at that moment.
class TFakeViewer : public TReportViewer {
 public:
  bool Preview(const TPreviewRequest& r) override {
    shown = r;
    content = ReadWholeFile(r.fileName);
    return previewWorks;
  }
  bool OpenInWordProcessor(const std::string& file, const std::string& title, const std::string&) override {
    shown = {file, false, title, false};
    content = ReadWholeFile(file);
    return wordProcessorWorks;
  }
  void ShowError(const std::string& message) override { errors += message; }

  bool previewWorks = true, wordProcessorWorks = true;
  TPreviewRequest shown;
  std::string content, errors;
};

class DocFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetReportClock([] { return TReportTime{2024, 5, 1, 9, 5, 3, 3}; });
    setenv("TMPDIR", dir.Path().c_str(), 1);
    setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
  }
  void TearDown() override {
    SetReportClock({});
    SetPdfRenderer({});
    SetIoFaultHook({});
    unsetenv("TMPDIR");
    unsetenv("XDG_CACHE_HOME");
  }
  // Every shared operation once, as the reports use them.
  static void WriteSample(TDocOutFile& d) {
    d.SetPageLayout(true, 0.5f, 0.5f, 0.75f, 0.75f);
    d.SetFont(0, 10);
    d.SetExactLineSpacing(10);
    d.WriteLineChar(201);
    d.WriteLineChars(205, 3);
    d.WriteLineChar(187);
    d.NewLine();
    for (int s = 0; s <= 10; ++s) d.StyleOn(s);
    d.SetColor(12);
    d.Write("Corn <a&b> {c}");
    for (int s = 0; s <= 10; ++s) d.StyleOff(s);
    d.SetFont(1, 12);
    d.WriteLink("http://x.org/a b", "site");
    d.SetFont(2, 8);
    d.NewPage();
    d.WriteLineChar(179);
    d.WriteLineChar(175);  // not a box character: nothing
  }
  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
      if (e.is_regular_file()) names.push_back(e.path().filename().string());
    return names;
  }
  TTempDir dir;
};

TEST_F(DocFileTest, EachKindTranslatesTheSharedOperations) {
  TDocOutFile text;
  ASSERT_TRUE(text.Open(okText, dir.File("r.txt"), false, false, "Title", "Me"));
  WriteSample(text);
  text.CloseAndView(nullptr);
  EXPECT_EQ(text.GetStatus(), wsOk);
  EXPECT_TRUE(text.Landscape);
  EXPECT_EQ(ReadWholeFile(dir.File("r.txt")), "+===+\r\nCorn <a&b> {c}http://x.org/a b\f|");

  TDocOutFile html;
  ASSERT_TRUE(html.Open(okHtml, dir.File("r.html"), false, false, "Title", "Me"));
  WriteSample(html);
  html.CloseAndView(nullptr);
  const std::string h = ReadWholeFile(dir.File("r.html"));
  const std::string body = h.substr(h.find("<BODY>\r\n") + 8);
  EXPECT_EQ(body,
            "<PRE>+===+\r\n<B><I><U><U><U><U><FONT COLOR=Maroon>Corn &lt;a&amp;b&gt; {c}"
            "</B></I></U></U></U></U></PRE>\r\n<A HREF=\"http://x.org/a b\">site</A><TT><HR>\r\n|"
            "</FONT></BODY>\r\n\r\n</HTML>\r\n");
  EXPECT_EQ(h.find("<SUP>"), std::string::npos);

  TDocOutFile rtf;
  ASSERT_TRUE(rtf.Open(okRtf, dir.File("r.rtf"), false, false, "Title", "Me"));
  WriteSample(rtf);
  rtf.CloseAndView(nullptr);
  const std::string r = ReadWholeFile(dir.File("r.rtf"));
  EXPECT_NE(r.find(R"({\info{\title Title}{\author Me})"), std::string::npos);
  const std::string tail = r.substr(r.find(R"(\sectd\pard\plain )"));
  EXPECT_EQ(tail,
            "\\sectd\\pard\\plain \r\n\\f0\\fs20 \\sl-200 +===+\r\n\\par "
            R"(\b \i \ul \uldb \uldash \uld \up6 \dn6 \super \sub \scaps \cf13 Corn <a&b> \{c\})"
            R"(\b0 \i0 \ul0 \uldb0 \uldash0 \uld0 \up0 \dn0 \nosupersub \nosupersub \scaps0 )"
            R"(\f1\fs24 {\field{\*\fldinst HYPERLINK http://x.org/a%20b}{\fldrslt site}}\f2\fs16 \page |})");
}

TEST_F(DocFileTest, BoxCharactersAndKindsByExtension) {
  std::string all;
  for (int code = 176; code <= 223; ++code) all += LineCharText(code);
  EXPECT_EQ(all, "|||||||++||++++++--|-+||++==|=+=-=-++++++++|-||-");
  EXPECT_EQ(LineCharText(224), "");

  EXPECT_EQ(ReportKindForPath("/a/x.HTML"), okHtml);
  EXPECT_EQ(ReportKindForPath("x.Rtf"), okRtf);
  EXPECT_EQ(ReportKindForPath("x.pdf"), okPdf);
  EXPECT_EQ(ReportKindForPath("x.htm"), okText);
  EXPECT_EQ(ReportKindForPath("x.rtf.txt"), okText);
  EXPECT_EQ(ReportKindForPath("/a.rtf/x"), okText);
}

TEST_F(DocFileTest, TemporaryReportsAreShownThenDeleted) {
  TFakeViewer viewer;
  for (const char* prefix : {"WRK", "RNK", "TAB", "STB", "CST", "Inf", "", "PRVIEW"}) {
    for (bool works : {true, false}) {
      viewer.previewWorks = works;
      TDocOutFile d;
      ASSERT_TRUE(d.Open(okText, prefix, true, false, "Worksheet", "Me"));
      d.SetPageLayout(true, 1, 1, 1, 1);
      d.Write("body");
      d.CloseAndView(&viewer);
      const std::string name = fs::path(viewer.shown.fileName).filename().string();
      EXPECT_EQ(name.substr(0, 3), *prefix ? std::string(prefix).substr(0, 3) : "PRV") << name;
      EXPECT_EQ(fs::path(viewer.shown.fileName).parent_path(), fs::path(dir.Path()));
      EXPECT_EQ(viewer.content, "body");
      EXPECT_TRUE(viewer.shown.plainText);
      EXPECT_TRUE(viewer.shown.landscape);
      EXPECT_EQ(viewer.shown.title, "Worksheet");
      EXPECT_FALSE(fs::exists(viewer.shown.fileName)) << "kept after showing";
    }
  }
  // A report that failed is not shown; Abandon removes it.
  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Write; });
  viewer.shown = {};
  TDocOutFile d;
  ASSERT_TRUE(d.Open(okRtf, "WRK", true, false, "W", "Me"));
  d.CloseAndView(&viewer);
  EXPECT_EQ(d.GetStatus(), wsClose);
  EXPECT_EQ(viewer.shown.fileName, "");
  d.Abandon();
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST_F(DocFileTest, WordProcessorKeepsTheReportUntilItIsRead) {
  TFakeViewer viewer;
  TDocOutFile d;
  ASSERT_TRUE(d.Open(okRtf, "RNK", true, true, "Ranked Summary", "Me"));
  d.Write("x");
  d.CloseAndView(&viewer);
  const std::string cache = dir.File("cache") + "/tesserel/reports";
  EXPECT_EQ(fs::path(viewer.shown.fileName).parent_path(), fs::path(cache));
  EXPECT_EQ(fs::path(viewer.shown.fileName).extension(), ".rtf");
  EXPECT_TRUE(fs::exists(viewer.shown.fileName));
  EXPECT_EQ(viewer.errors, "");

  viewer.wordProcessorWorks = false;
  TDocOutFile failing;
  ASSERT_TRUE(failing.Open(okRtf, "STB", true, true, "Setbacks", "Me"));
  failing.CloseAndView(&viewer);
  EXPECT_FALSE(fs::exists(viewer.shown.fileName));
  EXPECT_EQ(viewer.errors, "Unable to view report with a word processor. A word processor may not be installed.");

  // A report saved by the user stays where it was saved, whatever the viewer does.
  TDocOutFile saved;
  ASSERT_TRUE(saved.Open(okRtf, dir.File("mine.rtf"), false, true, "Setbacks", "Me"));
  saved.CloseAndView(&viewer);
  EXPECT_EQ(viewer.shown.fileName, dir.File("mine.rtf"));
  EXPECT_TRUE(fs::exists(dir.File("mine.rtf")));

  // Files of the cache folder older than a day go at start-up.
  const std::string old = cache + "/WRKold.rtf";
  WriteWholeFile(old, "x");
  utimbuf times{std::time(nullptr) - 2 * 86400, std::time(nullptr) - 2 * 86400};
  ASSERT_EQ(utime(old.c_str(), &times), 0);
  EXPECT_EQ(PurgeReportCache(), 1);
  EXPECT_EQ(FilesIn(cache).size(), 1u);
}

TEST_F(DocFileTest, PdfReportsAreRenderedFromTheRtf) {
  const std::string pdf = dir.File("out.PDF");
  TDocOutFile none;
  ASSERT_TRUE(none.Open(okPdf, pdf, false, false, "T", "Me"));
  none.Write("x");
  none.CloseAndView(nullptr);
  EXPECT_EQ(none.GetStatus(), wsWrite);
  EXPECT_EQ(none.GetErrorText(), pdf + "\r\nCan't create PDF document. PDF output is not available in this program.");
  none.Abandon();
  EXPECT_TRUE(FilesIn(dir.Path()).empty());

  std::string rendered, title;
  SetPdfRenderer([&](const std::string& rtf, const std::string& out, const TPageFurniture& furniture,
                     const TRenderProgress&, std::string& error) {
    rendered = ReadWholeFile(rtf);
    title = furniture.Title;
    WriteWholeFile(out, "%PDF");
    error = "disk full";
    return rendered.find("fail") == std::string::npos;
  });
  TDocOutFile d;
  ASSERT_TRUE(d.Open(okPdf, pdf, false, false, "T", "Me"));
  EXPECT_EQ(d.GetFileName(), pdf);
  d.Write("Corn");
  d.CloseAndView(nullptr);
  EXPECT_EQ(d.GetStatus(), wsOk);
  EXPECT_NE(rendered.find("Corn}"), std::string::npos);
  EXPECT_EQ(title, "T");  // the pages carry the report's title
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"out.PDF"});  // the RTF is gone

  TDocOutFile bad;
  ASSERT_TRUE(bad.Open(okPdf, pdf, false, false, "T", "Me"));
  bad.Write("fail");
  bad.CloseAndView(nullptr);
  EXPECT_EQ(bad.GetErrorText(), pdf + "\r\nCan't create PDF document. disk full");
  bad.Abandon();
  // The document of the report before is kept whole: a failed one never takes its place.
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"out.PDF"});
  EXPECT_EQ(ReadWholeFile(pdf), "%PDF");
}

}  // namespace
