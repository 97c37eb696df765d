// `subset`, `costs summary` and the summaries (`report ranked`, `report tabular`) on the Iowa
// sample project with the shipped reference files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../support/CliRun.h"
#include "../support/TempDir.h"

namespace {

const std::string kRuntime = TESSEREL_RUNTIME_DIR;
const std::string kIowa = kRuntime + "/samples/iowa-2024.tsj";

TCliRun Tool(std::vector<std::string> args) {
  args.push_back("--data-dir");
  args.push_back(kRuntime);
  return RunTool(args);
}

TEST(CmdCostsTest, SubsetPrintsPassingRecordsAndNamesABadPart) {
  TCliRun r = Tool({"subset", kIowa, "--subset", "3=corn;Current tillage=Mulch-till,1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\n3\n5\n7\n9\n11\n");
  r = Tool({"subset", kIowa, "--subset", "current crop=2;slope=>12%"});
  EXPECT_EQ(r.out, "");
  r = Tool({"subset", kIowa, "--subset", "current crop=Corn;Tillage=1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unknown data type in \"Tillage=1\".\n");
  r = Tool({"subset", kIowa, "--subset", "3=Corn,19"});
  EXPECT_EQ(r.err, "Unknown item \"19\" of Current crop.\n");
}

// Record 1 is the worked example of the report tests: removal cost, current prices, all soil loss.
// The seed cost of exactly 138.125 prints as 138.12: ties round to even.
TEST(CmdCostsTest, SummaryPrintsTheEighteenFiguresWithTheChosenOptions) {
  TCliRun r = Tool({"costs", "summary", kIowa, "1", "--removal", "--current-prices", "--any-soil-loss"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Seed=138.12\nAppliedFertilizer=130.73\nRemovalFertilizer=215.06\nFertilizerUsed=215.06\n"
            "Pesticides=56.88\nFieldOperations=118.74\nOtherInputs=0.00\nLand=302.00\nSoilLossCharge=10.20\n"
            "Hauling=32.90\nDrying=24.98\nCropCharges=20.56\nInterest=27.99\nIndirectCosts=418.63\n"
            "TotalCost=947.43\nCostPerYieldUnit=4.61\nIncome=842.96\nProfit=-104.47\n");
  r = Tool({"costs", "summary", kIowa, "1", "--custom", kRuntime + "/none.mcc"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind(kRuntime + "/none.mcc", 0), 0u) << r.err;
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// Field 101 with N-P-K removal cost, current prices and all soil loss charged costs 947.43 and
// earns 842.96 an acre (the figures of `costs summary` with the same options).
TEST(CmdCostsTest, RankedSummaryTakesColumnsOrderSubsetAndCostOptions) {
  TTempDir dir;
  const std::string out = dir.File("r.txt");
  TCliRun r = Tool({"report", "ranked", kIowa, "-o", out, "--columns", "field id,20, Total income", "--subset", "3=Corn",
                    "--rank-by", "profit", "--removal", "--current-prices", "--any-soil-loss"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadWholeFile(out);
  EXPECT_NE(text.find("\r\n101         947.43  842.96\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Field ID     Total  Income\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("N applied and P and K removal charge.\r\n       Income was calculated using current"),
            std::string::npos);
  EXPECT_EQ(text.find("\r\n102 "), std::string::npos) << "a soybean field is not in the subset";

  r = Tool({"report", "ranked", "--help"});
  EXPECT_NE(r.out.find("22 Yield and rank"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Default: 1,4,6,7,10,11,12,22,23,24"), std::string::npos) << r.out;

  r = Tool({"report", "ranked", kIowa, "-o", out, "--columns", "1,Yield"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unknown column \"Yield\".\n");
}

// The counts of the tables agree with the `subset` command's selection of the same categories.
TEST(CmdCostsTest, TabularSummaryTakesTableAndRowTypesByNameOrNumber) {
  TTempDir dir;
  const std::string out = dir.File("t.rtf");
  TCliRun r = Tool({"report", "tabular", kIowa, "-o", out, "--table", "current TILLAGE", "--rows", "3", "--columns",
                    "# Fields,Total cost"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadWholeFile(out);
  ASSERT_EQ(text.rfind("{\\rtf1", 0), 0u);
  const size_t corn = Lines(Tool({"subset", kIowa, "--subset", "3=Corn;6=Mulch-till"}).out);
  const size_t soybeans = Lines(Tool({"subset", kIowa, "--subset", "3=Soybeans;6=No-till"}).out);
  ASSERT_TRUE(corn > 0 && soybeans > 0);
  const auto row = [](const std::string& name, size_t count) {
    return name + std::string(13 - name.size(), ' ') + std::string(8 - std::to_string(count).size(), ' ') +
           std::to_string(count);
  };
  EXPECT_NE(text.find("Current tillage:  Mulch-till"), std::string::npos);
  EXPECT_NE(text.find(row("Corn", corn)), std::string::npos) << text;
  EXPECT_NE(text.find(row("Soybeans", soybeans)), std::string::npos) << text;
  EXPECT_NE(text.find("Current crop   Fields   Total"), std::string::npos) << text;

  r = Tool({"report", "tabular", kIowa, "-o", out, "--table", "17"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unknown data type \"17\".\n");
  r = Tool({"report", "tabular", kIowa, "-o", out, "--custom", dir.File("none.mcc")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Unable to generate the tabular summary for the following reason:\n\n" + dir.File("none.mcc") +
                            "\r\n", 0),
            0u)
      << r.err;
  // Columns must be chosen; a summary with nothing to show fails.
  r = Tool({"report", "tabular", kIowa, "-o", out, "--columns", ""});
  EXPECT_EQ(r.err, "You must include at least one data column.\n");
  EXPECT_EQ(r.status, 1);
  const std::string fresh = dir.File("fresh.tsj");  // one record without crop or tillage
  ASSERT_EQ(Tool({"new", fresh, "--state", "IA", "--year", "2024"}).status, 0);
  ASSERT_EQ(Tool({"add", fresh, "--id", "1"}).status, 0);
  r = Tool({"report", "tabular", fresh, "-o", dir.File("empty.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to generate the tabular summary for the following reason:\n\nNo field fits the summary's "
                   "tables: no selected record (of 1) has a known Current crop and Current tillage. Choose other data "
                   "types for the tables and rows.\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("empty.txt")));
}

}  // namespace
