// The ranked summary: one row per field with the columns the user picks, ranked at once by yield,
// by unit cost and by profit; the rows follow one of the three rankings and end with a row of
// averages and the notes.
#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "reports/SumDoc.h"

// Data columns, numbered as the user sees them.
enum : int {
  rcFieldId = 1, rcFieldName, rcOperation, rcCurCrop, rcCovCrop, rcPrevCrop, rcTillage, rcSoil, rcSeed, rcFert,
  rcPest, rcOper, rcOther, rcLand, rcSoilLoss, rcHaul, rcDry, rcInterest, rcIndirect, rcTotal, rcIncome, rcYield,
  rcUnitCost, rcProfit,
};
constexpr int kRankedColumns = 24;
using TRankedColumns = std::bitset<kRankedColumns + 1>;  // bit n: column n is printed

// The order of the rows.
enum : int { rbYield = 0, rbUnitCost = 1, rbProfit = 2 };

// Column names as the dialog lists them ("Field ID", ...); empty outside 1..24.
const char* RankedColumnName(int column);
// Columns 1, 4, 6, 7, 10, 11, 12, 22, 23 and 24.
TRankedColumns DefaultRankedColumns();

struct TRankedSummarySettingsRec : TSummarySettingsRec {
  int RankBy = rbYield;
  TRankedColumns Columns = DefaultRankedColumns();
};

inline const char* const kRankedTitle = "Ranked Summary";
inline const char* const kRankedPrefix = "RNK";
inline const char* const kRankedFailedText = "Unable to generate the ranked summary for the following reason:";
// Records a ranked summary takes at most.
constexpr int kMaxRankedRecords = 10000;

struct TRankedRow;

class TRankedSummaryDoc : public TSummaryDoc {
 public:
  // Keeps the settings, the subset, the author and the project, loads the costs the settings
  // name into `definitions` (the project's definition file) and opens the output.
  bool Open(const TRankedSummarySettingsRec& settings, const TRecordSubset& subset, const std::string& author,
            TMdaFile& file, TMdfFile& definitions);
  // Selects, ranks and writes; then shows the report through `viewer` (may be null), or abandons
  // a failed one.
  void WriteReport(TReportViewer* viewer);

 private:
  bool Select(std::vector<TRankedRow>& rows, TCommonUnit& unit, bool& doubleCrop);
  void WriteHeader(const std::string& unit);
  // Writes the rows in `order` (indexes into `rows`), then the average row.
  void WriteRows(const std::vector<TRankedRow>& rows, const std::vector<int>& order);

  TRankedSummarySettingsRec settings_;
  // Blanks added to the rank columns when the largest rank has more digits than they hold.
  int rankExtra_ = 0;
};
