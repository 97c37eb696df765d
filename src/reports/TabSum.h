// The tabular summary: field records cross-tabulated by two data types of the record subsets, one
// table per category of the table type and one row per category of the row type, each cell the
// per-field average of the chosen cost summary figures with the number of fields.
#pragma once

#include <bitset>
#include <string>

#include "reports/SumDoc.h"

// Data columns, numbered as the user sees them.
enum : int {
  tcFields = 1, tcSeed, tcFert, tcPest, tcOper, tcOther, tcLand, tcSoilLoss, tcHaul, tcDry, tcInterest, tcIndirect,
  tcTotal, tcIncome, tcYield, tcUnitCost, tcProfit,
};
constexpr int kTabularColumns = 17;
using TTabularColumns = std::bitset<kTabularColumns + 1>;  // bit n: column n is printed

// Column names as the dialog lists them ("# Fields", ...); empty outside 1..17.
const char* TabularColumnName(int column);
// Columns 1, 3, 4, 5, 13, 15, 16 and 17.
TTabularColumns DefaultTabularColumns();

struct TTabularSummarySettingsRec : TSummarySettingsRec {
  int TableType = 3;  // data type 1..16 of the record subsets giving one table per category
  int RowType = 6;    // data type 1..16 giving one row per category
  TTabularColumns Columns = DefaultTabularColumns();
};

inline const char* const kTabularTitle = "Tabular Summary";
inline const char* const kTabularPrefix = "TAB";
inline const char* const kTabularFailedText = "Unable to generate the tabular summary for the following reason:";
// Cells, and cell figures, a tabular summary holds at most.
constexpr int kMaxTabularEntries = 15000;

class TTabularSummaryDoc : public TSummaryDoc {
 public:
  // As the ranked summary's Open.
  bool Open(const TTabularSummarySettingsRec& settings, const TRecordSubset& subset, const std::string& author,
            TMdaFile& file, TMdfFile& definitions);
  // Accumulates and writes; then shows the report through `viewer` (may be null), or abandons a
  // failed one.
  void WriteReport(TReportViewer* viewer);

 private:
  struct TTables;
  bool Accumulate(TTables& t, TCommonUnit& unit, bool& doubleCrop);
  void WriteTable(const TTables& t, int table, const std::string& unit);
  // Category names of the table and row types, by position.
  std::string CategoryName(int type, int position) const;

  TTabularSummarySettingsRec settings_;
};
