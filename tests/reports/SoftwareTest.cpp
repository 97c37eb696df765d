// The installed software report: the probes over a made-up system, and the whole report as RTF
// and as plain text.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "../support/TempDir.h"
#include "Version.h"
#include "common/Locale.h"
#include "reports/DocFile.h"
#include "reports/MoreInfo.h"

namespace {

class SoftwareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinUsLocale();
    SetReportClock([] { return TReportTime{2024, 5, 1, 9, 5, 3, 3}; });
    std::filesystem::create_directories(dir.File("bin"));
    std::filesystem::create_directories(dir.File("share/applications"));
    std::filesystem::create_directories(dir.File("share/dbus-1/services"));
    WriteWholeFile(dir.File("os-release"), "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    WriteWholeFile(dir.File("status"),
                   "Package: libreoffice-writer\nStatus: install ok installed\nVersion: 4:7.4.7-1+deb12u1\n\n"
                   "Package: libreoffice-calc\nStatus: deinstall ok config-files\nVersion: 4:7.4.7-1\n\n"
                   "Package: evince\nStatus: install ok installed\nArchitecture: amd64\nVersion: 43.1-2+b1\n\n"
                   "Package: libsqlite3-0\nStatus: install ok installed\nVersion: 3.40.1-2\n");
    WriteWholeFile(dir.File("bin/gnumeric"), "#!/bin/sh\nexit 1\n");
    chmod(dir.File("bin/gnumeric").c_str(), 0755);
    WriteWholeFile(dir.File("bin/abiword"), "not executable");
    WriteWholeFile(dir.File("share/applications/org.kde.okular.desktop"), "[Desktop Entry]\n");
    WriteWholeFile(dir.File("share/dbus-1/services/QRL.Application.service"),
                   "[D-BUS Service]\nName=QRL.Application\nExec=/opt/quarnel/bin/quarnel --automation\n");
    places.osRelease = dir.File("os-release");
    places.kernelRelease = "6.1.0-18-amd64";
    places.dpkgStatus = dir.File("status");
    places.pathDirs = {dir.File("nothing"), dir.File("bin")};
    places.dataDirs = {dir.File("share")};
  }
  void TearDown() override { SetReportClock({}); }

  TTempDir dir;
  TProbePlaces places;
};

// What the made-up system holds is checked row by row in the RTF report below. Where nothing is
// found only the planner ("Not Installed") and this program are listed.
TEST_F(SoftwareTest, ProbesThatFindNothing) {
  const TSoftwareInfo bare = ProbeInstalledSoftware(TProbePlaces{dir.File("none"), "", dir.File("none"), {}, {}});
  EXPECT_EQ(bare.system, TSoftwareRow{"Linux"});
  EXPECT_EQ(bare.sections[0].rows.front(), (TSoftwareRow{"Quarnel", "Not Installed"}));
  size_t rows = 0;
  for (const TSoftwareSection& s : bare.sections) rows += s.rows.size();
  EXPECT_EQ(rows, 2u);

  EXPECT_EQ(ReleaseOfVersion("24.2.0"), "24.2");
  EXPECT_EQ(ReleaseOfVersion("7"), "7");
  EXPECT_EQ(ReleaseOfVersion("beta"), "");
}

// LibreOffice without a desktop (its "-nogui" packages), and one found only as soffice on the
// search path: the heading always has its lines.
TEST_F(SoftwareTest, LibreOfficeWithoutDesktopOrPackages) {
  WriteWholeFile(dir.File("status"),
                 "Package: libreoffice-core-nogui\nStatus: install ok installed\nVersion: 4:7.4.7-1+deb12u14\n\n"
                 "Package: libreoffice-writer-nogui\nStatus: install ok installed\nVersion: 4:7.4.7-1+deb12u14\n");
  const std::vector<TSoftwareRow> packaged = ProbeInstalledSoftware(places).sections[1].rows;
  EXPECT_EQ(packaged, (std::vector<TSoftwareRow>{{"LibreOffice", "7.4", "(7.4.7-1+deb12u14)"},
                                                 {"Writer", "7.4", "(7.4.7-1+deb12u14)"}}));

  WriteWholeFile(dir.File("status"), "");
  WriteWholeFile(dir.File("bin/soffice"), "#!/bin/sh\n");
  chmod(dir.File("bin/soffice").c_str(), 0755);
  const TSoftwareSection unpackaged = ProbeInstalledSoftware(places).sections[1];
  EXPECT_EQ(unpackaged.heading, "LibreOffice");
  EXPECT_EQ(unpackaged.rows,
            (std::vector<TSoftwareRow>{{"LibreOffice", "Installed", "(" + dir.File("bin/soffice") + ")"}}));
}

TEST_F(SoftwareTest, WholeReportAsRtf) {
  const std::string path = dir.File("info.rtf");
  ASSERT_EQ(WriteSoftwareReportFile(path, okRtf, "Tesserel 1.0.0", ProbeInstalledSoftware(places)), "");
  const std::string text = ReadWholeFile(path);
  const std::string on = R"(\b \i \cf9 \f1\fs24 )", off = R"(\f2\fs20 \cf1 \i0 \b0 )", par = "\r\n\\par ";
  auto row = [&](std::initializer_list<std::string> cells) {
    std::string r;
    for (const std::string& c : cells) r += "\\tab " + c;
    return r + par;
  };
  auto section = [&](const std::string& heading) { return par + on + heading + off + par; };
  const std::string expected =
      R"(\margl1440\margr1440\margt1440\margb1440 )" "\r\n" R"(\sectd\pard\plain )" "\r\n"
      R"(\pard \tx2016 \i \cf9 \f1\fs20 \tab [This report prepared by Tesserel 1.0.0 at 9:05:03 AM on Wed 5/1/2024])"
      R"(\cf1 \i0 )" + par + par +
      on + R"(\pard \tx1584 \f1\fs40 \tab Information About Installed Software)" + par + off + par +
      on + "Operating System" + off + par + R"(\pard \tx360 \tx4320 \tx4824 \tx5760 )" +
      row({"Debian GNU/Linux 12 (bookworm)", "Linux 6.1.0-18-amd64"}) +
      section("Nutrient Management Software") + row({"Quarnel", "Installed", "(/opt/quarnel/bin/quarnel)"}) +
      row({"Tesserel Recordkeeper", TESSEREL_PRODUCT_VERSION, "(" TESSEREL_FILE_VERSION ")"}) +
      section("LibreOffice") + row({"Writer", "7.4", "(7.4.7-1+deb12u1)"}) +
      section("Web Browsers/File Viewers") + row({"Evince", "43.1-2+b1"}) +
      row({"Okular", "Installed", "(" + dir.File("share/applications/org.kde.okular.desktop") + ")"}) +
      section("Other Programs") + row({"Gnumeric", "Installed", "(" + dir.File("bin/gnumeric") + ")"}) +
      section("System Software") + row({"SQLite", "3.40.1-2"}) + par + "}";
  const size_t start = text.find(R"(\margl)");
  ASSERT_NE(start, std::string::npos);
  EXPECT_EQ(text.substr(start), expected);
  EXPECT_NE(text.find(R"({\info{\title Information About Installed Software}{\author Tesserel 1.0.0})"),
            std::string::npos);
}

TEST_F(SoftwareTest, PlainTextAndFailures) {
  const std::string path = dir.File("info.txt");
  ASSERT_EQ(WriteSoftwareReportFile(path, okText, "Me", ProbeInstalledSoftware(places)), "");
  const std::string text = ReadWholeFile(path);
  EXPECT_EQ(text.substr(0, text.find("Nutrient")),
            "[This report prepared by Me at 9:05:03 AM on Wed 5/1/2024]\r\n\r\n"
            "Information About Installed Software\r\n\r\n"
            "Operating System\r\n"
            "  Debian GNU/Linux 12 (bookworm)    Linux 6.1.0-18-amd64\r\n\r\n");
  EXPECT_NE(text.find("\r\n  Writer                            7.4               (7.4.7-1+deb12u1)\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n  SQLite                            3.40.1-2\r\n\r\n"), std::string::npos);

  const std::string bad = dir.File("missing/info.html");
  const std::string why = "\r\nCan't create file. The folder " + dir.File("missing") + " does not exist.";
  EXPECT_EQ(WriteSoftwareReportFile(bad, okHtml, "Me", {}), bad + why);
  EXPECT_EQ(WriteSoftwareReportFile(bad, okRtf, "Me", {}), bad + why);
}

}  // namespace
