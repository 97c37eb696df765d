// `report history` on the Iowa sample and its next year, made with `extract --advance-year`: the
// options reach the report, a failure names its files and sets status 1.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/CliRun.h"
#include "../support/TempDir.h"

namespace {

const std::string kRuntime = TESSEREL_RUNTIME_DIR;

TEST(CmdHistoryTest, WritesTheHistoryOfTheGivenYears) {
  TTempDir dir;
  const std::string a = dir.File("2024.tsj"), b = dir.File("2025.tsj"), out = dir.File("h.txt");
  std::filesystem::copy_file(kRuntime + "/samples/iowa-2024.tsj", a);
  ASSERT_EQ(RunToolWithData(kRuntime, {"extract", a, b, "--advance-year"}).status, 0);
  ASSERT_EQ(RunToolWithData(kRuntime, {"delete", b, "12"}).status, 0);

  TCliRun r = RunToolWithData(kRuntime, {"report", "history", b, a, "-o", out, "--subset", "Current crop=Corn",
                                         "--current-prices", "--font-size", "8"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string text = ReadWholeFile(out);
  EXPECT_NE(text.find("FIELD HISTORY 2024-2025\r\n"), std::string::npos);
  EXPECT_NE(text.find("Fields:         those of the subset in 2025\r\n"), std::string::npos);
  EXPECT_NE(text.find("Income was calculated using current selling price."), std::string::npos);
  // The sample rotates corn and soybeans: the corn of 2025 grew on the soybean fields of 2024.
  EXPECT_NE(text.find("Field ID 102   Home   Subfield South\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Field ID 101 "), std::string::npos);
  EXPECT_EQ(text.find("Field ID 112 "), std::string::npos);  // not in 2025, so not in the subset

  r = RunToolWithData(kRuntime, {"report", "history", a, b, "-o", dir.File("h.rtf")});
  ASSERT_EQ(r.status, 0) << r.err;
  text = ReadWholeFile(dir.File("h.rtf"));
  EXPECT_EQ(text.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(text.find("\\landscape"), std::string::npos);
  EXPECT_NE(text.find("Field ID 112   Rippey   Subfield East   (a record in 2024 only)"), std::string::npos);

  const std::string copy = dir.File("copy.tsj");
  std::filesystem::copy_file(a, copy);
  r = RunToolWithData(kRuntime, {"report", "history", a, b, copy, "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, a + "\r\n" + copy + "\r\nBoth project files are for the 2024 harvest year. Choose one project "
                                        "file for each year.\n");
  r = RunToolWithData(kRuntime, {"report", "history", a, b, "-o", out, "--subset", "Tillage=Never"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Never"), std::string::npos) << r.err;
  EXPECT_NE(RunToolWithData(kRuntime, {"report", "history", "-o", out}).status, 0);  // files are required
}

}  // namespace
