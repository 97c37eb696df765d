// Real readers of our report files: LibreOffice opens an RTF and an HTML document that use every
// writer feature and turns them into plain text and into PDF; every word must come through.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../support/TempDir.h"
#include "reports/DocFile.h"

namespace {

bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Every frame operation, and for RTF every writer operation the frame does not reach.
void WriteFeatureDocument(TDocOutFile& d) {
  d.SetPageLayout(true, 0.5f, 0.5f, 0.75f, 0.75f);
  d.SetFont(1, 14);
  d.StyleOn(stBold);
  d.Write("Alpha Report");
  d.StyleOff(stBold);
  d.NewLine();
  d.SetFont(0, 10);
  d.SetExactLineSpacing(12);
  d.WriteLineChar(201);
  d.WriteLineChars(205, 6);
  d.WriteLineChar(187);
  d.NewLine();
  for (int style = stBold; style <= stSmallCaps; ++style) {
    d.StyleOn(style);
    d.SetColor(style);
    d.Write("Style" + std::to_string(style));
    d.StyleOff(style);
    d.Write(" ");
  }
  d.SetColor(0);
  d.NewLine();
  d.SetFont(2, 10);
  d.Write("Braces {curly} back\\slash <angle> & \"quoted\" caf\xE9 \x80uro \x93smart\x94");
  d.NewLine();
  d.WriteLink("http://example.org/a b", "Website");
  d.NewLine();
  if (d.RtfWriter) {
    TRtfOutFile& r = *d.RtfWriter;
    for (int kind = tkLeft; kind <= tkDecimalDots; ++kind) r.SetTabStop(kind, 1.0f + kind);
    for (const char* cell : {"Left", "Centre", "Right", "12.5", "Dots", "RightDots", "7.25"}) {
      r.Tab();
      r.WriteText(cell);
    }
    r.NewLine();
    r.WriteField("PAGE", "1");
    r.Write(" Fielded");
    r.NewLine();
  }
  d.NewPage();
  d.Write("Omega");
  d.NewLine();
}

class ClientReadTest : public ::testing::Test {
 protected:
  // Converts the files in one LibreOffice run; the converted files land in `out`.
  bool Convert(const std::string& format, const std::vector<std::string>& files, const std::string& out,
               const std::string& options = {}) {
    std::string cmd = "timeout 240 soffice -env:UserInstallation=file://" + dir.File("profile") +
                      " --headless --norestore " + options + " --convert-to " + format + " --outdir '" + out + "'";
    for (const std::string& f : files) cmd += " '" + f + "'";
    return std::system((cmd + " >'" + dir.File("soffice.log") + "' 2>&1").c_str()) == 0;
  }
  // PDF text shows small capitals as capitals, so PDF is compared without regard to case.
  static std::string Upper(std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
  }
  static void ExpectWords(const std::string& text, const std::string& what, bool rtf, bool anyCase = false) {
    std::vector<std::string> words = {"Alpha Report", "+======+", "Style0", "Style5", "Style10",
                                      "Braces {curly} back\\slash <angle> & \"quoted\" caf\xC3\xA9 \xE2\x82\xACuro",
                                      "\xE2\x80\x9Csmart\xE2\x80\x9D", "Website", "Omega"};
    if (rtf) words.insert(words.end(), {"Left", "Centre", "RightDots", "7.25", "Fielded"});
    for (const std::string& w : words)
      EXPECT_NE((anyCase ? Upper(text) : text).find(anyCase ? Upper(w) : w), std::string::npos)
          << what << ": " << w << "\n" << text;
  }
  TTempDir dir;
};

TEST_F(ClientReadTest, LibreOfficeReadsEveryWord) {
  if (!HaveTool("soffice") || !HaveTool("pdftotext")) GTEST_SKIP() << "soffice or pdftotext is not installed";
  SetReportClock([] { return TReportTime{2024, 5, 1, 9, 5, 3, 3}; });
  const std::vector<std::string> files = {dir.File("report.rtf"), dir.File("page.html")};
  for (const std::string& f : files) {
    TDocOutFile d;
    ASSERT_TRUE(d.Open(ReportKindForPath(f), f, false, false, "Feature Check", "Tesserel"));
    WriteFeatureDocument(d);
    d.CloseAndView(nullptr);
    ASSERT_EQ(d.GetStatus(), wsOk) << d.GetErrorText();
  }
  SetReportClock({});

  ASSERT_TRUE(Convert("txt:Text", files, dir.File("txt"))) << ReadWholeFile(dir.File("soffice.log"));
  ExpectWords(ReadWholeFile(dir.File("txt/report.txt")), "RTF as text", true);
  ExpectWords(ReadWholeFile(dir.File("txt/page.txt")), "HTML as text", false);
  // LibreOffice's web view leaves the first paragraph out of a PDF; its word processor view does not.
  ASSERT_TRUE(Convert("pdf", {files[0]}, dir.File("pdf"))) << ReadWholeFile(dir.File("soffice.log"));
  ASSERT_TRUE(Convert("pdf", {files[1]}, dir.File("pdf"), "--infilter='HTML (StarWriter)'"))
      << ReadWholeFile(dir.File("soffice.log"));
  for (const char* name : {"report", "page"}) {
    const std::string text = dir.File(std::string(name) + ".pdf.txt");
    const std::string pdf = dir.File(std::string("pdf/") + name + ".pdf");
    ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + text + "'").c_str()), 0) << name;
    ExpectWords(ReadWholeFile(text), std::string(name) + " as PDF", std::string(name) == "report", true);
  }
}

}  // namespace
