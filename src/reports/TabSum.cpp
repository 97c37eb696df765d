#include "reports/TabSum.h"

#include <algorithm>
#include <new>
#include <vector>

#include "common/Format.h"
#include "reports/RecSubset.h"
#include "store/MdaFile.h"

namespace {

// A column: its name, its 8-character header, the cost summary figure it averages (-1 for the
// field count and the yield) and its decimals.
struct TColumnDef {
  const char* name;
  const char* header;
  int figure;
  int decimals;
};

const TColumnDef kColumns[kTabularColumns + 1] = {
    {"", "", -1, 0},
    {"# Fields", "  Fields", -1, 0},
    {"Seed cost", "    Seed", TCostSummary::Seed, 2},
    {"Fertilizer cost", "    Fert", TCostSummary::FertilizerUsed, 2},
    {"Pesticide cost", "    Pest", TCostSummary::Pesticides, 2},
    {"Field operation cost", "    Oper", TCostSummary::FieldOperations, 2},
    {"Other input cost", "   Other", TCostSummary::OtherInputs, 2},
    {"Land rent cost", "    Land", TCostSummary::Land, 2},
    {"Soil loss cost", "    Soil", TCostSummary::SoilLoss, 2},
    {"Hauling cost", " Hauling", TCostSummary::Hauling, 2},
    {"Drying cost", "  Drying", TCostSummary::Drying, 2},
    {"Interest cost", "   Inter", TCostSummary::Interest, 2},
    {"Indirect cost", "   Indir", TCostSummary::IndirectCosts, 2},
    {"Total cost", "   Total", TCostSummary::TotalCost, 2},
    {"Total income", "  Income", TCostSummary::Income, 2},
    {"Yield", "   Yield", -1, 1},
    {"Unit cost", " UnitCst", TCostSummary::CostPerUnit, 2},
    {"Profit", "  Profit", TCostSummary::Profit, 2},
};

float Figure(int column, const TSummaryRecord& r) {
  return column == tcYield ? r.yieldUsed : r.costs[kColumns[column].figure];
}

std::string Average(int column, float sum, int count) {
  return PadLeft(FormatReal(sum / static_cast<float>(count), kColumns[column].decimals), 8);
}

}  // namespace

const char* TabularColumnName(int column) {
  return column >= 1 && column <= kTabularColumns ? kColumns[column].name : "";
}

TTabularColumns DefaultTabularColumns() {
  TTabularColumns columns;
  for (int c : {tcFields, tcFert, tcPest, tcOper, tcTotal, tcYield, tcUnitCost, tcProfit}) columns.set(c);
  return columns;
}

// The working tables: a field count per cell (table category, row category) and a sum per cell
// and averaged column.
struct TTabularSummaryDoc::TTables {
  int tables = 0, rows = 0;
  std::vector<int> columns;  // the printed columns 2..17, in order
  std::vector<uint16_t> counts;
  std::vector<float> sums;
  int Cell(int table, int row) const { return (table - 1) * rows + (row - 1); }
};

bool TTabularSummaryDoc::Open(const TTabularSummarySettingsRec& settings, const TRecordSubset& subset,
                              const std::string& author, TMdaFile& file, TMdfFile& definitions) {
  settings_ = settings;
  return OpenSummary(settings_, subset, author, file, definitions, kTabularTitle);
}

std::string TTabularSummaryDoc::CategoryName(int type, int position) const {
  return settings_.RecordsMode == 1 ? Subset().CheckedItemName(type, position) : Subset().ItemName(type, position);
}

bool TTabularSummaryDoc::Accumulate(TTables& t, TCommonUnit& unit, bool& doubleCrop) {
  const TRecordSubset& subset = Subset();
  const bool subsetOnly = settings_.RecordsMode == 1;
  const int tableType = settings_.TableType, rowType = settings_.RowType;
  t.tables = subsetOnly ? subset.CheckedCount(tableType) : subset.ItemCount(tableType);
  t.rows = subsetOnly ? subset.CheckedCount(rowType) : subset.ItemCount(rowType);
  for (int c = tcSeed; c <= kTabularColumns; ++c)
    if (settings_.Columns[c]) t.columns.push_back(c);
  const int64_t cells = static_cast<int64_t>(t.tables) * t.rows;
  const int64_t figures = cells * static_cast<int64_t>(t.columns.size());
  if (cells > kMaxTabularEntries || figures > kMaxTabularEntries) return Fail("Too many categories to summarize.");
  try {
    t.counts.assign(static_cast<size_t>(cells), 0);
    t.sums.assign(static_cast<size_t>(figures), 0.0f);
  } catch (const std::bad_alloc&) {
    return Fail("Not enough memory to summarize.");
  }
  const size_t d = t.columns.size();
  int selected = 0, placed = 0;  // records of the chosen ones; those with a cell of the tables
  auto take = [&](const TFieldRec& rec) {
    if (!subsetOnly || subset.Contains(rec, 0, true, 0)) ++selected;
    return subset.Contains(rec, tableType, subsetOnly, rowType);
  };
  const bool read = ForEachRecord(take, unit, [&](const TSummaryRecord& r) {
    const int table = subsetOnly ? subset.CheckedPosition(tableType, *r.rec) : subset.Category(tableType, *r.rec);
    const int row = subsetOnly ? subset.CheckedPosition(rowType, *r.rec) : subset.Category(rowType, *r.rec);
    if (table < 1 || table > t.tables || row < 1 || row > t.rows) return true;
    const int cell = t.Cell(table, row);
    ++t.counts[cell];
    ++placed;
    for (size_t k = 0; k < d; ++k) t.sums[cell * d + k] += Figure(t.columns[k], r);
    doubleCrop = doubleCrop || r.doubleCrop;
    return true;
  });
  if (!read) return false;
  if (selected == 0) return Fail("No records in selected subset.");
  if (placed == 0)
    return Fail("No field fits the summary's tables: no selected record (of " + std::to_string(selected) +
                ") has a known " + subset.TypeName(tableType) + " and " + subset.TypeName(rowType) +
                (subsetOnly ? " among the subset's ticked categories" : "") +
                ". Choose other data types for the tables and rows.");
  return true;
}

void TTabularSummaryDoc::WriteTable(const TTables& t, int table, const std::string& unit) {
  int fields = 0;
  for (int row = 1; row <= t.rows; ++row) fields += t.counts[t.Cell(table, row)];
  if (fields == 0) return;
  const TRecordSubset& subset = Subset();
  const int rowType = settings_.RowType;
  const std::string rowTypeName = subset.TypeName(rowType);
  const size_t width = std::max({static_cast<size_t>(subset.ColumnWidth(rowType)), rowTypeName.size(), size_t{7}});
  const bool counted = settings_.Columns[tcFields];
  const size_t d = t.columns.size();

  BeginHeading();
  Write("          " + subset.TypeName(settings_.TableType) + ":  " + CategoryName(settings_.TableType, table));
  NewLine();
  NewLine();
  std::string line = Pad(rowTypeName, width);
  if (counted) line += kColumns[tcFields].header;
  for (int c : t.columns) line += c == tcUnitCost && !unit.empty() ? PadLeft("Cst/" + unit, 8) : kColumns[c].header;
  Write(line);
  NewLine();
  NewLine();
  BeginRows();

  std::vector<float> columnSums(d, 0.0f);
  for (int row = 1; row <= t.rows; ++row) {
    if (GetStatus() != wsOk) return;
    const int cell = t.Cell(table, row);
    const int count = t.counts[cell];
    if (count == 0) continue;
    line = Pad(CategoryName(rowType, row), width);
    if (counted) line += PadLeft(std::to_string(count), 8);
    for (size_t k = 0; k < d; ++k) {
      const float sum = t.sums[cell * d + k];
      line += Average(t.columns[k], sum, count);
      columnSums[k] += sum;
    }
    Write(line);
    NewLine();
  }
  EndRows();
  NewLine();
  line = Pad("Average", width);
  if (counted) line += PadLeft(std::to_string(fields), 8);
  for (size_t k = 0; k < d; ++k) line += Average(t.columns[k], columnSums[k], fields);
  Write(line);
  NewLine();
  NewLine();
  NewLine();
}

void TTabularSummaryDoc::WriteReport(TReportViewer* viewer) {
  TTables t;
  TCommonUnit unit(true);
  bool doubleCrop = false;
  if (Accumulate(t, unit, doubleCrop)) {
    WriteHeadingBlock();
    for (int table = 1; table <= t.tables && GetStatus() == wsOk; ++table) WriteTable(t, table, unit.Text());
    if (GetStatus() == wsOk) {
      NewLine();
      WriteNotes(unit, "summary", doubleCrop && settings_.Columns[tcUnitCost]);
    }
  }
  Finish(viewer);
}
