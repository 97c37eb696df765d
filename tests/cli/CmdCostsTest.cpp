// `subset` and `costs summary` on the Iowa sample project with the shipped reference files.
#include <gtest/gtest.h>

#include "../support/CliRun.h"

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

}  // namespace
