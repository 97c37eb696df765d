#include "reports/RankSum.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "common/Format.h"
#include "reports/RecSubset.h"
#include "store/FieldCalc.h"
#include "store/MdaFile.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"

namespace {

// A column: its name, two header texts (null: blanks of the width; the unit headers of columns 22
// and 23 are made per report) and the cost summary figure of a money column (-1 for others).
struct TColumnDef {
  const char* name;
  const char* head1;
  const char* head2;
  int width;
  int cost;
};

const TColumnDef kColumns[kRankedColumns + 1] = {
    {"", nullptr, nullptr, 0, -1},
    {"Field ID", nullptr, "Field ID  ", 10, -1},
    {"Field Name", nullptr, "Field Name      Subfld ", 23, -1},
    {"Operation name", nullptr, "Operation Name       ", 21, -1},
    {"Current crop", "Cur ", "Crp ", 4, -1},
    {"Cover or first crop", "Cov ", "Crp ", 4, -1},
    {"Previous crop", "Pre ", "Crp ", 4, -1},
    {"Current tillage", "Cur ", "Til ", 4, -1},
    {"Soil name", nullptr, "Soil Name      ", 15, -1},
    {"Seed cost", nullptr, "   Seed", 7, TCostSummary::Seed},
    {"Fertilizer cost", nullptr, "   Fert", 7, TCostSummary::FertilizerUsed},
    {"Pesticide cost", nullptr, "   Pest", 7, TCostSummary::Pesticides},
    {"Field operation cost", nullptr, "   Oper", 7, TCostSummary::FieldOperations},
    {"Other input cost", nullptr, "  Other", 7, TCostSummary::OtherInputs},
    {"Land rent cost", nullptr, "   Land", 7, TCostSummary::Land},
    {"Soil loss cost", nullptr, "   Soil", 7, TCostSummary::SoilLoss},
    {"Hauling cost", nullptr, "   Haul", 7, TCostSummary::Hauling},
    {"Drying cost", nullptr, "    Dry", 7, TCostSummary::Drying},
    {"Interest cost", nullptr, "    Int", 7, TCostSummary::Interest},
    {"Indirect cost", nullptr, "  Indir", 7, TCostSummary::IndirectCosts},
    {"Total cost", nullptr, "   Total", 8, TCostSummary::TotalCost},
    {"Total income", nullptr, "  Income", 8, TCostSummary::Income},
    {"Yield and rank", "  ---Yield--", nullptr, 12, -1},
    {"Unit cost and rank", "  ---Cost--", nullptr, 11, -1},
    {"Profit and rank", "  ---Profit--", "    $/A  Rank", 13, -1},
};

// The three rankings, in the order of the rank-by setting.
enum : int { kByYield, kByUnitCost, kByProfit, kRankings };

struct TRankPair {
  int row;
  float value;
};

// Descending order by a shell sort that never swaps equal values, so that ties keep the order the
// sort leaves them in.
void ShellSortDescending(std::vector<TRankPair>& list) {
  const int n = static_cast<int>(list.size());
  for (int gap = n / 2; gap >= 1; gap /= 2)
    for (int i = 0; i + gap < n; ++i)
      for (int j = i; j >= 0 && list[j + gap].value > list[j].value; j -= gap) std::swap(list[j], list[j + gap]);
}

std::string CropCell(int crop) {
  const char letter = CropLetter(crop);
  return " " + Pad(letter ? std::string(1, letter) : std::string(), 3);
}

// "(" + amount for a negative value, closed by ")" where a positive one has a blank.
std::string ProfitText(float profit) {
  if (profit >= 0) return PadLeft(FormatReal(profit, 2), 8) + " ";
  return PadLeft("(" + FormatReal(-profit, 2), 8) + ")";
}

int WidthOf(const TRankedColumns& columns, int first, int last) {
  int width = 0;
  for (int c = first; c <= last; ++c)
    if (columns[c]) width += kColumns[c].width;
  return width;
}

// The heading over the cost columns, `width` characters wide.
std::string GroupHeading(int width) {
  const std::string caption = width < 11 ? "$/A" : "Costs ($/A)";
  const int lead = (width - static_cast<int>(caption.size())) / 2 - 1;
  std::string text = "  " + std::string(lead > 0 ? lead : 0, '-') + caption;
  if (static_cast<int>(text.size()) < width) text += std::string(width - text.size(), '-');
  return text;
}

}  // namespace

// A ranked record: the record, its cost summary and yield used, and its three ranks.
struct TRankedRow {
  TFieldRec rec;
  TCostSummary costs;
  float yieldUsed;
  int rank[kRankings];
};

namespace {

// Ranks the rows three ways; the row indexes in the order of the ranking `rankBy`.
std::vector<int> RankRows(std::vector<TRankedRow>& rows, int rankBy) {
  std::vector<TRankPair> lists[kRankings];
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const TRankedRow& r = rows[i];
    lists[kByYield].push_back({i, r.yieldUsed});
    lists[kByUnitCost].push_back({i, -r.costs[TCostSummary::CostPerUnit]});
    lists[kByProfit].push_back({i, r.costs[TCostSummary::Profit]});
  }
  for (int k = 0; k < kRankings; ++k) {
    ShellSortDescending(lists[k]);
    for (int p = 0; p < static_cast<int>(lists[k].size()); ++p) rows[lists[k][p].row].rank[k] = p + 1;
  }
  std::vector<int> order;
  for (const TRankPair& pair : lists[rankBy >= 0 && rankBy < kRankings ? rankBy : kByYield]) order.push_back(pair.row);
  return order;
}

// `extra` widens the rank of columns 22 to 24 for ranks of more than four digits.
std::string Cell(int c, const TRankedRow& r, int extra) {
  const TFieldRec& rec = r.rec;
  switch (c) {
    case rcFieldId: return Pad(std::to_string(rec.Field_ID.Get()), 10);
    case rcFieldName: return Pad(rec.Field_Name.Str(), 16) + Pad(rec.SubFld_Nam.Str(), 7);
    case rcOperation: return Pad(rec.Operation.Str().substr(0, 20), 20) + " ";
    case rcCurCrop: return CropCell(rec.Cur_Crop);
    case rcCovCrop: return CropCell(rec.Cov_Crop);
    case rcPrevCrop: return CropCell(rec.Prev_Crop);
    case rcTillage: return " " + Pad(CodeShortName(TCodeList::Tillage, rec.Cur_Till), 3);
    case rcSoil: return Pad(rec.Soil_Name[PredominantSoilRow(rec)].Str().substr(0, 15), 15);
    case rcYield:
      return PadLeft(FormatReal(r.yieldUsed, 1), 7) + (rec.Cur_Yield > 0 ? " " : "*") +
             PadLeft(std::to_string(r.rank[kByYield]), 4 + extra);
    case rcUnitCost:
      return PadLeft(FormatReal(r.costs[TCostSummary::CostPerUnit], 2), 6) +
             PadLeft(std::to_string(r.rank[kByUnitCost]), 5 + extra);
    case rcProfit:
      return ProfitText(r.costs[TCostSummary::Profit]) + PadLeft(std::to_string(r.rank[kByProfit]), 4 + extra);
    default: return PadLeft(FormatReal(r.costs[kColumns[c].cost], 2), kColumns[c].width);
  }
}

}  // namespace

const char* RankedColumnName(int column) {
  return column >= 1 && column <= kRankedColumns ? kColumns[column].name : "";
}

TRankedColumns DefaultRankedColumns() {
  TRankedColumns columns;
  for (int c : {rcFieldId, rcCurCrop, rcPrevCrop, rcTillage, rcFert, rcPest, rcOper, rcYield, rcUnitCost, rcProfit})
    columns.set(c);
  return columns;
}

bool TRankedSummaryDoc::Open(const TRankedSummarySettingsRec& settings, const TRecordSubset& subset,
                             const std::string& author, TMdaFile& file, TMdfFile& definitions) {
  settings_ = settings;
  return OpenSummary(settings_, subset, author, file, definitions, kRankedTitle);
}

bool TRankedSummaryDoc::Select(std::vector<TRankedRow>& rows, TCommonUnit& unit, bool& doubleCrop) {
  const bool subsetOnly = settings_.RecordsMode == 1;
  auto take = [&](const TFieldRec& rec) { return !subsetOnly || Subset().Contains(rec, 0, true, 0); };
  rows.reserve(static_cast<size_t>(std::min(File().RecordCount(), kMaxRankedRecords)));
  const bool read = ForEachRecord(take, unit, [&](const TSummaryRecord& r) {
    if (static_cast<int>(rows.size()) >= kMaxRankedRecords) return Fail("Too many records to rank.");
    rows.push_back({*r.rec, r.costs, r.yieldUsed, {}});
    doubleCrop = doubleCrop || r.doubleCrop;
    return true;
  });
  if (!read) return false;
  if (rows.empty()) return Fail("No records in selected subset.");
  rankExtra_ = std::max(0, static_cast<int>(std::to_string(rows.size()).size()) - 4);
  return true;
}

void TRankedSummaryDoc::WriteHeader(const std::string& unit) {
  const TRankedColumns& on = settings_.Columns;
  std::string line;
  BeginHeading();
  const std::string extra(static_cast<size_t>(rankExtra_), ' ');
  auto head1 = [&](int c) {
    if (!on[c]) return;
    line += kColumns[c].head1 ? kColumns[c].head1 : std::string(kColumns[c].width, ' ');
    if (c >= rcYield) line += std::string(extra.size(), '-');
  };
  for (int c = rcFieldId; c <= rcSoil; ++c) head1(c);
  const int costsWidth = WidthOf(on, rcSeed, rcTotal);
  if (costsWidth > 0) line += GroupHeading(costsWidth);
  for (int c = rcIncome; c <= rcProfit; ++c) head1(c);
  Write(line);
  NewLine();
  line.clear();
  for (int c = 1; c <= kRankedColumns; ++c) {
    if (!on[c]) continue;
    if (c == rcYield) line += PadLeft(unit + "/A " + extra + "Rank", 12 + rankExtra_);
    else if (c == rcUnitCost) line += PadLeft("$/" + unit + " " + extra + "Rank", 11 + rankExtra_);
    else if (c == rcProfit) line += std::string(kColumns[c].head2).insert(9, extra);
    else line += kColumns[c].head2;
  }
  Write(line);
  NewLine();
  NewLine();
  BeginRows();
}

void TRankedSummaryDoc::WriteRows(const std::vector<TRankedRow>& rows, const std::vector<int>& order) {
  const TRankedColumns& on = settings_.Columns;
  // Sums of the money columns, the yield, the unit cost and the profit, in row order.
  float sums[kRankedColumns + 1] = {};
  for (int i : order) {
    if (GetStatus() != wsOk) return;
    const TRankedRow& row = rows[i];
    std::string line;
    for (int c = 1; c <= kRankedColumns; ++c)
      if (on[c]) line += Cell(c, row, rankExtra_);
    Write(line);
    NewLine();
    for (int c = rcSeed; c <= rcIncome; ++c) sums[c] += row.costs[kColumns[c].cost];
    sums[rcYield] += row.yieldUsed;
    sums[rcUnitCost] += row.costs[TCostSummary::CostPerUnit];
    sums[rcProfit] += row.costs[TCostSummary::Profit];
  }
  EndRows();
  const float n = static_cast<float>(rows.size());
  const int labelWidth = WidthOf(on, rcFieldId, rcSoil);
  std::string line = Pad(std::string("Average").substr(0, labelWidth), labelWidth);
  for (int c = rcSeed; c <= rcIncome; ++c)
    if (on[c]) line += PadLeft(FormatReal(sums[c] / n, 2), kColumns[c].width);
  const std::string rankBlanks(static_cast<size_t>(5 + rankExtra_), ' ');
  if (on[rcYield]) line += PadLeft(FormatReal(sums[rcYield] / n, 1), 7) + rankBlanks;
  if (on[rcUnitCost]) line += PadLeft(FormatReal(sums[rcUnitCost] / n, 2), 6) + rankBlanks;
  if (on[rcProfit]) {
    const float average = sums[rcProfit] / n;
    line += sums[rcProfit] >= 0 ? PadLeft(FormatReal(average, 2), 8) + rankBlanks
                                : PadLeft("(" + FormatReal(-average, 2), 8) + ")" + rankBlanks.substr(1);
  }
  NewLine();
  Write(line);
  for (int i = 0; i < 4; ++i) NewLine();
}

void TRankedSummaryDoc::WriteReport(TReportViewer* viewer) {
  std::vector<TRankedRow> rows;
  std::vector<int> order;
  TCommonUnit unit(false);
  bool doubleCrop = false;
  bool ok = true;
  try {
    ok = Select(rows, unit, doubleCrop);
    if (ok) order = RankRows(rows, settings_.RankBy);
  } catch (const std::bad_alloc&) {
    ok = Fail("Not enough memory to rank records.");
  }
  if (ok) {
    WriteHeadingBlock();
    WriteHeader(unit.Text());
    WriteRows(rows, order);
    if (GetStatus() == wsOk) WriteNotes(unit, "ranking", doubleCrop && settings_.Columns[rcUnitCost]);
  }
  Finish(viewer);
}
