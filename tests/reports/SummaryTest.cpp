// The ranked and tabular summaries of a small hand-built Iowa project, checked line by line
// against figures computed by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "../support/RefSamples.h"
#include "../support/TempDir.h"
#include "common/Locale.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/RankSum.h"
#include "reports/RecSubset.h"
#include "reports/TabSum.h"
#include "store/LoadedRefs.h"
#include "store/MdaFile.h"
#include "vocab/UnitVocab.h"

namespace {

// Prices only: corn $4.00 and soybeans $10.00 a bushel at five-year prices, corn silage $40 a ton;
// two other inputs whose cost the record carries, one a field operation, one an other input.
// Without seed, fertilizer, interest, hauling or drying costs, a field's total cost is its rent plus
// its other input costs, and its income its yield times the price.
TMdfContents PriceCatalogue() {
  TMdfContents c;
  c.Release = EncodeDay(2025, 1, 15);
  c.Country = 1;
  c.Inputs = {
      {1601, "Corn price 5-yr", 4.0f, unBushel, unBushel, kAllCrops, 0, 0},
      {1602, "Soybean price 5-yr", 10.0f, unBushel, unBushel, kAllCrops, 0, 0},
      {1619, "Corn silage price 5-yr", 40.0f, unTon, unTon, kAllCrops, 0, 0},
      {1701, "Corn price", 5.0f, unBushel, unBushel, kAllCrops, 0, 0},
      {7001, "Custom work", 0, unAcre, unAcre, kAllCrops, 6, 0},
      {7002, "Scouting", 0, unAcre, unAcre, kAllCrops, 0, 0},
  };
  return c;
}

struct TField {
  int id;
  const char* name;
  uint16_t crop, prev, till;
  float yield, goal, rent;
  uint16_t input;  // 7001 field operation, 7002 other input
  float inputCost;
  float acres;
};

// The six fields of the project, per acre:
//   id  crop prev till yield        total cost            income      profit  unit cost
//   101 corn soy  NT   200          150 rent + 100 oper   800         550     1.25
//   102 corn soy  MT   goal 180 *   200 + 60 oper = 260   720         460     1.4444
//   103 soy  corn NT   50           150 + 50 other = 200  500         300     4.00
//   104 soy  corn ST   40           210 + 250 oper = 460  400         -60     11.50
//   105 corn soy  NT   200          290 + 100 oper = 390  800         410     1.95
//   106 corn corn --   none         100 rent              0           -100    0 (no yield)
// The acres differ widely; the summaries average per field, not per acre.
const TField kFields[] = {
    {101, "North", 1, 2, 1, 200, 0, 150, 7001, 100, 10}, {102, "South", 1, 2, 2, 0, 180, 200, 7001, 60, 20},
    {103, "East", 2, 1, 1, 50, 0, 150, 7002, 50, 30},    {104, "West", 2, 1, 3, 40, 0, 210, 7001, 250, 40},
    {105, "Hill", 1, 2, 1, 200, 0, 290, 7001, 100, 90},  {106, "Creek", 1, 1, 0, 0, 0, 100, 0, 0, 5},
};

// The sample county names with Iowa grown to 130 counties: Adair, Adams, County 3, ...
TMcnContents Counties() {
  TMcnContents c = SampleCounties();
  for (uint16_t n = 3; n <= 130; ++n) c.States[1].Counties.push_back({"County " + std::to_string(n), n});
  return c;
}

TFieldRec Record(const TField& f) {
  TFieldRec r = NewRecordTemplate(f.id, 2024, 2);
  r.County = f.id <= 103 ? 1 : 2;
  r.Field_Name = f.name;
  r.Cur_Crop = f.crop;
  r.Prev_Crop = f.prev;
  r.Cur_Till = f.till;
  r.Cur_Yield = f.yield;
  r.Cur_Goal = f.goal;
  r.Rent_Value = f.rent;
  r.Othr_Input[0] = f.input;
  r.Othr_Cost[0] = f.inputCost;
  r.Field_Size = f.acres;
  return r;
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kHeading = Lines({
    "     [This report prepared by Me at 9:05:03 AM on Wed 5/1/2024]",
    "",
    "Project title:  Summary test",
    "Project file:   summary.tsj",
    "Cost file:      stnd-usa.mdf",
    "Year:           2024",
    "State:          Iowa",
    "",
    "",
});

const std::string kNotes = Lines({
    "Note:  Fertilizer cost represents applied N-P-K costs.",
    "       Income was calculated using 5-year selling price.",
    "",
});

class SummaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinUsLocale();
    SetReportClock([] { return TReportTime{2024, 5, 1, 9, 5, 3, 3}; });
    std::string message;
    ASSERT_TRUE(WriteMcnFile(Dir.File("usa.mcn"), Counties(), message)) << message;
    ASSERT_TRUE(WriteMdfFile(Dir.File("stnd-usa.mdf"), PriceCatalogue(), message)) << message;
    ASSERT_TRUE(Mcn.Load(Dir.File("usa.mcn")));
    ASSERT_TRUE(Mdf.Load(Dir.File("stnd-usa.mdf")));
    ASSERT_TRUE(File.CreateProject(Dir.File("summary.tsj"), 2, Refs, "Summary test", 2024));
    for (const TField& f : kFields) Add(Record(f));
    Subset.Attach(File);
  }
  void TearDown() override { SetReportClock({}); }

  void Add(const TFieldRec& rec) { ASSERT_TRUE(File.WriteRecord(File.RecordCount() + 1, rec, false)); }

  // The report as plain text, or its error text.
  template <class TDoc, class TSettings>
  std::string Run(const TSettings& settings) {
    const std::string error =
        WriteSummaryFile<TDoc>(Dir.File("out.txt"), okText, settings, Subset, "Me", File, Mdf);
    return error.empty() ? ReadWholeFile(Dir.File("out.txt")) : error;
  }

  TTempDir Dir;
  TMcnFile Mcn;
  TMdfFile Mdf;
  TLoadedRefs Refs{Mcn, Mdf};
  TMdaFile File;
  TRecordSubset Subset;
};

// Default columns, rows by yield. The shell sort over the yields 200, 180, 50, 40, 200, 0 (records
// 1..6) first swaps positions 2 and 5 (gap 3), then moves 180 up to position 3 (gap 1): 101, 105,
// 102, 103, 104, 106; the tie 101/105 keeps record order. Unit costs negated: 106 (no yield, 0)
// ranks first, then 1.25, 1.44, 1.95, 4.00, 11.50. Profits: 550, 460, 410, 300, -60, -100.
// Averages over the six fields: operations 510 / 6 = 85.00; yield 670 / 6 = 111.7; unit cost
// (1.25 + 1.4444 + 4 + 11.5 + 1.95 + 0) / 6 = 3.357 -> 3.36; profit 1560 / 6 = 260.00.
TEST_F(SummaryTest, RankedSummaryRanksThreeWaysAndAveragesPerField) {
  TRankedSummarySettingsRec s;
  EXPECT_EQ(Run<TRankedSummaryDoc>(s),
            kHeading + Lines({
                           "          Cur Pre Cur   ----Costs ($/A)----  ---Yield--  ---Cost--  ---Profit--",
                           "Field ID  Crp Crp Til    Fert   Pest   Oper   Bu/A Rank  $/Bu Rank    $/A  Rank",
                           "",
                           "101        C   B   NT    0.00   0.00 100.00  200.0    1  1.25    2  550.00    1",
                           "105        C   B   NT    0.00   0.00 100.00  200.0    2  1.95    4  410.00    3",
                           "102        C   B   MT    0.00   0.00  60.00  180.0*   3  1.44    3  460.00    2",
                           "103        B   C   NT    0.00   0.00   0.00   50.0    4  4.00    5  300.00    4",
                           "104        B   C   ST    0.00   0.00 250.00   40.0    5 11.50    6  (60.00)   5",
                           "106        C   C         0.00   0.00   0.00    0.0*   6  0.00    1 (100.00)   6",
                           "",
                           "Average                  0.00   0.00  85.00  111.7       3.36       260.00     ",
                           "",
                           "",
                           "",
                       }) + kNotes);

  // By profit, with the name, land, total and income columns: land 1100 / 6 = 183.33, total
  // 1660 / 6 = 276.67, income 3220 / 6 = 536.67. The cost heading over 15 characters: two blanks,
  // (15 - 11) div 2 - 1 = 1 dash, the caption, one dash.
  s.RankBy = rbProfit;
  s.Columns = TRankedColumns().set(rcFieldName).set(rcLand).set(rcTotal).set(rcIncome).set(rcProfit);
  const std::string byProfit = Run<TRankedSummaryDoc>(s);
  EXPECT_NE(byProfit.find(Lines({
                "                         -Costs ($/A)-          ---Profit--",
                "Field Name      Subfld    Land   Total  Income    $/A  Rank",
                "",
                "North                   150.00  250.00  800.00  550.00    1",
                "South                   200.00  260.00  720.00  460.00    2",
                "Hill                    290.00  390.00  800.00  410.00    3",
                "East                    150.00  200.00  500.00  300.00    4",
                "West                    210.00  460.00  400.00  (60.00)   5",
                "Creek                   100.00  100.00    0.00 (100.00)   6",
                "",
                "Average                 183.33  276.67  536.67  260.00     ",
            })),
            std::string::npos)
      << byProfit;

  // Soybean fields by unit cost (4.00 before 11.50), total and profit alone: no average label, and
  // the heading over the total alone is "$/A" with one dash before and two after.
  s.RankBy = rbUnitCost;
  s.Columns = TRankedColumns().set(rcTotal).set(rcProfit);
  s.RecordsMode = 1;
  std::string error;
  ASSERT_TRUE(Subset.ApplySpec("Current crop=Soybeans", error)) << error;
  EXPECT_NE(Run<TRankedSummaryDoc>(s).find(Lines({
                "  -$/A--  ---Profit--",
                "   Total    $/A  Rank",
                "",
                "  200.00  300.00    1",
                "  460.00  (60.00)   2",
                "",
                "  330.00  120.00     ",
            })),
            std::string::npos);
}

// Table per current crop, row per tillage, default columns. Record 106 has no tillage and is left
// out; tillage rows without fields and crops without fields are not printed.
//   Corn, No-till (101, 105): oper 100.00, total (250 + 390) / 2 = 320.00, yield 200.0, unit cost
//     (1.25 + 1.95) / 2 = 1.60, profit (550 + 410) / 2 = 480.00. Mulch-till (102): 60, 260, 180.0,
//     1.44, 460. Average over the 3 fields (not of the rows): oper 260 / 3 = 86.67, total 900 / 3 =
//     300.00, yield 580 / 3 = 193.3, unit cost (1.25 + 1.95 + 1.4444) / 3 = 1.55, profit 473.33.
//     Weighted by acres (10, 90, 20) the total would be 353.33 instead.
//   Soybeans, No-till (103) and Strip-till (104); average oper 125.00, total 330.00, yield 45.0,
//     unit cost 7.75, profit 120.00.
TEST_F(SummaryTest, TabularSummaryAveragesPerFieldAndLeavesUnknownCategoriesOut) {
  TTabularSummarySettingsRec s;
  const std::string header = "Current tillage  Fields    Fert    Pest    Oper   Total   Yield  Cst/Bu  Profit";
  EXPECT_EQ(Run<TTabularSummaryDoc>(s),
            kHeading + Lines({
                           "          Current crop:  Corn",
                           "",
                           header,
                           "",
                           "No-till               2    0.00    0.00  100.00  320.00   200.0    1.60  480.00",
                           "Mulch-till            1    0.00    0.00   60.00  260.00   180.0    1.44  460.00",
                           "",
                           "Average               3    0.00    0.00   86.67  300.00   193.3    1.55  473.33",
                           "",
                           "",
                           "          Current crop:  Soybeans",
                           "",
                           header,
                           "",
                           "No-till               1    0.00    0.00    0.00  200.00    50.0    4.00  300.00",
                           "Strip-till            1    0.00    0.00  250.00  460.00    40.0   11.50  -60.00",
                           "",
                           "Average               2    0.00    0.00  125.00  330.00    45.0    7.75  120.00",
                           "",
                           "",
                           "",
                       }) + kNotes);

  // The subset's records only, with Mulch-till and Strip-till unticked: 102 and 104 fall out, and
  // 106 without tillage too (an unknown category only passes a fully ticked type). Rows by county,
  // named by the ticked county names: corn 101 in Adair, 105 in Adams; soybeans 103 in Adair.
  s.RecordsMode = 1;
  s.RowType = sdCounty;
  s.Columns = TTabularColumns().set(tcFields).set(tcTotal);
  std::string error;
  ASSERT_TRUE(Subset.ApplySpec("Current tillage=No-till,Ridge-till,Reduced-till,Conventional", error)) << error;
  EXPECT_NE(Run<TTabularSummaryDoc>(s).find(Lines({
                "          Current crop:  Corn",
                "",
                "County                Fields   Total",
                "",
                "Adair                      1  250.00",
                "Adams                      1  390.00",
                "",
                "Average                    2  320.00",
                "",
                "",
                "          Current crop:  Soybeans",
                "",
                "County                Fields   Total",
                "",
                "Adair                      1  200.00",
                "",
                "Average                    1  200.00",
            })),
            std::string::npos);
}

// Corn silage yields tons, so the units differ; a harvested wheat first crop makes the field
// double cropped. With no field selected, or none that fits the tables, a summary fails and
// writes nothing.
TEST_F(SummaryTest, WarningsLimitsAndFailures) {
  TFieldRec silage = Record({107, "Silo", 19, 1, 1, 20, 0, 100, 0, 0, 10});
  silage.Cov_Crop = 3;
  silage.Cov_Yield = 60;
  Add(silage);
  TRankedSummarySettingsRec ranked;
  ranked.Columns = TRankedColumns().set(rcYield).set(rcUnitCost);
  const std::string text = Run<TRankedSummaryDoc>(ranked);
  EXPECT_NE(text.find(Lines({"  ---Yield--  ---Cost--", "     /A Rank    $/ Rank", ""})), std::string::npos) << text;
  EXPECT_NE(text.find(Lines({"",
                             "Warning:  Yield units not the same for all fields in ranking.",
                             "",
                             "Warning:  With double cropped fields, unit cost represents ",
                             "          cost per unit of the primary crop's yield.",
                             "",
                            })),
            std::string::npos)
      << text;
  TTabularSummarySettingsRec tabular;
  EXPECT_NE(Run<TTabularSummaryDoc>(tabular).find("Warning:  Yield units not the same for all fields in summary."),
            std::string::npos);

  std::string error;
  ASSERT_TRUE(Subset.ApplySpec("Current crop=Wheat", error)) << error;
  ranked.RecordsMode = tabular.RecordsMode = 1;
  EXPECT_EQ(Run<TRankedSummaryDoc>(ranked), "No records in selected subset.");
  EXPECT_EQ(Run<TTabularSummaryDoc>(tabular), "No records in selected subset.");
  ASSERT_TRUE(Subset.ApplySpec("Current crop=Corn;Previous crop=Corn", error)) << error;  // 106, without tillage
  EXPECT_EQ(Run<TTabularSummaryDoc>(tabular),
            "No field fits the summary's tables: no selected record (of 1) has a known Current crop and Current "
            "tillage among the subset's ticked categories. Choose other data types for the tables and rows.");

  // At most 15000 cells and cell figures: Iowa's 130 counties as tables by the 17 current crops
  // give 2210 cells, with 6 figures 13260, with 7 figures 15470; counties by counties 16900 cells.
  tabular.RecordsMode = 0;
  tabular.TableType = sdCounty;
  tabular.RowType = sdCurCrop;
  tabular.Columns = TTabularColumns().set(tcFields);
  for (int c = tcSeed; c < tcSeed + 6; ++c) tabular.Columns.set(c);
  EXPECT_EQ(Run<TTabularSummaryDoc>(tabular).find("Too many"), std::string::npos);
  tabular.Columns.set(tcSeed + 6);
  EXPECT_EQ(Run<TTabularSummaryDoc>(tabular), "Too many categories to summarize.");
  tabular.RowType = sdCounty;
  tabular.Columns = TTabularColumns().set(tcFields);
  EXPECT_EQ(Run<TTabularSummaryDoc>(tabular), "Too many categories to summarize.");

  // 10000 fields are ranked, the 10001st is one too many.
  std::vector<TFieldRec> more(kMaxRankedRecords - File.RecordCount(), Record(kFields[0]));
  for (size_t i = 0; i < more.size(); ++i) more[i].Field_ID = static_cast<int32_t>(1000 + i);
  ASSERT_TRUE(File.WriteRecordBlock(File.RecordCount() + 1, static_cast<int>(more.size()), more.data(), false));
  ranked.RecordsMode = 0;
  ranked.Columns.set(rcProfit);
  // Ranks of five digits widen the rank columns by one: every row as long as the header, every
  // rank apart from its figure (by at least a blank, or the yield's "*" and the loss's ")").
  const std::string wide = Run<TRankedSummaryDoc>(ranked);
  const std::regex row(R"( *[0-9.]+[ *] *[0-9]+ +[0-9.]+ +[0-9]+ +\(?[0-9.]+[ )] *[0-9]+)");
  const size_t header = wide.find("  ---Yield---  ---Cost---  ---Profit---\r\n");
  ASSERT_NE(header, std::string::npos) << wide.substr(0, 2000);
  size_t rows = 0;
  std::istringstream lines(wide.substr(wide.find("\r\n", header) + 2));
  std::string width, line;
  std::getline(lines, width);
  std::getline(lines, line);
  while (std::getline(lines, line) && line.size() > 1) {
    line.pop_back();  // the CR
    EXPECT_EQ(line.size() + 1, width.size()) << line;
    EXPECT_TRUE(std::regex_match(line, row)) << line;
    ++rows;
  }
  EXPECT_EQ(rows, static_cast<size_t>(kMaxRankedRecords));
  Add(Record(kFields[0]));
  EXPECT_EQ(Run<TRankedSummaryDoc>(ranked), "Too many records to rank.");

  ranked.UseCustomCosts = true;
  ranked.CustomCostFile = Dir.File("none.mcc");
  std::filesystem::remove(Dir.File("out.txt"));
  EXPECT_EQ(Run<TRankedSummaryDoc>(ranked).rfind(Dir.File("none.mcc") + "\r\n", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("out.txt")));
}

}  // namespace
