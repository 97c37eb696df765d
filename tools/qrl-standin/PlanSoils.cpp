// Reading the stand-in's county soils table.
#include <fstream>

#include "PlanCatalog.h"
#include "PlanStore.h"
#include "common/Parse.h"

namespace {

// Cells of the line split at "|".
std::vector<std::string> SplitCells(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
    cells.push_back(Trim(line.substr(start, bar - start)));
  cells.push_back(Trim(line.substr(start)));
  return cells;
}

// A number cell: whole numbers stay whole.
bool NumberCell(const std::string& text, TQrlValue& value) {
  if (text.empty()) {
    value = {};
    return true;
  }
  int64_t i = 0;
  if (ParseInt(text, TIntRange::LongInt, i)) {
    value = TQrlValue::OfInt(i);
    return true;
  }
  double d = 0;
  if (!ParseReal(text, d)) return false;
  value = TQrlValue::OfReal(d);
  return true;
}

// Columns of the SoilKey table that hold text; the others hold numbers.
bool IsTextColumn(size_t column) { return column == 1 || column == 2 || column == 6; }

constexpr size_t kSoilColumns = 12;

}  // namespace

bool ReadCountySoils(const std::string& path, int stateCode, int countyCode, TPlanRows& rows, std::string& message) {
  rows.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    message = "Unable to read the county soils table " + path + ".";
    return false;
  }
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    const auto cells = SplitCells(line);
    int64_t state = 0, county = 0;
    bool ok = cells.size() == 2 + kSoilColumns && ParseInt(cells[0], TIntRange::LongInt, state) &&
              ParseInt(cells[1], TIntRange::LongInt, county);
    std::vector<TQrlValue> row(kSoilColumns);
    for (size_t c = 0; ok && c < kSoilColumns; ++c) {
      const std::string& text = cells[c + 2];
      if (IsTextColumn(c))
        row[c] = text.empty() ? TQrlValue{} : TQrlValue::OfText(text);
      else
        ok = NumberCell(text, row[c]);
    }
    if (!ok) {
      message = path + ": line " + std::to_string(lineNo) + " is not a county soils row.";
      return false;
    }
    if (state == stateCode && county == countyCode) rows.push_back(std::move(row));
  }
  return true;
}
