// The manure application setbacks report: how far from each ticked geographic feature of the
// state's list manure is to stay for one planned application, by the setback sections of the
// state's tables (features, operation types, criteria with their "Applies" formulas, distances,
// references). It reads no field records.
#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "reports/DocFile.h"
#include "textdb/EvalUtil.h"

class TCheckedFileDb;

// Setting numbers of the setback sections of the state tables.
enum : int {
  sbOperKey = 224, sbOperName = 225,
  sbFeatureKey = 228, sbFeatureName = 229, sbFeatureOper = 230,
  sbCritKey = 244, sbCritName = 245, sbCritApplies = 247,
  sbDistKey = 250, sbDistFeature = 251, sbDistCrit = 252, sbDistance = 253,
  sbSrcKey = 256, sbSrcName = 257, sbSrcOper = 258, sbSrcUrl = 259,
};

// How manure is applied.
enum : int {
  haNone = -1, haInjected = 0, haIrrigated = 1, haLiquidIncorporated = 2, haLiquidSurface = 3,
  haSolidIncorporated = 4, haSolidSurface = 5,
};
constexpr int kHowAppliedCount = 6;

// Special conditions of the application, by position in the dialog's list.
enum : int {
  acPasture = 0, acCoverCrop = 1, acFrozenSoil = 2, acWinter = 3, acGoodVegetation = 4, acOutstandingWater = 5,
  acHighPressure = 6, acPManagement = 7,
};
constexpr int kAppliedToCount = 8;
// Features the dialog lists at most; the settings hold positions 0..103.
constexpr int kMaxSetbackFeatures = 100;

// The report settings; one instance lives while the program runs, never stored on disk.
struct TSetbacksRptSettingsRec {
  int FeatureState = -1;           // the state whose features `Features` ticks
  std::bitset<104> Features;       // ticked rows of the feature section
  int HowApplied = haNone;
  double DaysToIncorporation = -1;  // -1: not given
  int BufferWidth = -1;             // feet; -1: not given
  bool GradientBarrier = false;
  double SlopePercent = -1;
  int ResiduePercent = -1;
  std::bitset<kAppliedToCount> AppliedTo;
  int OutputKind = okText;
  bool ViewWithWord = false;
  bool SaveToFile = false;
  std::string OutputFileName;  // the chosen path, or the temporary prefix "STB"
};

// Dialog texts of the application methods ("Liquid, Injected", ...) and the special conditions.
const char* HowAppliedCaption(int howApplied);
const char* AppliedToCaption(int condition);
// Labels of the dialog's entries, used in its messages.
inline const char* const kDaysToIncLabel = "Days To Incorporation";
inline const char* const kBufferWidthLabel = "Buffer Width (Feet)";
inline const char* const kSlopeLabel = "Slope (%)";
inline const char* const kResidueLabel = "Residue (%)";

// The twenty criteria variables of the planned application (true -1, false 0).
std::vector<TExprVar> SetbacksCriteriaVars(const TSetbacksRptSettingsRec& settings);

// The dialog's list of features: name + "  [" + operation type name + "]", at most the first 100.
std::vector<std::string> SetbackFeatureItems(const TCheckedFileDb& db);

// What the dialog's entries hold, as typed.
struct TSetbacksEntries {
  int tickedFeatures = 0;
  int howApplied = haNone;
  std::string days, buffer, slope, residue;
};
// Which entry a failed check names.
enum class TSetbacksFault { None, Features, HowApplied, Days, Buffer, Slope, Residue };
// Checks the entries in the dialog's order; on success stores the method and the four numbers
// (rounded to one decimal, or whole; -1 when empty) in `settings`. Returns the first failure's
// message, empty when all pass.
std::string CheckSetbacksEntries(const TSetbacksEntries& entries, TSetbacksRptSettingsRec& settings,
                                 TSetbacksFault* fault = nullptr);

// Where the report is for: the state's tables and the names of the heading line.
struct TSetbacksPlace {
  const TCheckedFileDb& db;
  std::string regionWord;  // "State" or "Province"
  std::string stateName;
};

// The message of a state whose tables hold no criteria.
inline const char* const kNoSetbacksText = "No setbacks defined for this state.";
// The heading of a failed report's message.
inline const char* const kSetbacksFailedText = "Unable to generate the setbacks report for the following reason:";
inline const char* const kSetbacksTitle = "Setbacks Report";
inline const char* const kSetbacksPrefix = "STB";

class TSetbacksRptDoc : public TDocOutFile {
 public:
  // Keeps the settings, the author and the place, and opens the output the settings name.
  bool Open(const TSetbacksRptSettingsRec& settings, const std::string& author, const TSetbacksPlace& place);
  // Writes the report; then shows it through `viewer` (may be null), or abandons a failed one.
  void WriteReport(TReportViewer* viewer);

 private:
  void Heading(const std::string& text);
  void WriteCriteria();
  void WriteDistances(const std::vector<TExprVar>& vars);
  void WriteReferences();
  // The operation type row of feature row `j`, or -1.
  int OperationRow(int j) const;

  TSetbacksRptSettingsRec settings_;
  std::string author_;
  const TSetbacksPlace* place_ = nullptr;
};

// Writes the report to `path` (kind by the caller; Save To File). The error text, or empty.
std::string WriteSetbacksReportFile(const std::string& path, int kind, const TSetbacksRptSettingsRec& settings,
                                    const std::string& author, const TSetbacksPlace& place);
