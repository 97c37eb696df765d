#include "reports/FieldHist.h"

#include "common/Format.h"
#include "filebase/FileUtl.h"
#include "reference/MccFile.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/MoreInfo.h"
#include "store/ProjectRefs.h"

namespace {

constexpr int kLineWidth = 103;
constexpr int kRuleChar = 196;  // single line
// Width of the year, crop and tillage columns together: the label of an average row.
constexpr int kLabelWidth = 23;
// Where the nutrient columns start, and the width of one nutrient's two columns.
constexpr int kNutrientStart = kLabelWidth + 19;
constexpr int kNutrientWidth = 11;
const char* const kNutrientHeads[kNutrients] = {"N", "P2O5", "K2O"};
const char* const kRankedMark = "=";

std::string Tenth(float value) { return value > 0 ? FormatReal(value, 1) : std::string(); }
std::string Money(float value) { return FormatReal(value, 2); }

// A negative amount in parentheses, closed where a positive one has a blank; width + 1 characters.
std::string ProfitCell(float profit, size_t width = 9) {
  if (profit >= 0) return PadLeft(Money(profit), width) + " ";
  std::string amount = "(";
  amount += Money(-profit);
  return PadLeft(amount, width) + ")";
}

// The columns from the goal on: goal and yield, unit, the nutrients, cost, cost per unit, profit.
struct TFigures {
  std::string goal, yield, unit;
  const float* supplied;
  const bool* suppliedOk;
  const float* rec;
  const bool* recOk;
  bool hasCostPerUnit;
  float totalCost, costPerUnit, profit;
  bool goalUsed;
};

std::string FigureCells(const TFigures& f) {
  std::string line = PadLeft(f.goal, 7) + PadLeft(f.yield, 7) + " " + Pad(f.unit, 4);
  for (int n = 0; n < kNutrients; ++n) {
    line += PadLeft(FormatReal(f.supplied[n], 0), 5) + (f.suppliedOk[n] ? " " : "?");
    line += PadLeft(f.recOk[n] ? FormatReal(f.rec[n], 0) : std::string(), 5);
  }
  line += PadLeft(Money(f.totalCost), 9);
  line += PadLeft(f.hasCostPerUnit ? Money(f.costPerUnit) : std::string(), 8) + (f.goalUsed ? "*" : " ");
  return line + ProfitCell(f.profit);
}

std::string YearsText(const THistoryData& data, const THistoryField& field) {
  std::string text;
  for (const THistorySeason& s : field.Seasons)
    text += (text.empty() ? "" : ", ") + std::to_string(data.Years[s.YearIndex].Year);
  return text;
}

std::string Plural(size_t n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

}  // namespace

bool THistoryDoc::Open(const THistorySettingsRec& settings, const std::string& author) {
  settings_ = settings;
  author_ = author;
  if (!TDocOutFile::Open(settings_.OutputKind, settings_.OutputFileName, !settings_.SaveToFile,
                         settings_.ViewWithWord, kHistoryTitle, author))
    return false;
  const float size = settings_.FontSize;
  // Courier New is 120/size characters to the inch.
  const float left = (11.0f - kLineWidth * size / 120.0f) / 2.0f;
  SetPageLayout(true, left, 0.25f, 0.5f, 0.5f);
  SetFont(0, size);
  return GetStatus() == wsOk;
}

void THistoryDoc::Line(const std::string& text) {
  Write(text);
  NewLine();
}

void THistoryDoc::WriteReport(const THistoryData& data, const TProjectRefs& refs, const std::string& costFile) {
  WriteHeading(data, refs, costFile);
  for (const THistoryField& field : data.Fields) {
    if (GetStatus() != wsOk) return;
    WriteField(data, field);
  }
  WriteRanking(data);
  WriteNotes(data);
}

void THistoryDoc::WriteHeading(const THistoryData& data, const TProjectRefs& refs, const std::string& costFile) {
  Line("     " + PreparedLine(author_));
  NewLine();
  Line("FIELD HISTORY " + YearSpan(data));
  NewLine();
  Line("Cost file:      " + ExtractFileName(costFile));
  const std::string files = Plural(data.Years.size(), "project file");
  Line("Fields:         " + (settings_.RecordsMode == 1
                                 ? "those of the subset in " + std::to_string(data.Years.back().Year)
                                 : "every field of the " + files));
  Line("Project files:");
  TMcnFile* counties = refs.CountyFile();
  for (const THistoryYear& y : data.Years) {
    const std::string state = y.State == 0 ? "Multi-" + refs.RegionWord() : counties ? counties->StateName(y.State) : "";
    Line("  " + std::to_string(y.Year) + "  " + Pad(ExtractFileName(y.Path), 24) + " " + Pad(y.Title, 40) + " " +
         Pad(state, 16) + " " + Plural(static_cast<size_t>(y.Records), "record"));
  }
  NewLine();
}

void THistoryDoc::WriteColumnHeads() {
  // Each nutrient's name centred in dashes over its two columns, applied and recommended.
  std::string groups(kNutrientStart, ' ');
  std::string head = "Year " + Pad("Crop", 14) + Pad("Till", 4) + PadLeft("Goal", 7) + PadLeft("Yield", 7) + " " +
                     Pad("Unit", 4);
  for (const std::string name : kNutrientHeads) {
    const size_t lead = (kNutrientWidth - 1 - name.size()) / 2;
    groups += ' ';
    groups.append(lead, '-').append(name).append(kNutrientWidth - 1 - lead - name.size(), '-');
    head += PadLeft("Appl", 5) + " " + PadLeft("Rec", 5);
  }
  Line(groups + "  (lb/A)");
  Line(head + PadLeft("Cost/A", 9) + PadLeft("$/Unit", 8) + " " + PadLeft("Profit/A", 9));
}

void THistoryDoc::WriteField(const THistoryData& data, const THistoryField& field) {
  WriteLineChars(kRuleChar, kLineWidth);
  NewLine();
  std::string heading = "Field ID " + std::to_string(field.Id);
  if (!field.Name.empty()) heading += "   " + field.Name;
  if (!field.SubName.empty()) heading += "   Subfield " + field.SubName;
  if (field.Seasons.size() == 1 && data.Years.size() > 1)
    heading += "   (a record in " + std::to_string(data.Years[field.Seasons[0].YearIndex].Year) + " only)";
  Line(heading);
  NewLine();
  WriteColumnHeads();
  size_t next = 0;
  for (int y = 0; y < static_cast<int>(data.Years.size()); ++y) {
    const std::string year = std::to_string(data.Years[y].Year) + " ";
    if (next >= field.Seasons.size() || field.Seasons[next].YearIndex != y) {
      Line(year + "(no record)");
      continue;
    }
    const THistorySeason& s = field.Seasons[next++];
    const std::string crop = s.Crop == 0 ? "(no crop)" : s.CropName.substr(0, 13);
    const TFigures f{Tenth(s.Goal), Tenth(s.Yield), s.Unit, s.Supplied, s.SuppliedOk, s.Rec, s.RecOk,
                     s.GoalUsed || s.Yield > 0, s.TotalCost, s.CostPerUnit, s.Profit, s.GoalUsed};
    Line(year + Pad(crop, 14) + Pad(s.Tillage, 4) + FigureCells(f));
  }
  WriteCrops(data, field);
  NewLine();
}

void THistoryDoc::WriteCrops(const THistoryData& data, const THistoryField& field) {
  const std::vector<THistoryCropSummary> crops = SummarizeCrops(field);
  if (!crops.empty()) NewLine();
  for (const THistoryCropSummary& c : crops) {
    const auto yearOf = [&](int season) { return std::to_string(data.Years[field.Seasons[season].YearIndex].Year); };
    // One year is its own average, best and worst.
    if (c.Seasons.size() == 1) {
      Line("  " + c.CropName + ", 1 year: " + yearOf(c.Best));
      continue;
    }
    const std::string years = "  " + c.CropName + ", " + Plural(c.Seasons.size(), "year") + ": ";
    if (field.Seasons[c.Best].Profit == field.Seasons[c.Worst].Profit)
      Line(years + "the same profit per acre each year");
    else
      Line(years + "best " + yearOf(c.Best) + ", worst " + yearOf(c.Worst) + " (by profit per acre)");
    const std::string goal = c.HasGoal ? FormatReal(c.Goal, 1) : std::string();
    const std::string yield = c.HasYield ? FormatReal(c.Yield, 1) : std::string();
    const TFigures f{goal, yield, c.Unit, c.Supplied, c.SuppliedOk, c.Rec, c.RecOk,
                     c.HasCostPerUnit, c.TotalCost, c.CostPerUnit, c.Profit, c.GoalUsed};
    Line(Pad("    Average", kLabelWidth) + FigureCells(f));
  }
}

void THistoryDoc::WriteRanking(const THistoryData& data) {
  const THistoryRanking ranking = RankFields(data);
  NewPage();
  Line("FIELDS RANKED BY AVERAGE PROFIT PER ACRE, " + YearSpan(data));
  if (ranking.Rows.empty()) {
    NewLine();
    Line("No field has a record in every year of the report, so no field is ranked.");
  } else {
    Line("Each field's average over the " + Plural(data.Years.size(), "year") +
         " of the report; only the fields with a record in every year are ranked.");
    NewLine();
    Line("Rank  " + Pad("Field ID", 10) + Pad("Field Name", 16) + Pad("Subfld", 7) + PadLeft("Avg Cost/A", 12) +
         PadLeft("Avg Profit/A", 14));
    for (const THistoryRankRow& r : ranking.Rows) {
      if (GetStatus() != wsOk) return;
      const THistoryField& f = data.Fields[r.Field];
      const std::string rank = std::to_string(r.Rank) + (r.Tied ? kRankedMark : "");
      Line(PadLeft(rank, 4) + "  " + Pad(std::to_string(f.Id), 10) + Pad(f.Name, 16) + Pad(f.SubName, 7) +
           PadLeft(Money(r.AverageCost), 12) + ProfitCell(r.AverageProfit, 13));
    }
  }
  if (!ranking.Unranked.empty()) {
    NewLine();
    Line("Not ranked, without a record in every year:");
    for (int i : ranking.Unranked) {
      const THistoryField& f = data.Fields[i];
      Line("      " + Pad(std::to_string(f.Id), 10) + Pad(f.Name, 16) + Pad(f.SubName, 7) + " " +
           std::to_string(f.Seasons.size()) + " of " + std::to_string(data.Years.size()) + " years: " +
           YearsText(data, f));
    }
  }
  NewLine();
  NewLine();
}

void THistoryDoc::WriteNotes(const THistoryData& data) {
  WriteCostNotes(*this, settings_.UseRemovalCost, settings_.UseFiveYearPrice);
  Line("       Applied is N-P-K fertilizer and manure, for N also irrigation water, as on the worksheet;");
  Line("       Rec is the default recommendation, which already takes off any legume N credit. A blank");
  Line("       Rec could not be calculated for the field's state, crop or data.");
  Line("       ?  Some manure or irrigation nutrients could not be calculated; they count as 0.");
  Line("       *  Cost per unit of the yield goal: no yield was entered.");
  Line("       Best and worst years are those of the highest and lowest profit per acre.");
  for (const std::string& note : data.Notes) Line("       " + note);
  NewLine();
}

std::string RunFieldHistory(const THistorySettingsRec& settings, const std::string& author, THistoryRun& run,
                            TReportViewer* viewer, bool* cancelled) {
  if (cancelled) *cancelled = false;
  std::string error = LoadReportCosts(settings.UseCustomCosts, settings.CustomCostFile, run.costs);
  if (!error.empty()) return error;
  THistoryData data;
  {
    THistoryReader reader(settings, run);
    bool stopped = false;
    error = reader.Read(data, stopped);
    if (stopped) {
      if (cancelled) *cancelled = true;
      return {};
    }
  }
  if (!error.empty()) return error;
  if (data.Fields.empty()) return settings.RecordsMode == 1 ? "No records in selected subset." : "No records in the project files.";
  THistoryDoc doc;
  if (doc.Open(settings, author)) {
    doc.WriteReport(data, run.refs, settings.UseCustomCosts ? settings.CustomCostFile : run.costs.FileName);
    if (doc.GetStatus() == wsOk) doc.CloseAndView(viewer);
  }
  if (doc.GetStatus() == wsOk) return {};
  error = doc.GetErrorText();
  doc.Abandon();
  return error;
}
