// The output writers: exact bytes of whole documents and every failure status.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/TempDir.h"
#include "filebase/IoFault.h"
#include "reports/HtmlFile.h"
#include "reports/PrnFile.h"
#include "reports/RtfFile.h"

namespace {

const std::string kCrLf = "\r\n";

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetReportClock([] { return TReportTime{2024, 5, 1, 9, 5, 3, 3}; });
  }
  void TearDown() override {
    SetReportClock({});
    SetIoFaultHook({});
  }
  TTempDir dir;
};

const std::string kRtfHeader =
    R"({\rtf1\ansi \deff0{\fonttbl{\f0\fmodern Courier New;}{\f1\froman Times New Roman;}{\f2\fswiss Arial;})"
    R"({\f3\fcharset2 MS LineDraw;}})" + kCrLf +
    R"({\colortbl;\red0\green0\blue0;\red0\green0\blue255;\red0\green255\blue255;\red0\green255\blue0;)"
    R"(\red255\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;)" + kCrLf +
    R"(\red0\green0\blue127;\red0\green127\blue127;\red0\green127\blue0;\red127\green0\blue127;)"
    R"(\red127\green0\blue0;\red127\green127\blue0;\red127\green127\blue127;\red192\green192\blue192;})" + kCrLf;

TEST_F(WriterTest, RtfDocumentWithEveryFeature) {
  TRtfOutFile w;
  const std::string path = dir.File("all.rtf");
  ASSERT_TRUE(w.Open(path, ruInches, "Tesserel 1.0.0", "Farm {2024}"));
  EXPECT_EQ(w.FileName, path);
  w.SetPageLayout(true, 1.25f, 1.25f, 1, 1);
  w.SetFont(0, 10);
  w.SetLineSpacing(-10);
  for (int kind = tkLeft; kind <= tkDecimalDots; ++kind) w.SetTabStop(kind, 0.5f * (kind + 1));
  w.Tab();
  for (int s = stBold; s <= stSmallCaps + 1; ++s) w.StyleOn(s);
  w.WriteText("a{b}\\c \xE9");
  for (int s = stBold; s <= stSmallCaps + 1; ++s) w.StyleOff(s);
  w.SetColor(15);
  w.WriteHyperlink("C:\\My Docs\\x.rtf", "the file");
  w.WriteField("PAGE", "");
  w.NewLine();
  w.SetTabStop(tkRight, 2);  // a new paragraph: reset, with the line spacing written again
  w.NewPage();
  w.Close();
  EXPECT_EQ(w.Status, wsOk);
  EXPECT_TRUE(w.Landscape);
  EXPECT_FLOAT_EQ(w.PageWidth, 11);

  const std::string expected =
      kRtfHeader +
      R"({\info{\title Farm \{2024\}}{\author Tesserel 1.0.0}{\company  }{\creatim\yr2024\mo5\dy1\hr9\min5\sec3}})" +
      kCrLf + R"(\landscape\paperw15840\paperh12240\margl1800\margr1800\margt1440\margb1440 )" + kCrLf +
      R"(\sectd\pard\plain )" + kCrLf + R"(\f0\fs20 \sl-200 )" +
      R"(\pard \sl-200 \tx720 \tqc\tx1440 \tqr\tx2160 \tqdec\tx2880 \tldot\tx3600 \tqr\tldot\tx4320 )"
      R"(\tqdec\tldot\tx5040 \tab )"
      R"(\b \i \ul \uldb \uldash \uld \up6 \dn6 \super \sub \scaps )"
      R"(a\{b\}\\c \'E9)"
      R"(\b0 \i0 \ul0 \uldb0 \uldash0 \uld0 \up0 \dn0 \nosupersub \nosupersub \scaps0 )"
      R"(\cf16 {\field{\*\fldinst HYPERLINK C:\\My%20Docs\\x.rtf}{\fldrslt the file}})"
      R"({\field{\*\fldinst PAGE}})" +
      kCrLf + R"(\par \pard \sl-200 \tqr\tx2880 \page })";
  EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST_F(WriterTest, RtfEmptyDocumentAndUnits) {
  TRtfOutFile w;
  const std::string path = dir.File("empty.rtf");
  ASSERT_TRUE(w.Open(path, ruInches, "", "T"));
  w.Close();
  EXPECT_EQ(ReadWholeFile(path), kRtfHeader +
                                     R"({\info{\title T}{\author  }{\company  }{\creatim\yr2024\mo5\dy1\hr9\min5\sec3}})" +
                                     kCrLf + "}");

  // Centimetres and points scale the default geometry and the twips of every position; a second
  // landscape layout keeps the turned page instead of turning it back.
  for (int units : {ruCentimetres, ruPoints}) {
    TRtfOutFile u;
    ASSERT_TRUE(u.Open(path, units, "a", "t"));
    const float scale = units == ruCentimetres ? 2.54f : 72.0f;
    EXPECT_FLOAT_EQ(u.PageWidth, 8.5f * scale);
    EXPECT_FLOAT_EQ(u.LeftMargin, 1.25f * scale);
    for (int i = 0; i < 2; ++i) u.SetPageLayout(true, 1 * scale, 1 * scale, 0.5f * scale, 0.5f * scale);
    u.SetTabStop(tkLeft, 2 * scale);
    u.Close();
    const std::string layout = R"(\landscape\paperw15840\paperh12240\margl1440\margr1440\margt720\margb720 )"
                               "\r\n" R"(\sectd\pard\plain )" "\r\n";
    EXPECT_NE(ReadWholeFile(path).find(layout + layout + R"(\pard \tx2880 })"), std::string::npos) << units;
  }
}

TEST_F(WriterTest, HtmlDocumentWithEveryFeature) {
  THtmlOutFile w;
  const std::string path = dir.File("all.html");
  ASSERT_TRUE(w.Open(path, "Costs <2024>", "A & B"));
  w.SetFontMode(hmPreformatted);
  w.WriteText("a&b \"q\" \xE9 \x80\x92");
  w.NewLine();
  w.NewPage();
  w.SetFontMode(hmTeletype);
  for (int t = htBold; t <= htSubscript + 1; ++t) w.StyleOn(t);
  w.SetColor(8);
  w.SetColor(2);
  w.WriteLink("http://x.org/?a=1&b=2", "x");
  for (int t = htBold; t <= htSubscript + 1; ++t) w.StyleOff(t);
  w.NewLine();
  w.NewPage();
  w.SetFontMode(hmProportional);
  w.Write("end");
  w.Close();
  EXPECT_EQ(w.Status, wsOk);
  const std::string expected =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n\r\n<HTML>\r\n\r\n<HEAD>\r\n"
      "<TITLE>Costs &lt;2024&gt;</TITLE>\r\n"
      "<META NAME=\"AUTHOR\" CONTENT=\"A &amp; B\">\r\n"
      "<META NAME=\"CREATIME\" CONTENT=\"2024-05-01 09:05:03\">\r\n"
      "</HEAD>\r\n\r\n<BODY>\r\n"
      "<PRE>a&amp;b &quot;q&quot; &#233; &#8364;&#8217;\r\n<HR></PRE>\r\n<TT>"
      "<B><I><U><SUP><SUB><FONT COLOR=Navy></FONT><FONT COLOR=Aqua>"
      "<A HREF=\"http://x.org/?a=1&amp;b=2\">x</A></B></I></U></SUP></SUB>\r\n<P><HR>\r\n</TT>end"
      "</FONT></BODY>\r\n\r\n</HTML>\r\n";
  EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST_F(WriterTest, TextFileBytesAcrossTheBuffer) {
  TPrinterOutFile w;
  const std::string path = dir.File("plain.txt");
  ASSERT_TRUE(w.Open(path));
  const std::string big(5000, 'x');
  w.Write("a\xE9{\\}");
  w.NewLine();
  w.Write(big);
  w.NewPage();
  w.Close();
  EXPECT_EQ(w.Status, wsOk);
  EXPECT_EQ(w.GetErrorMessage(), "");
  EXPECT_EQ(ReadWholeFile(path), "a\xE9{\\}\r\n" + big + "\f");
}

TEST_F(WriterTest, RefusedNamesAndFailedCreate) {
  struct TCase {
    std::string path;
    std::string message;
  };
  const std::string existing = dir.File("con.txt");  // a reserved device name, kept portable
  WriteWholeFile(existing, "keep");
  const TCase cases[] = {
      {dir.File("a*.txt"), "Can't create file. File's drive, folder, or name is invalid."},
      {existing, "Can't create file. File is a device."},
      {dir.File("no/such/folder.txt"), "Can't create file. The folder " + dir.File("no/such") + " does not exist."},
      {dir.Path(), "Can't create file. A folder has that name."},
  };
  for (const TCase& c : cases) {
    TRtfOutFile w;
    EXPECT_FALSE(w.Open(c.path, ruInches, "a", "t")) << c.path;
    EXPECT_EQ(w.Status, wsCreate);
    EXPECT_EQ(w.GetErrorText(), c.path + "\r\n" + c.message);
    w.WriteText("ignored");
    w.Abandon();  // never deletes what it did not create
    w.Close();
    EXPECT_EQ(w.Status, wsCreate);
  }
  EXPECT_EQ(ReadWholeFile(existing), "keep");

  SetIoFaultHook([](TIoOp op, const std::string&) { return op == TIoOp::Open; });
  THtmlOutFile h;
  EXPECT_FALSE(h.Open(dir.File("x.html"), "t", "a"));
  EXPECT_EQ(h.GetErrorMessage(), "Can't create file.");
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.html")));
}

TEST_F(WriterTest, WriteAndCloseFailuresKeepTheFirstStatus) {
  const std::string path = dir.File("w.txt");
  bool failWrites = false, failClose = false;
  SetIoFaultHook([&](TIoOp op, const std::string&) {
    return (op == TIoOp::Write && failWrites) || (op == TIoOp::Close && failClose);
  });
  {
    TPrinterOutFile w;
    ASSERT_TRUE(w.Open(path));
    w.Write(std::string(TTextOutFile::kBufferSize, 'a'));  // fills the buffer: written out
    failWrites = true;
    w.Write(std::string(TTextOutFile::kBufferSize, 'b'));  // half of it reaches the disk
    EXPECT_EQ(w.Status, wsWrite);
    failWrites = false;
    w.Write(std::string(TTextOutFile::kBufferSize * 2, 'c'));
    failClose = true;
    w.Close();
    EXPECT_EQ(w.Status, wsWrite);  // the first failure is the one reported
    EXPECT_EQ(w.GetErrorText(), path + "\r\nCan't write to file.");
    EXPECT_TRUE(FolderFiles(dir.Path()).empty());  // nothing of a failed report reaches the disk
  }
  {
    // The last buffered bytes go out at Close: a failure there is a failed close.
    failClose = false;
    failWrites = false;
    TRtfOutFile w;
    ASSERT_TRUE(w.Open(path, ruInches, "a", "t"));
    failWrites = true;
    w.Close();
    EXPECT_EQ(w.Status, wsClose);
    EXPECT_EQ(w.GetErrorMessage(), "Can't write to file.");
    failWrites = false;
    w.Abandon();  // closing twice is harmless; the partial file goes
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  {
    // A header that cannot be written fails Open and removes the partial file.
    failWrites = true;
    TRtfOutFile w;
    w.Write(std::string(TTextOutFile::kBufferSize, ' '));  // ignored: not open
    EXPECT_FALSE(w.Open(path, ruInches, std::string(3000, 'a'), "t"));
    EXPECT_EQ(w.Status, wsWrite);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

TEST(WriterNames, FontsAndColours) {
  std::string names;
  for (int i = -1; i <= 16; ++i) names += ColorName(i) + "," + HtmlColorName(i) + ";";
  EXPECT_EQ(names,
            ",;Black,Black;Blue,Blue;Turquoise,Aqua;Bright Green,Lime;Pink,Fuchsia;Red,Red;Yellow,Yellow;"
            "White,White;Dark Blue,Navy;Teal,Teal;Green,Green;Violet,Purple;Dark Red,Maroon;Dark Yellow,Olive;"
            "Dark Gray,Gray;Light Gray,Silver;,;");
  EXPECT_EQ(FontName(0) + FontName(1) + FontName(2) + FontName(3), "Courier NewTimes New RomanArial");
}

}  // namespace
