// The worksheet report beyond the worked example's costs: the nutrient page's balance and its
// exceptions, hidden costs, unboxed output and the text roles of document output.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "WorkedExample.h"
#include "reports/NutrEngine.h"
#include "reports/TxtFile.h"
#include "reports/WrkNutr.h"
#include "vocab/CropVocab.h"

namespace {

// Field 101 after soybeans, Iowa: the engine's corn N need before the soybean credit is 190 and
// 140 after it, so the credit is 50; P2O5 0 and K2O 45. Applied: 150 lb 82-0-0 = 123 lb N, 150 lb
// 11-52-0 = 16.5 lb N and 78 lb P2O5; N 139.5 rounds (to even) to 140. Total N 50 + 140 = 190,
// excess 0; P2O5 excess 78 worth 78 x $0.75 = $58.50 dry; K2O deficit 45.
TEST(Worksheet, NutrientPageBalancesTheWorkedExampleAgainstTheRecommendations) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TStateTables& tables = *ex.file.StateTables();
  const TNutrientBalance b = ComputeNutrientBalance(ex.rec, tables, ex.ref.Mdf);
  TNutrEngine engine(tables);
  const int columns[kNutrients] = {rcN, rcP2O5, rcK2O};
  for (int n = 0; n < kNutrients; ++n) {
    double recommended = 0;
    ASSERT_TRUE(engine.DefaultRec(columns[n], ex.rec, recommended));
    EXPECT_FLOAT_EQ(b.Need[n] - (n == nuN ? b.LegumeCredit : 0.0f), static_cast<float>(recommended)) << n;
  }
  EXPECT_FLOAT_EQ(b.LegumeCredit, 50);

  TTempDir dir;
  TWorksheetSettingsRec s;
  s.IncludeCostWorksheet = false;
  std::vector<std::string> page = ex.Worksheet(s, ex.rec, dir.File("n.txt"));
  ASSERT_EQ(ex.error, "");
  const auto line = [&page](const std::string& start) { return TWorkedExample::LineStarting(page, start); };
  EXPECT_EQ(page[2], "|                             NUTRIENT MANAGEMENT                              |");
  EXPECT_EQ(line("| Current crop:"), "| Current crop:   Corn           Yield:  205.6 Bu/A       Goal:   210.0 Bu/A   |");
  EXPECT_EQ(line("| Previous crop:"), "| Previous crop:  Soybeans       Yield:   58.0 Bu/A                            |");
  // No Iowa rate is checked against the current edition of its source: each need and the credit is
  // marked, and the mark explained.
  EXPECT_EQ(line("| Crop nutrient"), "| Crop nutrient needs                        190 (p)       0 (p)      45 (p)   |");
  EXPECT_EQ(line("|   Previous"), "|   Previous legume N credit                  50 (p)                           |");
  EXPECT_EQ(line("|   (p)"), "|   (p) Provisional: not checked against the publication's table.              |");
  EXPECT_EQ(line("|   Nutrients applied as N"), "|   Nutrients applied as N-P-K               140          78           0       |");
  EXPECT_EQ(line("| Total"), "| Total nutrients supplied                   190          78           0       |");
  EXPECT_EQ(line("| Excess"), "| Excess (deficit) applied                     0          78         (45)      |");
  EXPECT_EQ(line("| Value"), "| Value of excess applied ($/A)                       $58.50 Dry               |");
  EXPECT_EQ(line("***"), "");

  // A custom N recommendation, a basal N test, a manure row without a rate, irrigation water by
  // the gallon and no P test.
  TFieldRec rec = ex.rec;
  rec.SetFlag(rfCustN, true);
  rec.Cust_NRec = 150;
  rec.Basal_N = 700;
  rec.Man_Input[0] = 3102;
  rec.Othr_Input[9] = 7002;
  rec.Othr_Rate[9] = 2;
  rec.Othr_Units[9] = 7;
  rec.P = 0;
  page = ex.Worksheet(s, rec, dir.File("exceptions.txt"));
  EXPECT_EQ(line("| Crop nutrient"), "| Crop nutrient needs                        150 (\xA4)                  45 (p)   |");
  EXPECT_EQ(line("|   Previous"), "|   Previous legume N credit                                                   |");
  EXPECT_EQ(line("|   Nutrients applied as m"), "|   Nutrients applied as manure                                                |");
  EXPECT_EQ(line("|   N applied"), "|   N applied in irrigation water                                              |");
  EXPECT_EQ(line("| Total"), "| Total nutrients supplied                   140 (*)      78           0       |");
  EXPECT_EQ(line("| Excess"), "| Excess (deficit) applied                   (10)                    (45)      |");
  EXPECT_EQ(line("|   (\xA4)"), "|   (\xA4) Indicates a custom fertilizer recommendation.                          |");
  EXPECT_EQ(line("|   (*)"), "|   (*) The crop's basal nitrogen test (700 ppm) indicates that                |");
  EXPECT_EQ(line("|       the"), "|       the optimal amount of N was available.                                 |");
  const std::string warnings[] = {
      "***  Warning: Unable to calculate one or more nutrient needs!  ***",
      "     The field's state or crop may not be supported, or",
      "     required soil test or other data may be missing.",
      "     Corn P2O5: Needs a soil phosphorus test (Soil Tests page).",
      "",
      "***  Warning: Unable to calculate one or more manure nutrients!  ***",
      "     The field's state or manure type may not be supported, or",
      "     required manure application or other data may be missing.",
      "",
      "***  Warning: Unable to calculate one or more irrigation N credits!  ***",
      "     Required irrigation data may be missing.",
      "",
      "Explanatory notes:"};
  const auto first = std::find(page.begin(), page.end(), warnings[0]);
  ASSERT_NE(first, page.end());
  for (size_t k = 0; k < std::size(warnings); ++k) EXPECT_EQ(first[static_cast<long>(k)], warnings[k]);
}

// With input costs hidden every price and cost column is underscores, while the removal cost,
// land rents and five-year income still show; unboxed output has no box characters and no padding.
TEST(Worksheet, HiddenCostsUnboxed) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TTempDir dir;
  TWorksheetSettingsRec s;
  s.ShowInputCosts = false;
  s.Boxed = false;
  const std::vector<std::string> page = ex.Worksheet(s, ex.rec, dir.File("hidden.txt"));
  ASSERT_EQ(ex.error, "");
  const auto line = [&page](const std::string& start) { return TWorkedExample::LineStarting(page, start); };
  EXPECT_EQ(line("    Pioneer"), "    Pioneer P1185AM                 34000 Seeds  _______/80K Bag _________");
  EXPECT_EQ(line("  Total seed"), "  Total seed cost" + std::string(48, ' ') + "_________ +");
  EXPECT_EQ(line("  N applied"), "  N applied + P and K removal cost                                  215.06");
  EXPECT_EQ(line("  Calculated"), "  Calculated land cash rent value                                   302.00 +");
  EXPECT_EQ(line("  Interest"), "  Interest on $________ for 6 months" + std::string(13, ' ') + "_______%        _________ +");
  EXPECT_EQ(line("TOTAL COST"), "TOTAL COST" + std::string(39, ' ') + "_______/Bushel  _________ =");
  EXPECT_EQ(line("  Corn @ c"), "  Corn @ current price              205.6 Bushel _______/Bushel  _________");
  EXPECT_EQ(line("  Corn @ 5"), "  Corn @ 5-year price               205.6 Bushel    5.17/Bushel    1062.95 +");
  EXPECT_EQ(line("PROFIT"), "PROFIT (OR LOSS)" + std::string(49, ' ') + "_________");
  for (const std::string& text : page) {
    EXPECT_EQ(text.find('|'), std::string::npos) << text;
    EXPECT_EQ(text.find("=="), std::string::npos) << text;
    EXPECT_EQ(text.find("--"), std::string::npos) << text;
  }
  // The separators are empty lines: the title, an empty line, the first heading.
  EXPECT_EQ(page[1], "");
  EXPECT_EQ(page[2], std::string(26, ' ') + "PRODUCTION COST WORKSHEET");
  EXPECT_EQ(page[3], "");
  EXPECT_EQ(page[4], "FIELD INFORMATION");
}

// Document output writes only the style and colour changes between segments; the box characters
// are written in the plain style.
TEST(Worksheet, TextRolesInRtf) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TTempDir dir;
  TWorksheetSettingsRec s;
  s.Roles[trHeading] = {tsBold | tsItalic, 5};
  s.Roles[trLabel] = {0, 8};
  s.FontSize = 12;
  ex.Worksheet(s, ex.rec, dir.File("roles.rtf"));
  ASSERT_EQ(ex.error, "");
  const std::string rtf = ReadWholeFile(dir.File("roles.rtf"));
  // Left margin (8.5 - 80 x 12 / 120) / 2 = 0.25 inch.
  EXPECT_NE(rtf.find("\\margl360\\margr360\\margt720\\margb720 "), std::string::npos);
  EXPECT_NE(rtf.find("\\sl-240 \\f0\\fs24 "), std::string::npos);
  EXPECT_NE(rtf.find("\\par |\\cf6 \\b \\i " + std::string(27, ' ') + "PRODUCTION COST WORKSHEET" +
                     std::string(26, ' ') + "\\i0 \\b0 \\cf1 |"),
            std::string::npos);
  EXPECT_NE(rtf.find("\\par |\\cf9    Field ID:   \\cf1 \\b 101              \\b0 \\cf9 Field Name:"), std::string::npos);
  EXPECT_NE(rtf.find("\\cf9 Planted: \\cf1 \\b 5/2/2024"), std::string::npos);
}

// Wheat harvested as a first crop, then double-crop soybeans on their goal: both crops' seed,
// hauling and income on the cost page (wheat 1.8 bu x $18 = 32.40; hauling 70 and 40 bu x $0.16),
// and both crops' needs on the nutrient page (N 80 + 0 against 190 supplied, K2O 21 + 48 = 69).
TEST(Worksheet, DoubleCropShowsBothCrops) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TFieldRec rec = ex.rec;
  rec.Cov_Crop = 3;  // wheat
  rec.Cov_PlRate = 1.8f;
  rec.Cov_Yield = 70;
  rec.Cur_Crop = crSoybeans;
  rec.Cur_PlRate = 140000;
  rec.Cur_Yield = 0;
  rec.Cur_Goal = 40;
  rec.Cur_Mois = 0;
  for (auto& trait : rec.Biotech) trait = 0;
  TTempDir dir;
  const std::vector<std::string> page = ex.Worksheet(TWorksheetSettingsRec{}, rec, dir.File("double.txt"));
  ASSERT_EQ(ex.error, "");
  const auto line = [&page](const std::string& start) { return TWorkedExample::LineStarting(page, start); };
  EXPECT_EQ(line("|     Wheat seed"), "|     Wheat seed                        1.8 Bushel   18.00/Bushel      32.40   |");
  EXPECT_EQ(line("|   Total seed"), "|   Total seed cost                                                   148.26 + |");
  EXPECT_EQ(line("|   Wheat harvest"), "|   Wheat harvest hauling charge                      0.16/Bushel      11.20 + |");
  EXPECT_EQ(line("|   Soybeans harvest"), "|   Soybeans harvest hauling charge                   0.16/Bushel       6.40 + |");
  EXPECT_EQ(line("|   Wheat @ 5"), "|   Wheat @ 5-year price               70.0 Bushel    6.80/Bushel     476.00 + |");
  EXPECT_EQ(line("|   Soybeans @ 5"), "|   Soybeans @ 5-year price            40.0 Bushel*  12.14/Bushel     485.60 + |");
  EXPECT_EQ(line("| TOTAL INCOME"), "| TOTAL INCOME                                                        961.60 = |");
  EXPECT_EQ(line("| Cover crop:"), "| Cover crop:     Wheat          Yield:   70.0 Bu/A       Goal:                |");
  const auto needs = std::find(page.begin(), page.end(), "| Crop nutrient needs" + std::string(58, ' ') + "|");
  ASSERT_NE(needs, page.end());
  // Each crop's provisional needs are marked in its own line, in the columns of the needs above.
  EXPECT_EQ(needs[1], "|   Wheat                                     80 (p)       0 (p)      21 (p)   |");
  EXPECT_EQ(needs[2], "|   Soybeans                                   0 (p)       0 (p)      48 (p)   |");
  EXPECT_EQ(line("| Excess"), "| Excess (deficit) applied                   110          78         (69)      |");
  EXPECT_EQ(line("| Value"), "| Value of excess applied ($/A)           $55.00 Gas  $58.50 Dry               |");
  EXPECT_EQ(line("|                                      or"),
            "|                                      or $82.50 Liq                           |");
}

// Cancelled from the progress callback, the report leaves no file and no error.
TEST(Worksheet, CancelledReportLeavesNothing) {
  TWorkedExample ex;
  ASSERT_TRUE(ex.Open()) << ex.error;
  TTempDir dir;
  TWorksheetSettingsRec s;
  s.RecordsMode = rmAll;
  s.OutputFileName = dir.File("cancelled.rtf");
  s.OutputKind = okRtf;
  s.SaveToFile = true;
  int calls = 0;
  TWorksheetRun run{ex.file, ex.ref.Mdf, nullptr, nullptr, [&calls](int done, int total) {
                      EXPECT_EQ(done, calls++);
                      EXPECT_EQ(total, 12);
                      return done < 3;
                    }};
  bool cancelled = false;
  EXPECT_EQ(RunWorksheetReport(s, "Tesserel", run, nullptr, &cancelled), "");
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(calls, 4);
  EXPECT_FALSE(std::filesystem::exists(s.OutputFileName));
}

}  // namespace
