#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "../support/CliRun.h"
#include "../support/TempDir.h"
#include "common/DayNum.h"
#include "store/MdaLayout.h"
#include "filebase/RecFile.h"

namespace {

class CliBasicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("farm.tsj");
    TRecFile f;
    ASSERT_TRUE(f.Begin(path, kMdaBlockSize) && f.Commit());
    TMdaHeader h = NewHeader(1, 15, 2012);
    h.Rec_Count = 2;
    h.Title = "Home farm \xE9t\xE9";  // code page 1252
    ASSERT_TRUE(f.WriteRecords(0, 1, false, &h));
    TFieldRec r = NewRecordTemplate(100, 2012, 15);
    r.Field_Name = "North";
    r.Fert_N[0] = 46.0f;
    r.Plant_Date = EncodeDay(2012, 5, 1);
    ASSERT_TRUE(f.WriteRecords(1, 1, false, &r));
    r = NewRecordTemplate(200, 2012, 15);
    ASSERT_TRUE(f.WriteRecords(2, 1, false, &r));
    ASSERT_TRUE(f.Close());
  }
  TTempDir dir;
  std::string path;
};

TEST_F(CliBasicTest, RecordPrintsEveryFieldByName) {
  TCliRun r = RunTool({"record", path, "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Field_ID=100\n"), std::string::npos);
  EXPECT_NE(r.out.find("Field_Name=North\n"), std::string::npos);
  EXPECT_NE(r.out.find("Fert_N[1]=46\n"), std::string::npos);
  EXPECT_NE(r.out.find("Fert_N[10]=0\n"), std::string::npos);
  EXPECT_NE(r.out.find("Plant_Date=2012-05-01\n"), std::string::npos);
  EXPECT_NE(r.out.find("Cur_HDate=\n"), std::string::npos);
  EXPECT_NE(r.out.find("Soil_Slope[3]=-1\n"), std::string::npos);
  EXPECT_NE(r.out.find("Residue=-1\n"), std::string::npos);
}

TEST_F(CliBasicTest, HeaderTextsComeOutAsUtf8) {
  TCliRun r = RunTool({"header", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Title=Home farm \xC3\xA9t\xC3\xA9\n"), std::string::npos);
  EXPECT_NE(r.out.find("Rec_Count=2\n"), std::string::npos);
  EXPECT_NE(r.out.find("Version=7\n"), std::string::npos);
}

TEST_F(CliBasicTest, JsonIsOneObject) {
  TCliRun r = RunTool({"record", path, "1", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["Field_ID"], 100);
  EXPECT_EQ(j["Fert_N"][0], 46.0);
  EXPECT_EQ(j["Fert_N"].size(), 10u);
  EXPECT_EQ(j["Plant_Date"], "2012-05-01");
  EXPECT_TRUE(j["Cur_HDate"].is_null());
  EXPECT_EQ(nlohmann::json::parse(RunTool({"header", path, "--json"}).out)["Year"], 2012);
}

TEST_F(CliBasicTest, FailuresPrintTheFullErrorText) {
  TCliRun r = RunTool({"record", dir.File("missing.tsj"), "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("missing.tsj") + "\r\nCan't open file. File does not exist.\n");

  for (const char* n : {"3", "0", "-1"}) {
    r = RunTool({"record", path, n});
    EXPECT_EQ(r.status, 1) << n;
    EXPECT_EQ(r.err, path + "\r\nCan't read file.\n") << n;
  }

  const std::string shortFile = dir.File("short.tsj");
  WriteWholeFile(shortFile, std::string(100, '\0'));
  r = RunTool({"header", shortFile});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, shortFile + "\r\nCan't read file.\n");
}

TEST_F(CliBasicTest, VersionAndUsage) {
  TCliRun r = RunTool({"version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Tesserel Recordkeeper ", 0), 0u);
  EXPECT_NE(RunTool({}).status, 0);  // a command is required
  EXPECT_NE(RunTool({"record", path}).status, 0);
}

}  // namespace
