#include <gtest/gtest.h>

#include "../support/CliRun.h"
#include "../support/TempDir.h"

namespace {

const std::string kSample = std::string(TESSEREL_TEST_DATA_DIR) + "/textdb/ia.qri";

TEST(CmdTextDb, EvalPrintsValuesAndErrors) {
  TCliRun r = RunTool({"eval", "2+3*4"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "14\n");
  r = RunTool({"eval", "--", "-2^2"});  // after "--" a leading minus is part of the formula
  EXPECT_EQ(r.out, "-4\n");
  r = RunTool({"eval", "--", "--data-dir"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "error 7: Missing or invalid operand.\n");
  r = RunTool({"eval", "1/3"});
  EXPECT_EQ(r.out, "0.3333333333333333\n");
  r = RunTool({"eval", "cec*2 + iif(isnull(x), 1, 0)", "CEC=2.5", "x=NULL"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "6\n");
  r = RunTool({"eval", "X+1", "X=null"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "error 13: Result is null.\n");
  r = RunTool({"eval", "-0"});
  EXPECT_EQ(r.out, "0\n");
  r = RunTool({"eval", "A", "A=abc"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("A=abc"), std::string::npos);
}

TEST(CmdTextDb, QriCheckSignShow) {
  TTempDir dir;
  const std::string path = dir.File("ia.qri");
  WriteWholeFile(path, ReadWholeFile(kSample));
  TCliRun r = RunTool({"qri", "check", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 6), "OK IA ");
  const std::string crc = r.out.substr(6, 4);

  std::string text = ReadWholeFile(path);
  text.replace(text.find("DefPlanYrs=1"), 12, "DefPlanYrs=4");
  WriteWholeFile(path, text);
  r = RunTool({"qri", "check", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("CRC setting is \"" + crc + "\" but the file's checksum is "), std::string::npos);
  r = RunTool({"qri", "sign", path});
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunTool({"qri", "check", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.substr(6, 4), crc);

  r = RunTool({"qri", "show", path, "appregmo"});
  EXPECT_EQ(r.out, "[AppRegMo=1]\nAppRegion=1\nMonth=1\n[AppRegMo=2]\nAppRegion=1\nMonth=2\n");
  r = RunTool({"qri", "show", path, "Nothing"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "[Nothing] section is missing.\n");

  WriteWholeFile(path, "[InitInfo]\r\nFileVers=2\r\n");
  r = RunTool({"qri", "check", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "FileVers=2 setting in [InitInfo] section is invalid.\nValue must be 1.9. File is wrong version.\n");
  r = RunTool({"qri", "sign", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadWholeFile(path), "[InitInfo]\r\nFileVers=2\r\n");  // a file that does not load is left alone
}

}  // namespace
