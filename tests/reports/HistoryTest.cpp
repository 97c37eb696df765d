// The field history: three years made from the Iowa sample, each row checked against the one-year
// worksheet of the same record; the per crop figures and the ranking on a constructed set with
// ties; the refusals of the chosen files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "../support/SampleProjects.h"
#include "common/Parse.h"
#include "reports/FieldHist.h"
#include "reports/RecSubset.h"
#include "reports/WrkDoc.h"

namespace {

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : ReadWholeFile(path)) {
    if (c == '\n') lines.push_back(std::exchange(line, {}));
    else if (c != '\r') line += c;
  }
  return lines;
}

// "(12.50)" -> "-12.50", "78" -> "78".
std::string Signed(const std::string& text) {
  const std::string t = Trim(text);
  return t.size() > 2 && t.front() == '(' ? "-" + t.substr(1, t.size() - 2) : t;
}

// The amounts of a line in order, a parenthesised one negative.
std::vector<std::string> Amounts(const std::string& line) {
  std::vector<std::string> found;
  static const std::regex amount(R"(\(?-?[0-9]+(\.[0-9]+)?\)?)");
  for (auto it = std::sregex_iterator(line.begin(), line.end(), amount); it != std::sregex_iterator(); ++it)
    found.push_back(Signed(it->str()));
  return found;
}

std::string LineWith(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) return line;
  return {};
}

// The row of `year` in the block of field `id`.
std::string HistoryRow(const std::vector<std::string>& lines, int id, int year) {
  auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.rfind("Field ID " + std::to_string(id) + " ", 0) == 0;
  });
  for (; it != lines.end(); ++it)
    if (it->rfind(std::to_string(year) + " ", 0) == 0) return *it;
  return {};
}

class HistoryTest : public TSampleFixture {
 protected:
  void SetUp() override {
    TSampleFixture::SetUp();
    TMdaFile sample;
    OpenSample(sample, "iowa-2024");
    TRecordReader reader(sample);
    while (const TFieldRec* rec = reader.Next()) Sample.push_back(*rec);
    ASSERT_EQ(Sample.size(), 12u);
    State = sample.ProjectState();
  }

  std::string MakeYear(const std::string& name, int year, std::vector<TFieldRec> recs) {
    for (TFieldRec& r : recs) r.Year = static_cast<uint16_t>(year);
    std::sort(recs.begin(), recs.end(), [](const TFieldRec& a, const TFieldRec& b) { return a.Field_ID < b.Field_ID; });
    const std::string path = Dir.File(name);
    TMdaFile f;
    EXPECT_TRUE(f.CreateProject(path, State, Refs, "Farm " + std::to_string(year), static_cast<uint16_t>(year)));
    EXPECT_TRUE(f.WriteRecordBlock(1, static_cast<int>(recs.size()), recs.data(), true)) << f.FullErrorText();
    f.Close();
    return path;
  }

  // The report of `files` as plain text; its lines, or the failure in `error`.
  std::vector<std::string> History(THistorySettingsRec s, const std::vector<std::string>& files, std::string& error,
                                   TRecordSubset* subset = nullptr) {
    s.Files = files;
    s.OutputKind = okText;
    s.OutputFileName = Dir.File("history.txt");
    s.SaveToFile = true;
    THistoryRun run{Refs, Mdf};
    run.subset = subset;
    error = RunFieldHistory(s, "Tesserel 1.0.0", run, nullptr);
    return error.empty() ? FileLines(s.OutputFileName) : std::vector<std::string>();
  }

  std::vector<std::string> Worksheet(TMdaFile& project, const TFieldRec& rec) {
    TWorksheetSettingsRec s;
    s.RecordsMode = rmCurrent;
    s.OutputKind = okText;
    s.OutputFileName = Dir.File("worksheet.txt");
    s.SaveToFile = true;
    TWorksheetRun run{project, Mdf, &rec, nullptr, nullptr};
    EXPECT_EQ(RunWorksheetReport(s, "Tesserel 1.0.0", run, nullptr), "");
    return FileLines(s.OutputFileName);
  }

  std::vector<TFieldRec> Sample;
  uint16_t State = 0;
};

// 2022: the sample plus field 199, field 101 without a yield; 2023: without field 103, lower
// yields and more fertilizer; 2024: the sample itself. Every row must carry its worksheet's
// figures; the files are only read.
TEST_F(HistoryTest, EveryRowAgreesWithItsYearsWorksheet) {
  std::vector<TFieldRec> y2022 = Sample, y2023;
  y2022[0].Cur_Yield = 0;
  TFieldRec extra = Sample[4];
  extra.Field_ID = 199;
  extra.Field_Name = "Rented";
  extra.SubFld_Nam = "";
  y2022.push_back(extra);
  for (TFieldRec r : Sample) {
    if (r.Field_ID == 103) continue;
    r.Cur_Yield = r.Cur_Yield * 0.9f;
    r.Fert_Rate[0] = r.Fert_Rate[0] * 1.5f;
    if (r.Field_ID == 102) r.Field_Name = "Old name";
    y2023.push_back(r);
  }
  const std::string a = MakeYear("a.tsj", 2022, y2022), b = MakeYear("b.tsj", 2023, y2023);
  const std::string c = Dir.File("c.tsj");
  std::filesystem::copy_file(kRuntimeDir + "/samples/iowa-2024.tsj", c);
  const std::string before = ReadWholeFile(a) + ReadWholeFile(b) + ReadWholeFile(c);

  std::string error;
  const std::vector<std::string> lines = History({}, {c, a, b}, error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(ReadWholeFile(a) + ReadWholeFile(b) + ReadWholeFile(c), before);

  int rows = 0;
  const std::pair<std::string, int> years[] = {{a, 2022}, {b, 2023}, {c, 2024}};
  for (const auto& [path, year] : years) {
    TMdaFile project;
    ASSERT_TRUE(project.OpenProject(path, false, Refs)) << project.FullErrorText();
    TRecordReader reader(project);
    while (const TFieldRec* rec = reader.Next()) {
      const std::string row = HistoryRow(lines, rec->Field_ID, year);
      SCOPED_TRACE(std::to_string(rec->Field_ID) + " " + std::to_string(year) + ": " + row);
      ASSERT_GE(row.size(), 102u);
      const std::vector<std::string> sheet = Worksheet(project, *rec);
      const std::vector<std::string> total = Amounts(LineWith(sheet, "TOTAL COST"));
      ASSERT_EQ(total.size(), 2u);
      EXPECT_EQ(Trim(row.substr(75, 9)), total[1]);
      EXPECT_EQ(Trim(row.substr(84, 8)), total[0]);
      EXPECT_EQ(row[92], rec->Cur_Yield > 0 ? ' ' : '*');
      EXPECT_EQ(Signed(row.substr(93)), Amounts(LineWith(sheet, "PROFIT (OR LOSS)")).at(0));
      // Applied less recommended is the nutrient page's excess (deficit).
      const std::vector<std::string> excess = Amounts(LineWith(sheet, "Excess (deficit) applied"));
      ASSERT_EQ(excess.size(), 3u);
      for (int n = 0; n < 3; ++n) {
        const std::string applied = Trim(row.substr(42 + 11 * n, 5)), rec = Trim(row.substr(48 + 11 * n, 5));
        ASSERT_FALSE(rec.empty());
        EXPECT_EQ(std::to_string(std::stoi(applied) - std::stoi(rec)), excess[n]) << "nutrient " << n;
      }
      ++rows;
    }
  }
  EXPECT_EQ(rows, 12 + 1 + 11 + 12);

  // Names as the newest year has them; the gap and the field of one year are shown as such.
  EXPECT_NE(LineWith(lines, "Field ID 102   Home   Subfield South"), "");
  EXPECT_NE(LineWith(lines, "Field ID 199   Rented   (a record in 2022 only)"), "");
  EXPECT_EQ(HistoryRow(lines, 103, 2023), "2023 (no record)");
  // Field 101 grew corn all three years: its average and its best and worst year follow the rows.
  auto it = std::find(lines.begin(), lines.end(), HistoryRow(lines, 101, 2024));
  ASSERT_NE(it, lines.end());
  // 2022 counts the goal of 210 bushels, above the 205.6 harvested in 2024.
  EXPECT_EQ(*(it + 2), "  Corn, 3 years: best 2022, worst 2023 (by profit per acre)");
  EXPECT_EQ((it + 3)->substr(0, 23), "    Average            ");
  // Fields 103 and 199 miss a year: the other eleven are ranked, they are listed after them.
  const std::string ranked = "FIELDS RANKED BY AVERAGE PROFIT PER ACRE, 2022-2024";
  auto table = std::find(lines.begin(), lines.end(), "\f" + ranked);
  ASSERT_NE(table, lines.end());
  EXPECT_EQ(*(table + 3), "Rank  Field ID  Field Name      Subfld   Avg Cost/A  Avg Profit/A");
  EXPECT_EQ((table + 4)->substr(0, 6), "   1  ");
  EXPECT_EQ((table + 14)->substr(0, 6), "  11  ");
  EXPECT_EQ(*(table + 16), "Not ranked, without a record in every year:");
  EXPECT_EQ(Trim(*(table + 17)), "103       Creek                   2 of 3 years: 2022, 2024");
  EXPECT_EQ(Trim(*(table + 18)), "199       Rented                  1 of 3 years: 2022");
}

// Constructed seasons: averages over the years that have a figure, the cost per unit as total
// cost over total yield, a tie for the best year going to the earlier one; a ranking with ties to
// the cent, printed as shared ranks.
TEST_F(HistoryTest, CropFiguresAndRankingWithTies) {
  THistoryData data;
  for (int y : {2020, 2021, 2022}) data.Years.push_back({"/x/" + std::to_string(y) + ".tsj", y, "", 19, 4});
  auto season = [](int year, float yield, float goal, float cost, float profit) {
    THistorySeason s;
    s.YearIndex = year;
    s.Crop = 1;
    s.CropName = "Corn";
    s.Unit = "Bu";
    s.Yield = yield;
    s.Goal = goal;
    s.GoalUsed = yield == 0 && goal > 0;
    s.TotalCost = cost;
    s.Profit = profit;
    for (int n = 0; n < kNutrients; ++n) s.SuppliedOk[n] = true;
    s.Supplied[nuN] = 150;
    s.RecOk[nuN] = year != 1;
    s.Rec[nuN] = 120;
    return s;
  };
  // Profits per field over the three years, and their averages.
  data.Fields = {
      {10, "Alpha", "", {season(0, 200, 0, 600, 100), season(1, 0, 180, 540, 100.01f), season(2, 190, 200, 570, 99.99f)}},
      {20, "Bravo", "", {season(0, 200, 0, 600, 150), season(1, 200, 0, 600, 50), season(2, 200, 0, 600, 100)}},
      {30, "Charlie", "", {season(0, 200, 0, 600, 300), season(1, 200, 0, 600, 300), season(2, 200, 0, 600, 300)}},
      {40, "Delta", "", {season(0, 200, 0, 600, 900), season(2, 200, 0, 600, 900)}},
      {50, "Echo", "", {season(0, 200, 0, 600, -20), season(1, 200, 0, 600, -20), season(2, 200, 0, 600, -20)}},
      {60, "Foxtrot", "", {season(0, 200, 0, 600, 100), season(1, 200, 0, 600, 100), season(2, 200, 0, 600, 100)}},
  };

  const std::vector<THistoryCropSummary> alpha = SummarizeCrops(data.Fields[0]);
  ASSERT_EQ(alpha.size(), 1u);
  EXPECT_FLOAT_EQ(alpha[0].Yield, 195);           // 200 and 190; the year without a yield left out
  EXPECT_FLOAT_EQ(alpha[0].Goal, 190);            // 180 and 200
  EXPECT_FLOAT_EQ(alpha[0].CostPerUnit, 1710.0f / 570);  // the goal stands in for the missing yield
  EXPECT_TRUE(alpha[0].GoalUsed);
  EXPECT_FLOAT_EQ(alpha[0].Rec[nuN], 120);        // over the two years it was calculated
  EXPECT_EQ(alpha[0].Best, 1);
  EXPECT_EQ(alpha[0].Worst, 2);
  const std::vector<THistoryCropSummary> foxtrot = SummarizeCrops(data.Fields[5]);
  EXPECT_EQ(foxtrot[0].Best, 0);  // all equal: the earliest year is both
  EXPECT_EQ(foxtrot[0].Worst, 0);

  const THistoryRanking ranking = RankFields(data);
  std::vector<std::pair<int32_t, int>> order;
  for (const THistoryRankRow& r : ranking.Rows) order.push_back({data.Fields[r.Field].Id, r.Rank});
  // Alpha (100.00), Bravo (100.00) and Foxtrot (100.00) share second place, in Field ID order.
  EXPECT_EQ(order, (std::vector<std::pair<int32_t, int>>{{30, 1}, {10, 2}, {20, 2}, {60, 2}, {50, 5}}));
  EXPECT_EQ(ranking.Unranked, std::vector<int>{3});

  THistorySettingsRec s;
  s.OutputKind = okText;
  s.OutputFileName = Dir.File("ranked.txt");
  s.SaveToFile = true;
  THistoryDoc doc;
  ASSERT_TRUE(doc.Open(s, "Tesserel 1.0.0"));
  doc.WriteReport(data, Refs, "costs.mcc");
  doc.Close();
  const std::vector<std::string> lines = FileLines(s.OutputFileName);
  EXPECT_NE(LineWith(lines, "   1  30        Charlie                      600.00       300.00 "), "");
  EXPECT_NE(LineWith(lines, "  2=  10        Alpha                        570.00       100.00 "), "");
  EXPECT_NE(LineWith(lines, "  2=  20        Bravo                        600.00       100.00 "), "");
  EXPECT_NE(LineWith(lines, "  2=  60        Foxtrot                      600.00       100.00 "), "");
  EXPECT_NE(LineWith(lines, "   5  50        Echo                         600.00       (20.00)"), "");
  EXPECT_NE(LineWith(lines, "      40        Delta                   2 of 3 years: 2020, 2022"), "");
  EXPECT_NE(LineWith(lines, "  Corn, 3 years: the same profit per acre each year"), "");
  EXPECT_NE(LineWith(lines, "  Corn, 3 years: best 2021, worst 2022 (by profit per acre)"), "");
}

// What the chosen files can be refused for, each named in the message; a file another program
// reads meanwhile is read as well, and none is kept open afterwards.
TEST_F(HistoryTest, ChosenFilesAreCheckedAndOnlyRead) {
  const std::string a = MakeYear("a.tsj", 2022, Sample), b = MakeYear("b.tsj", 2023, Sample);
  const std::string same = MakeYear("same.tsj", 2023, Sample);
  std::string error;
  History({}, {a}, error);
  EXPECT_EQ(error, kTooFewHistoryFilesText);
  History({}, std::vector<std::string>(31, a), error);
  EXPECT_EQ(error, "A field history takes at most 30 project files, one per year; 31 were chosen.");
  History({}, {a, b, a}, error);
  EXPECT_EQ(error, a + "\r\nThis project file was chosen twice.");
  History({}, {a, Dir.File("missing.tsj")}, error);
  EXPECT_EQ(error.rfind(Dir.File("missing.tsj") + "\r\n", 0), 0u) << error;
  WriteWholeFile(Dir.File("short.tsj"), ReadWholeFile(a).substr(0, 3000));
  History({}, {a, Dir.File("short.tsj")}, error);
  EXPECT_EQ(error.rfind(Dir.File("short.tsj") + "\r\n", 0), 0u) << error;
  std::string older = ReadWholeFile(a);
  older[0] = 5;  // the version byte
  WriteWholeFile(Dir.File("older.tsj"), older);
  History({}, {a, Dir.File("older.tsj")}, error);
  EXPECT_EQ(error, Dir.File("older.tsj") + "\r\nFile is wrong version. If it is a project file of the older "
                   "version, open it once with Open Project, which converts it.");
  History({}, {same, a, b}, error);
  EXPECT_EQ(error, same + "\r\n" + b + "\r\nBoth project files are for the 2023 harvest year. Choose one project "
                   "file for each year.");
  // A subset that takes no field of the newest year.
  THistorySettingsRec subsetOnly;
  subsetOnly.RecordsMode = 1;
  TRecordSubset subset;
  THistoryRun run{Refs, Mdf};
  run.subset = &subset;
  run.chooseSubset = [](TRecordSubset& s) {
    s.UncheckAll(sdSeedType);
    return std::string();
  };
  subsetOnly.Files = {a, b};
  subsetOnly.OutputFileName = Dir.File("none.txt");
  subsetOnly.SaveToFile = true;
  EXPECT_EQ(RunFieldHistory(subsetOnly, "T", run, nullptr), "No records in selected subset.");
  EXPECT_FALSE(std::filesystem::exists(Dir.File("none.txt")));

  // Cancelled while reading: no report, no message.
  THistoryRun cancelRun{Refs, Mdf};
  cancelRun.progress = [](int, int) { return false; };
  THistorySettingsRec all;
  all.Files = {a, b};
  all.OutputFileName = Dir.File("cancelled.txt");
  all.SaveToFile = true;
  bool cancelled = false;
  EXPECT_EQ(RunFieldHistory(all, "T", cancelRun, nullptr, &cancelled), "");
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("cancelled.txt")));

  TMdaFile reading;
  ASSERT_TRUE(reading.OpenProject(b, false, Refs));
  History({}, {a, b}, error);
  EXPECT_EQ(error, "");
  reading.Close();
  TMdaFile writing;
  ASSERT_TRUE(writing.OpenProject(a, true, Refs));
  EXPECT_TRUE(writing.IsWritable());
}

}  // namespace
