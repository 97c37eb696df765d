// The worked example: field 101 "Home North" of the Iowa sample project (record 1), corn after
// soybeans, priced with the shipped catalogue and with a custom cost file.
#include <gtest/gtest.h>

#include "../support/TempDir.h"
#include "WorkedExample.h"
#include "reference/MccFile.h"
#include "store/CostCalc.h"
#include "reports/TxtFile.h"

namespace {

// Hand computation with the catalogue's standard costs (five-year prices, applied fertilizer,
// soil loss above T):
//   Seed: 34,000 seeds / 80,000 per bag = 0.425 bag x $280 = 119.00; SmartStax PRO fee 0.425 x $45
//     = 19.125 (same 80K bag unit as the seed); seed 138.125.
//   N-P-K: 150 lb 82-0-0 gas at 82 x 0.50 / 100 = $0.41/lb = 61.50; 150 lb 11-52-0 dry at
//     (11 x 0.65 + 52 x 0.75) / 100 = $0.4615/lb = 69.225; total 130.725. Applied N 61.50 + 10.725
//     = 72.225. Removal: 1.2 lb N x $0.50 x 205.6 bu = 123.36; (0.44 x 0.75 + 0.29 x 0.40) x 205.6
//     = 91.6976; removal cost 123.36 + 91.6976 = 215.0576.
//   Herbicides: Acuron Flexi 2.5 qt at $75/gal = 46.875; Roundup PowerMAX 3 32 oz at $40/gal = 10.00;
//     pesticides 56.875.
//   Operations: cultivator 17.75 + planter 25.25 + spraying 2 x 8.50 + anhydrous 14.70 + combine
//     44.04 = 118.74. Other inputs carry no cost of their own: 0.
//   Land: CSR 55% x 88 + 45% x 91 = 89.35, Iowa rents per CSR point: 89.35 x $3.38 = 302.003.
//   Soil loss 2.8 + 0.6 = 3.4 t below T 5.0: no charge.
//   Hauling 205.6 x $0.16 = 32.896. Drying 205.6 x (18.2 - 15.5) x $0.045 = 24.9804.
//   Crop charges: checkoff 205.6 x 0.01 = 2.056, insurance 205.6 x 0.09 = 18.504; 20.56.
//   Interest: (138.125 + 56.875 + 118.74 + 302.003 + 130.725) = 746.468 x 7.5% / 2 = 27.99255.
//   Total 746.468 + 27.99255 + 32.896 + 24.9804 + 20.56 = 852.89695; per bushel 4.14833.
//   Income 205.6 x $5.17 = 1062.952; profit 210.05505.
// With the custom costs of CustomCosts() (seed $300, N gas $0.60, rent $3.00 per CSR point, interest
// 8%, corn five-year price $4.50):
//   Seed 127.50 + 19.125 = 146.625; N-P-K 150 x 0.492 = 73.80 + 69.225 = 143.025; land 268.05;
//   interest (146.625 + 56.875 + 118.74 + 268.05 + 143.025) = 733.315 x 8% / 2 = 29.3326 (the float
//   sum is a little above 733.315 and prints as 733.32);
//   total 733.315 + 29.3326 + 32.896 + 24.9804 + 20.56 = 841.084; income 925.20; profit 84.116.
constexpr float kCent = 0.002f;

TEST(WorkedExample, CostsOfTheIowaCornFieldAtStandardAndCustomCosts) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TCostSheet s = ComputeCosts(ex.rec, ex.ref.Mdf, {});
  EXPECT_NEAR(s.CurrentSeed.Cost, 119.00f, kCent);
  ASSERT_EQ(s.Traits.size(), 1u);
  EXPECT_EQ(s.Traits[0].Name, "SmartStax PRO");
  EXPECT_NEAR(s.Seed, 138.125f, kCent);
  ASSERT_EQ(s.Npk.size(), 2u);
  EXPECT_NEAR(s.Npk[1].PricePerPound, 0.4615f, 0.00001f);
  EXPECT_NEAR(s.NpkTotal, 130.725f, kCent);
  EXPECT_NEAR(s.AppliedN, 72.225f, kCent);
  EXPECT_NEAR(s.RemovalCost, 215.0576f, kCent);
  EXPECT_NEAR(s.Pesticides, 56.875f, kCent);
  EXPECT_NEAR(s.FieldOperations, 118.74f, kCent);
  EXPECT_EQ(s.OtherInputs, 0);
  EXPECT_NEAR(s.WeightedRating, 89.35f, 0.0001f);
  EXPECT_NEAR(s.Land, 302.003f, kCent);
  EXPECT_EQ(s.SoilLoss, 0);
  EXPECT_NEAR(s.Hauling, 32.896f, kCent);
  EXPECT_NEAR(s.Drying, 24.9804f, kCent);
  EXPECT_NEAR(s.CropCharges, 20.56f, kCent);
  EXPECT_NEAR(s.Interest, 27.99255f, kCent);
  EXPECT_NEAR(s.TotalCost, 852.89695f, kCent);
  EXPECT_NEAR(s.CostPerUnit, 4.14833f, 0.00001f);
  EXPECT_NEAR(s.Income, 1062.952f, kCent);
  EXPECT_NEAR(s.Profit, 210.05505f, kCent);
  const TCostSummary sum = SummarizeCosts(s);
  EXPECT_NEAR(sum[TCostSummary::IndirectCosts], 302.003f + 27.99255f + 32.896f + 24.9804f + 20.56f, kCent);
  EXPECT_NEAR(sum[TCostSummary::TotalCost], s.TotalCost, kCent);

  TTempDir dir;
  ASSERT_TRUE(ex.SaveCustomCosts(dir.File("mine.mcc"))) << ex.error;
  TMccFile custom;
  ASSERT_TRUE(custom.LoadCosts(dir.File("mine.mcc"), ex.ref.Mdf)) << custom.FullErrorText();
  s = ComputeCosts(ex.rec, ex.ref.Mdf, {});
  EXPECT_NEAR(s.Seed, 146.625f, kCent);
  EXPECT_NEAR(s.NpkTotal, 143.025f, kCent);
  EXPECT_NEAR(s.Land, 268.05f, kCent);
  EXPECT_NEAR(s.Interest, 29.3326f, kCent);
  EXPECT_NEAR(s.TotalCost, 841.084f, kCent);
  EXPECT_NEAR(s.Income, 925.20f, kCent);
  EXPECT_NEAR(s.Profit, 84.116f, kCent);
}

// Removal cost, current prices and all soil loss: the figures the summaries and exports take.
//   Fertilizer used = removal 215.0576; soil loss 3.4 t x $3.00 = 10.20; income 205.6 x $4.10 = 842.96.
//   Indirect 302.003 + 10.20 + 32.896 + 24.9804 + 20.56 + 27.99255 = 418.63195; total 418.63195 +
//   138.125 + 56.875 + 118.74 + 215.0576 = 947.42955; profit -104.46955.
TEST(WorkedExample, SummaryWithRemovalCostCurrentPricesAndAnySoilLoss) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  const TCostSummary c = ex.file.CostSummary(ex.rec, true, true, false);
  const float expected[TCostSummary::kCount] = {
      138.125f, 130.725f, 215.0576f, 215.0576f, 56.875f, 118.74f, 0, 302.003f, 10.2f, 32.896f,
      24.9804f, 20.56f, 27.99255f, 418.63195f, 947.42955f, 947.42955f / 205.6f, 842.96f, -104.46955f};
  for (int i = 0; i < TCostSummary::kCount; ++i) EXPECT_NEAR(c[i], expected[i], kCent) << TCostSummary::Name(i);
}

}  // namespace

// The printed cost worksheet of the worked example: the figures of the hand computation above,
// rounded to cents (ties to even), in the 80-column boxed layout.
TEST(WorkedExample, PrintedWorksheetAtStandardAndCustomCosts) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TTempDir dir;
  TWorksheetSettingsRec s;
  s.IncludeNutrientPage = false;
  std::vector<std::string> page = ex.Worksheet(s, ex.rec, dir.File("standard.txt"));
  ASSERT_EQ(ex.error, "");
  EXPECT_EQ(page[0], "     [This report prepared by Tesserel 1.0.0 at 2:30:05 PM on Wed 12/9/2026]");
  EXPECT_EQ(page[1], "+" + std::string(78, '=') + "+");
  EXPECT_EQ(page[2], "|                           PRODUCTION COST WORKSHEET                          |");
  // Every line of the box is 80 characters wide, down to its bottom border.
  size_t bottom = 2;
  while (bottom < page.size() && page[bottom].rfind("+===", 0) != 0) ++bottom;
  EXPECT_EQ(bottom, 74u);
  for (size_t i = 1; i <= bottom && i < page.size(); ++i) EXPECT_EQ(page[i].size(), 80u) << page[i];
  const auto line = [&page](const std::string& start) { return TWorkedExample::LineStarting(page, start); };
  EXPECT_EQ(line("|   Cost file:"), "|   Cost file:  stnd-usa.mdf                                                   |");
  EXPECT_EQ(line("|     Pioneer"), "|     Pioneer P1185AM                 34000 Seeds   280.00/80K Bag    119.00   |");
  EXPECT_EQ(line("|     SmartStax"), "|     SmartStax PRO                                  45.00/80K Bag     19.12   |");
  EXPECT_EQ(line("|   Total seed"), "|   Total seed cost                                                   138.12 + |");
  EXPECT_EQ(line("|     11-52-0"), "|     11-52-0                           150 Pound   923.00/Ton         69.23   |");
  EXPECT_EQ(line("|   Total applied"), "|   Total applied N-P-K cost                                          130.73 + |");
  EXPECT_EQ(line("|   N applied +"), "|   N applied + P and K removal cost                                  215.06   |");
  EXPECT_EQ(line("|   Total pesticide"), "|   Total pesticide cost                                               56.88 + |");
  EXPECT_EQ(line("|   Total field"), "|   Total field operation cost                                        118.74 + |");
  EXPECT_EQ(line("|   Calculated"), "|   Calculated land cash rent value                                   302.00 + |");
  EXPECT_EQ(line("|   Soil loss"), "|   Soil loss charge                    1.6 Ton < T   No charge         0.00   |");
  EXPECT_EQ(line("|   Harvest"), "|   Harvest hauling charge                            0.16/Bushel      32.90 + |");
  EXPECT_EQ(line("|   Drying"), "|   Drying from 18.2% to 15.5%          2.7 %        0.045/%/Bushel    24.98 + |");
  EXPECT_EQ(line("|   Corn crop"), "|   Corn crop insurance                               0.09/Bushel      18.50 + |");
  EXPECT_EQ(line("|   Interest"), "|   Interest on $746.47 for 6 months                  7.50%            27.99 + |");
  EXPECT_EQ(line("| TOTAL COST"), "| TOTAL COST                                          4.15/Bushel     852.90 = |");
  EXPECT_EQ(line("|   Corn @ c"), "|   Corn @ current price              205.6 Bushel    4.10/Bushel     842.96   |");
  EXPECT_EQ(line("|   Corn @ 5"), "|   Corn @ 5-year price               205.6 Bushel    5.17/Bushel    1062.95 + |");
  EXPECT_EQ(line("| TOTAL INCOME"), "| TOTAL INCOME                                                       1062.95 = |");
  EXPECT_EQ(line("| PROFIT"), "| PROFIT (OR LOSS)                                                    210.06   |");
  EXPECT_EQ(line("***"), "***  Warning: Incomplete data used to calculate this worksheet!  ***");

  ASSERT_TRUE(ex.SaveCustomCosts(dir.File("mine.mcc"))) << ex.error;
  s.UseCustomCosts = true;
  s.CustomCostFile = dir.File("mine.mcc");
  page = ex.Worksheet(s, ex.rec, dir.File("custom.txt"));
  ASSERT_EQ(ex.error, "");
  EXPECT_EQ(line("|   Cost file:"), "|   Cost file:  mine.mcc                                                       |");
  EXPECT_EQ(line("|     Pioneer"), "|     Pioneer P1185AM                 34000 Seeds   300.00/80K Bag    127.50   |");
  EXPECT_EQ(line("|     82-0-0"), "|     82-0-0                            150 Pound   984.00/Ton         73.80   |");
  EXPECT_EQ(line("|   Total applied"), "|   Total applied N-P-K cost                                          143.03 + |");
  EXPECT_EQ(line("|   Calculated"), "|   Calculated land cash rent value                                   268.05 + |");
  EXPECT_EQ(line("|   Interest"), "|   Interest on $733.32 for 6 months                  8.00%            29.33 + |");
  EXPECT_EQ(line("| TOTAL COST"), "| TOTAL COST                                          4.09/Bushel     841.08 = |");
  EXPECT_EQ(line("| TOTAL INCOME"), "| TOTAL INCOME                                                        925.20 = |");
  EXPECT_EQ(line("| PROFIT"), "| PROFIT (OR LOSS)                                                     84.12   |");
  ex.ref.Mdf.ResetCosts();
}
