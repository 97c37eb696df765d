// costs set and costs list on the small sample definition file.
#include <gtest/gtest.h>

#include "../support/CliRun.h"
#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "Version.h"
#include "reports/TxtFile.h"

namespace {

class CmdCostFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSampleReferenceFiles(dir.Path());
    SetReportClock([] { return TReportTime{2026, 12, 9, 14, 30, 5, 3}; });
  }
  void TearDown() override { SetReportClock({}); }

  TCliRun Run(std::vector<std::string> args) { return RunToolWithData(dir.Path(), std::move(args)); }

  TTempDir dir;
};

// The editor's checks name the code and nothing is written; good values create the file from
// the standard costs, and later changes keep the costs set before.
TEST_F(CmdCostFileTest, SetCreatesAndChangesACostFile) {
  const std::string path = dir.File("mine.mcc");
  struct TCase {
    std::vector<std::string> args;
    std::string err;
  };
  const TCase refused[] = {
      {{"4004=19.5", "2001=999.5"}, "Input 2001: Cost is not in the range 0-999.\n"},
      {{"4004=abc"}, "Input 4004: Cost is invalid.\n"},
      {{"4005=1"}, "No input with code 4005 in " + dir.File("stnd-usa.mdf") + ".\n"},
      {{"4004"}, "\"4004\" is not CODE=COST.\n"},
  };
  for (const TCase& c : refused) {
    std::vector<std::string> args{"costs", "set", path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const TCliRun r = Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  TCliRun r = Run({"costs", "set", path, "4004=19.5", "2001=0.41254"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Created " + path + ": 2 costs set, the others standard costs.\n");
  r = Run({"costs", "set", path, "7002=12"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Changed " + path + ": 1 cost set.\n");
  r = Run({"costs", "show", path});
  EXPECT_EQ(r.out,
            "Code Name                             Standard     Custom Cost unit\n"
            "2001 N, gas                               0.48      0.413 Pound\n"
            "4004 Atrazine 4L                         24.00      19.50 Gallon\n"
            "7002 Irrigation water                     9.50      12.00 Inch\n");
  r = Run({"costs", "set", dir.File("mine.txt"), "4004=1"});
  EXPECT_EQ(r.status, 1);
}

// The listing of a custom cost file for soybeans: all seven categories, category 7 included and
// empty ones headed, costs with three decimals.
TEST_F(CmdCostFileTest, ListingOfACustomCostFile) {
  const std::string path = dir.File("mine.mcc");
  ASSERT_EQ(Run({"costs", "set", path, "4036=12.5"}).status, 0);
  const std::string out = dir.File("list.txt");
  TCliRun r = Run({"costs", "list", path, "-o", out, "--crops", "b"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string all = "CGBWOYRMFVKUTALHSEX";
  const std::string soy = "  B                ";
  const std::string expected =
      "     mine.mcc costs listed by " + std::string(TESSEREL_INTERNAL_NAME) + " " + TESSEREL_FILE_VERSION +
      " at 2:30:05 PM on Wed 12/9/2026\r\n"
      "                    (stnd-usa.mdf release date: 1/15/2025)\r\n"
      "\r\n"
      "          List of defined inputs for these crops:  B\r\n"
      "\r\n"
      "\r\n"
      "Input name                      Unit cost   Cost unit   App unit    Crops\r\n"
      "\r\n-- Miscellaneous inputs --\r\n"
      "Soil loss charge                    2.500   Ton         Ton         " + all + "\r\n"
      "Soybean check-off                   0.500   Acre        Acre        " + soy + "\r\n"
      "Food-grade premium                  0.300   Bushel      Bushel      C B                \r\n"
      "Herbicide tolerance FEE            12.000   Acre        Acre        C B                \r\n"
      "\r\n-- Fertilizer analysis components --\r\n"
      "N, gas                              0.480   Pound       Pound       " + all + "\r\n"
      "P2O5, dry                           0.620   Pound       Pound       " + all + "\r\n"
      "K2O, dry                            0.440   Ton         Pound       " + all + "\r\n"
      "\r\n-- Other fertilizers --\r\n"
      "Ag lime                            32.000   Ton         Ton         " + all + "\r\n"
      "Dairy lagoon                        0.010   Gallon      Gallon      " + all + "\r\n"
      "\r\n-- Herbicides --\r\n"
      "Roundup PowerMAX                   12.500   Gallon      WetOunce    " + all + "\r\n"
      "\r\n-- Insecticides and fungicides --\r\n"
      "\r\n-- Field and equipment operations --\r\n"
      "\r\n-- Other inputs --\r\n"
      "Irrigation water                    9.500   Inch        Inch        " + all + "\r\n";
  EXPECT_EQ(ReadWholeFile(out), expected);

  r = Run({"costs", "list", "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string standard = ReadWholeFile(out);
  EXPECT_EQ(standard.rfind("     stnd-usa.mdf costs listed by ", 0), 0u) << standard;
  EXPECT_NE(standard.find("for these crops:  All crops\r\n"), std::string::npos);
  EXPECT_NE(standard.find("Roundup PowerMAX                   30.000"), std::string::npos);
  EXPECT_EQ(Run({"costs", "list", "-o", out, "--crops", "Z"}).err,
            "Unknown crop letter \"Z\"; the crops are CGBWOYRMFVKUTALHSEX.\n");
  EXPECT_EQ(Run({"costs", "list", dir.File("none.mcc"), "-o", out}).status, 1);
}

}  // namespace
