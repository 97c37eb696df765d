#include <gtest/gtest.h>

#include <filesystem>

#include "../support/CliRun.h"
#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "reference/MccFile.h"
#include "reference/MdfFile.h"

namespace {

class CmdReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSampleReferenceFiles(dir.Path()); }

  TCliRun Run(std::vector<std::string> args) {
    args.push_back("--data-dir");
    args.push_back(dir.Path());
    return RunTool(args);
  }

  static size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

  TTempDir dir;
};

}  // namespace

TEST_F(CmdReferenceTest, StatesAndCounties) {
  TCliRun r = Run({"states"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), 4u);
  EXPECT_NE(r.out.find("  2 IA   Iowa           19          2"), std::string::npos) << r.out;
  r = Run({"counties", "nm"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("  1 Do\xC3\xB1" "a Ana             013"), std::string::npos) << r.out;  // UTF-8
  r = Run({"counties", "1"});
  EXPECT_NE(r.out.find("  3 Barbour              005"), std::string::npos) << r.out;
  r = Run({"counties", "TX"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("No state \"TX\""), std::string::npos);
}

TEST_F(CmdReferenceTest, InputsFilteredByCategoryTypeAndCrop) {
  TCliRun r = Run({"inputs"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), 22u);  // 21 listed inputs (the stray code is not) and the title line
  EXPECT_NE(r.out.find("4004 Atrazine 4L                         24.00 Gallon     Quart      C      M"),
            std::string::npos)
      << r.out;
  r = Run({"inputs", "--category", "3", "--type", "2"});
  EXPECT_EQ(Lines(r.out), 2u);
  EXPECT_NE(r.out.find("3101 Dairy lagoon"), std::string::npos);
  EXPECT_NE(r.out.find("0.01 Gallon"), std::string::npos) << r.out;
  r = Run({"inputs", "--category", "4", "--crop", "b"});
  EXPECT_EQ(Lines(r.out), 2u);
  EXPECT_NE(r.out.find("4036 Roundup PowerMAX"), std::string::npos);
  r = Run({"inputs", "--crop", "J"});
  EXPECT_EQ(r.status, 1);
  r = Run({"inputs", "--category", "8"});
  EXPECT_NE(r.status, 0);
}

TEST_F(CmdReferenceTest, CostsSaveAndShow) {
  const std::string path = dir.File("mine.mcc");
  TCliRun r = Run({"costs", "save", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("22 inputs"), std::string::npos);
  r = Run({"costs", "show", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "No cost differs from the standard costs.\n");
  // Change two costs the way the cost file editor would.
  TMdfFile mdf;
  ASSERT_TRUE(mdf.Load(dir.File("stnd-usa.mdf")));
  mdf.SetInputCost(4004, 19.5f);
  mdf.SetInputCost(2001, 0.4125f);
  TMccFile mcc;
  ASSERT_TRUE(mcc.SaveCosts(path, mdf));
  r = Run({"costs", "show", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), 3u);
  EXPECT_NE(r.out.find("2001 N, gas                               0.48     0.4125 Pound"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("4004 Atrazine 4L                         24.00      19.50 Gallon"), std::string::npos);
}

TEST_F(CmdReferenceTest, FailuresPrintTheFullErrorText) {
  TCliRun r = Run({"costs", "show", dir.File("missing.mcc")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("missing.mcc") + "\r\nCan't open file. File does not exist.\n");
  r = Run({"costs", "save", dir.File("mine.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("File does not have a valid extension (.mcc)."), std::string::npos);
  std::filesystem::remove(dir.File("stnd-usa.mdf"));
  r = Run({"inputs"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, dir.File("stnd-usa.mdf") + "\r\nCan't open file. File does not exist.\n");
  std::filesystem::remove(dir.File("usa.mcn"));
  r = Run({"states"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usa.mcn\r\nCan't open file."), std::string::npos);
}

TEST_F(CmdReferenceTest, DefinitionFileOfAnotherCountryIsRefused) {
  TMdfContents other = SampleCatalogue();
  other.Country = 2;
  std::string message;
  ASSERT_TRUE(WriteMdfFile(dir.File("stnd-usa.mdf"), other, message));
  const TCliRun r = Run({"inputs"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Wrong country for file."), std::string::npos);
}
