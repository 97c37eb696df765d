// The seasons of a farm's fields over several project files, one file per harvest year: the
// files opened read-only and checked, each field's record of every year reckoned as the one-year
// worksheet reckons it, and what the field history report derives from them (per crop averages
// with the best and worst year, the fields ranked by average profit). No output here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reports/SumDoc.h"
#include "reports/WrkNutr.h"
#include "store/MdaFile.h"

class TMdfFile;
class TRecordSubset;

// Project files a history takes at most, and at least.
constexpr int kMaxHistoryFiles = 30;
constexpr int kMinHistoryFiles = 2;

struct THistorySettingsRec : TSummarySettingsRec {
  int16_t FontSize = 10;           // points, 8 to 12
  std::vector<std::string> Files;  // the project files, as chosen (any order)
};

inline const char* const kHistoryTitle = "Field History";
inline const char* const kHistoryPrefix = "HST";
inline const char* const kHistoryFailedText = "Unable to generate the field history for the following reason:";

// One project file of the history.
struct THistoryYear {
  std::string Path;
  int Year = 0;
  std::string Title;
  int State = 0;  // 0 for a multi-state project
  int Records = 0;
};

// A field's record of one year, with the figures the report prints.
struct THistorySeason {
  int YearIndex = 0;  // into THistoryData::Years
  int Crop = 0;       // the current crop's code, 0 for none
  std::string CropName, Unit, Tillage;
  float Goal = 0, Yield = 0;  // as entered
  bool GoalUsed = false;      // no yield: the goal stands in for it (as on the worksheet)
  // N, P2O5 and K2O put on the field (fertilizer, manure, and for N irrigation water) and the
  // default recommendation, lb/A.
  float Supplied[kNutrients] = {};
  bool SuppliedOk[kNutrients] = {};  // every manure and irrigation part could be computed
  float Rec[kNutrients] = {};
  bool RecOk[kNutrients] = {};
  float TotalCost = 0, CostPerUnit = 0, Profit = 0;  // $/A, $/unit
};

struct THistoryField {
  int32_t Id = 0;
  std::string Name, SubName;  // as the newest year that has the field names it
  std::vector<THistorySeason> Seasons;  // in year order, one per year that has a record
};

// Averages of a field's seasons of one crop, with its best and worst season by profit per acre.
struct THistoryCropSummary {
  std::string CropName, Unit;
  std::vector<int> Seasons;  // indexes into the field's seasons, in year order
  bool HasGoal = false, HasYield = false;
  float Goal = 0, Yield = 0;  // over the seasons that have one
  float Supplied[kNutrients] = {};
  bool SuppliedOk[kNutrients] = {};  // in every season
  bool RecOk[kNutrients] = {};
  float Rec[kNutrients] = {};  // over the seasons whose recommendation was computed
  float TotalCost = 0, Profit = 0;
  bool HasCostPerUnit = false;
  float CostPerUnit = 0;  // total cost over total yield used, of the seasons with a yield
  bool GoalUsed = false;  // some season's yield is its goal
  int Best = 0, Worst = 0;  // season indexes; a tie goes to the earlier year
};

// The fields in order of average profit per acre over the years of the report; only the fields
// that have a record in every one of those years are ranked. Equal averages (to the cent) share
// a rank and keep Field ID order.
struct THistoryRankRow {
  int Field = 0;  // index into THistoryData::Fields
  float AverageCost = 0, AverageProfit = 0;
  int Rank = 0;
  bool Tied = false;
};
struct THistoryRanking {
  std::vector<THistoryRankRow> Rows;
  std::vector<int> Unranked;  // fields without a record in every year, in Field ID order
};

struct THistoryData {
  std::vector<THistoryYear> Years;    // ascending
  std::vector<THistoryField> Fields;  // ascending Field ID
  std::vector<std::string> Notes;     // what was left out, and why
};

// Everything a history needs besides its settings.
struct THistoryRun {
  const TProjectRefs& refs;  // the loaded reference files
  TMdfFile& costs;           // their definition file, whose working costs the report sets
  // A project the caller has open already (the desktop's), read from as it is instead of being
  // opened again; it is used for the entry of Files that names the same file.
  TMdaFile* openProject = nullptr;
  // The subset of the newest year (settings' RecordsMode 1); attached to that year's project here.
  TRecordSubset* subset = nullptr;
  // Called once the subset is attached, to tick its categories; returns a failure's message.
  std::function<std::string(TRecordSubset&)> chooseSubset;
  int32_t lockWaitMs = 0;  // how long to wait for a file another program is writing
  // Called now and then with the records read and the records to read; false cancels.
  std::function<bool(int done, int total)> progress;
};

// Opens the files read-only, checks them and reads every field's seasons. Returns the failure's
// message (empty on success and when cancelled, then `cancelled` is set). The working costs must
// be loaded already.
class THistoryReader {
 public:
  THistoryReader(const THistorySettingsRec& settings, THistoryRun& run) : settings_(settings), run_(run) {}
  std::string Read(THistoryData& data, bool& cancelled);

 private:
  std::string OpenFiles(THistoryData& data);
  std::string ReadYear(int index, THistoryData& data, std::vector<int32_t>& ids, int& done, int total,
                       bool& cancelled);
  THistorySeason Season(const TFieldRec& rec, int yearIndex);
  TStateTables& TablesFor(const TFieldRec& rec);

  const THistorySettingsRec& settings_;
  THistoryRun& run_;
  std::vector<std::unique_ptr<TMdaFile>> opened_;
  std::vector<TMdaFile*> files_;  // per year, in year order
  std::vector<std::pair<int, std::unique_ptr<TStateTables>>> tables_;  // per state
};

// The checks on the chosen files, made by the reader and, as files are added, by the desktop's
// dialog: their messages.
std::string TooManyHistoryFilesText(int count);
inline const char* const kTooFewHistoryFilesText =
    "Choose at least two project files, one per year, for a field history.";
std::string ChosenTwiceText(const std::string& path);
std::string SameYearText(const std::string& first, const std::string& second, int year);
// Whether two paths name the same file.
bool SameProjectFile(const std::string& a, const std::string& b);
THistoryYear HistoryYearOf(const TMdaFile& file);
// Opens a project read-only only to read its header; false with the file's error text.
bool ReadHistoryYear(const std::string& path, const TProjectRefs& refs, THistoryYear& year, std::string& error);

// The seasons of a field grouped by crop (and yield unit), in the order the crops first appear.
std::vector<THistoryCropSummary> SummarizeCrops(const THistoryField& field);
THistoryRanking RankFields(const THistoryData& data);
// "2020-2024", or "2024" for one year.
std::string YearSpan(const THistoryData& data);
