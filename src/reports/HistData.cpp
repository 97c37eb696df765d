#include "reports/HistData.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "reports/NutrEngine.h"
#include "reports/RecSubset.h"
#include "store/CostCalc.h"
#include "store/MdaFile.h"
#include "vocab/CodeLists.h"

namespace {

const int kRecColumns[kNutrients] = {rcN, rcP2O5, rcK2O};
// Records read between two calls of the progress callback.
constexpr int kProgressStep = 64;
// The history only reads, so it does not convert a project of the older version itself.
const char* const kOlderVersionHint =
    " If it is a project file of the older version, open it once with Open Project, which converts it.";

std::string OpenFailureText(const TMdaFile& file) {
  return file.FullErrorText() + (file.ErrorState == esVersion ? kOlderVersionHint : "");
}

}  // namespace

std::string TooManyHistoryFilesText(int count) {
  return "A field history takes at most " + std::to_string(kMaxHistoryFiles) + " project files, one per year; " +
         std::to_string(count) + " were chosen.";
}

std::string ChosenTwiceText(const std::string& path) { return path + "\r\nThis project file was chosen twice."; }

std::string SameYearText(const std::string& first, const std::string& second, int year) {
  return first + "\r\n" + second + "\r\nBoth project files are for the " + std::to_string(year) +
         " harvest year. Choose one project file for each year.";
}

bool SameProjectFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return a == b || std::filesystem::equivalent(a, b, ec);
}

THistoryYear HistoryYearOf(const TMdaFile& file) {
  return {file.FileName, file.ProjectYear(), file.Title(), file.ProjectState(), file.RecordCount()};
}

bool ReadHistoryYear(const std::string& path, const TProjectRefs& refs, THistoryYear& year, std::string& error) {
  TMdaFile file;
  if (!file.OpenProject(path, false, refs)) {
    error = OpenFailureText(file);
    return false;
  }
  year = HistoryYearOf(file);
  return true;
}

std::string THistoryReader::OpenFiles(THistoryData& data) {
  const std::vector<std::string>& paths = settings_.Files;
  const int count = static_cast<int>(paths.size());
  if (count > kMaxHistoryFiles) return TooManyHistoryFilesText(count);
  if (count < kMinHistoryFiles) return kTooFewHistoryFilesText;
  std::vector<std::pair<THistoryYear, TMdaFile*>> years;
  for (int i = 0; i < count; ++i) {
    const std::string& path = paths[i];
    for (int k = 0; k < i; ++k)
      if (SameProjectFile(paths[k], path)) return ChosenTwiceText(path);
    TMdaFile* file = nullptr;
    if (run_.openProject && run_.openProject->IsOpen() && SameProjectFile(path, run_.openProject->FileName)) {
      file = run_.openProject;
    } else {
      auto opened = std::make_unique<TMdaFile>();
      opened->LockWaitMs = run_.lockWaitMs;
      // Read-only with a shared lock: the history never writes to a project.
      if (!opened->OpenProject(path, false, run_.refs)) return OpenFailureText(*opened);
      file = opened.get();
      opened_.push_back(std::move(opened));
    }
    years.push_back({HistoryYearOf(*file), file});
  }
  std::stable_sort(years.begin(), years.end(), [](const auto& a, const auto& b) { return a.first.Year < b.first.Year; });
  for (size_t i = 1; i < years.size(); ++i)
    if (years[i].first.Year == years[i - 1].first.Year)
      return SameYearText(years[i - 1].first.Path, years[i].first.Path, years[i].first.Year);
  for (auto& [year, file] : years) {
    data.Years.push_back(year);
    files_.push_back(file);
  }
  return {};
}

TStateTables& THistoryReader::TablesFor(const TFieldRec& rec) {
  for (auto& [state, tables] : tables_)
    if (state == rec.State) return *tables;
  tables_.emplace_back(rec.State, std::make_unique<TStateTables>(run_.refs));
  return *tables_.back().second;
}

THistorySeason THistoryReader::Season(const TFieldRec& rec, int yearIndex) {
  THistorySeason s;
  s.YearIndex = yearIndex;
  s.Crop = rec.Cur_Crop;
  TStateTables& tables = TablesFor(rec);
  s.CropName = tables.CropSlotName(csCur, rec);
  s.Unit = tables.YieldUnitText(csCur, rec);
  s.Tillage = CodeShortName(TCodeList::Tillage, rec.Cur_Till);
  s.Goal = rec.Cur_Goal;
  s.Yield = rec.Cur_Yield;
  const TSummarySettingsRec& o = settings_;
  const TCostSheet sheet = ComputeCosts(rec, run_.costs, {o.UseRemovalCost, o.ChargeAnySoilLoss, o.UseFiveYearPrice});
  s.GoalUsed = !(rec.Cur_Yield > 0) && sheet.YieldUsed > 0;
  s.TotalCost = sheet.TotalCost;
  s.CostPerUnit = sheet.CostPerUnit;
  s.Profit = sheet.Profit;
  TNutrientBalance supply;
  ComputeNutrientSupply(rec, tables, supply);
  TNutrEngine engine(tables);
  for (int n = 0; n < kNutrients; ++n) {
    s.Supplied[n] = supply.Supplied(n);
    s.SuppliedOk[n] = supply.SuppliedOk(n);
    double value = 0;
    s.RecOk[n] = engine.DefaultRec(kRecColumns[n], rec, value);
    s.Rec[n] = static_cast<float>(value);
  }
  return s;
}

std::string THistoryReader::ReadYear(int index, THistoryData& data, std::vector<int32_t>& ids, int& done, int total,
                                     bool& cancelled) {
  TMdaFile& file = *files_[index];
  const bool subsetOnly = settings_.RecordsMode == 1 && run_.subset;
  const bool newest = index + 1 == static_cast<int>(files_.size());
  std::map<int32_t, size_t> byId;
  for (size_t f = 0; f < data.Fields.size(); ++f) byId[data.Fields[f].Id] = f;
  TRecordReader reader(file);
  while (const TFieldRec* rec = reader.Next()) {
    if (done % kProgressStep == 0 && run_.progress && !run_.progress(done, total)) {
      cancelled = true;
      return {};
    }
    ++done;
    const int32_t id = rec->Field_ID;
    if (subsetOnly) {
      if (newest && !run_.subset->Contains(*rec, 0, true, 0)) continue;
      if (newest) ids.push_back(id);
      else if (!std::binary_search(ids.begin(), ids.end(), id)) continue;
    }
    auto [it, added] = byId.emplace(id, data.Fields.size());
    if (added) {
      data.Fields.push_back({id, rec->Field_Name.Str(), rec->SubFld_Nam.Str(), {}});
    } else if (data.Fields[it->second].Seasons.back().YearIndex == index) {
      data.Notes.push_back("Field ID " + std::to_string(id) + " has more than one record in " +
                           std::to_string(data.Years[index].Year) + "; only the first is shown.");
      continue;
    }
    data.Fields[it->second].Seasons.push_back(Season(*rec, index));
  }
  return reader.Failed() ? file.FullErrorText() : std::string();
}

std::string THistoryReader::Read(THistoryData& data, bool& cancelled) {
  cancelled = false;
  data = {};
  std::string error = OpenFiles(data);
  if (!error.empty()) return error;
  if (settings_.RecordsMode == 1 && run_.subset) {
    run_.subset->Attach(*files_.back());
    if (run_.chooseSubset) error = run_.chooseSubset(*run_.subset);
    if (!error.empty()) return error;
  }
  int total = 0, done = 0;
  for (const THistoryYear& y : data.Years) total += y.Records;
  // The newest year first: it names the fields and, with a subset, decides which are shown.
  std::vector<int32_t> ids;
  for (int i = static_cast<int>(files_.size()) - 1; i >= 0; --i) {
    error = ReadYear(i, data, ids, done, total, cancelled);
    if (!error.empty() || cancelled) return error;
    if (i + 1 == static_cast<int>(files_.size())) std::sort(ids.begin(), ids.end());
  }
  std::sort(data.Fields.begin(), data.Fields.end(),
            [](const THistoryField& a, const THistoryField& b) { return a.Id < b.Id; });
  for (THistoryField& f : data.Fields)
    std::reverse(f.Seasons.begin(), f.Seasons.end());
  if (run_.progress) run_.progress(total, total);
  return {};
}

// ---- What the report derives ----

std::vector<THistoryCropSummary> SummarizeCrops(const THistoryField& field) {
  std::vector<THistoryCropSummary> crops;
  const std::vector<THistorySeason>& seasons = field.Seasons;
  for (int i = 0; i < static_cast<int>(seasons.size()); ++i) {
    const THistorySeason& s = seasons[i];
    if (s.Crop == 0) continue;
    auto same = [&](const THistoryCropSummary& c) { return SameText(c.CropName, s.CropName) && SameText(c.Unit, s.Unit); };
    auto it = std::find_if(crops.begin(), crops.end(), same);
    if (it == crops.end()) it = crops.insert(crops.end(), {s.CropName, s.Unit, {}});
    it->Seasons.push_back(i);
  }
  for (THistoryCropSummary& c : crops) {
    int goals = 0, yields = 0, recs[kNutrients] = {};
    float costWithYield = 0, yieldUsed = 0;
    c.Best = c.Worst = c.Seasons.front();
    for (bool& ok : c.SuppliedOk) ok = true;
    for (int i : c.Seasons) {
      const THistorySeason& s = seasons[i];
      if (s.Goal > 0) c.Goal += s.Goal, ++goals;
      if (s.Yield > 0) c.Yield += s.Yield, ++yields;
      for (int n = 0; n < kNutrients; ++n) {
        c.Supplied[n] += s.Supplied[n];
        c.SuppliedOk[n] = c.SuppliedOk[n] && s.SuppliedOk[n];
        if (s.RecOk[n]) c.Rec[n] += s.Rec[n], ++recs[n];
      }
      c.TotalCost += s.TotalCost;
      c.Profit += s.Profit;
      const float used = s.Yield > 0 ? s.Yield : s.Goal;
      if (used > 0) costWithYield += s.TotalCost, yieldUsed += used;
      c.GoalUsed = c.GoalUsed || s.GoalUsed;
      if (s.Profit > seasons[c.Best].Profit) c.Best = i;
      if (s.Profit < seasons[c.Worst].Profit) c.Worst = i;
    }
    const float n = static_cast<float>(c.Seasons.size());
    c.HasGoal = goals > 0;
    if (goals > 0) c.Goal /= static_cast<float>(goals);
    c.HasYield = yields > 0;
    if (yields > 0) c.Yield /= static_cast<float>(yields);
    for (int k = 0; k < kNutrients; ++k) {
      c.Supplied[k] /= n;
      c.RecOk[k] = recs[k] > 0;
      if (recs[k] > 0) c.Rec[k] /= static_cast<float>(recs[k]);
    }
    c.TotalCost /= n;
    c.Profit /= n;
    c.HasCostPerUnit = yieldUsed > 0;
    if (yieldUsed > 0) c.CostPerUnit = costWithYield / yieldUsed;
  }
  return crops;
}

THistoryRanking RankFields(const THistoryData& data) {
  THistoryRanking ranking;
  const size_t years = data.Years.size();
  for (int f = 0; f < static_cast<int>(data.Fields.size()); ++f) {
    const std::vector<THistorySeason>& seasons = data.Fields[f].Seasons;
    if (seasons.size() != years) {
      ranking.Unranked.push_back(f);
      continue;
    }
    float cost = 0, profit = 0;
    for (const THistorySeason& s : seasons) {
      cost += s.TotalCost;
      profit += s.Profit;
    }
    const float n = static_cast<float>(years);
    ranking.Rows.push_back({f, cost / n, profit / n, 0, false});
  }
  // Compared as printed, to the cent, so that fields whose averages read the same share a rank.
  auto cents = [](const THistoryRankRow& r) { return std::llround(static_cast<double>(r.AverageProfit) * 100.0); };
  std::stable_sort(ranking.Rows.begin(), ranking.Rows.end(),
                   [&](const THistoryRankRow& a, const THistoryRankRow& b) { return cents(a) > cents(b); });
  std::vector<THistoryRankRow>& rows = ranking.Rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool sameAsBefore = i > 0 && cents(rows[i]) == cents(rows[i - 1]);
    rows[i].Rank = sameAsBefore ? rows[i - 1].Rank : static_cast<int>(i) + 1;
    if (sameAsBefore) rows[i].Tied = rows[i - 1].Tied = true;
  }
  return ranking;
}

std::string YearSpan(const THistoryData& data) {
  if (data.Years.empty()) return {};
  const std::string first = std::to_string(data.Years.front().Year);
  const std::string last = std::to_string(data.Years.back().Year);
  return first == last ? first : first + "-" + last;
}
