#include "interchange/QrlPlanDb.h"

#include <algorithm>

#include "interchange/QrlCalls.h"

bool TPlanDb::Read(TDbReader& reader) {
  const struct {
    const char* name;
    TDbRows* rows;
    const char* orderBy;
  } tables[] = {
      {"PlanInfo", &PlanInfo, ""},       {"Operation", &Operation, ""}, {"InitInfo", &InitInfo, ""},
      {"Field", &Field, ""},             {"SoilKey", &SoilKey, ""},     {"Crop", &Crop, ""},
      {"CropDef", &CropDef, ""},         {"ManureApp", &ManureApp, ""}, {"Storage", &Storage, ""},
      {"StorageDef", &StorageDef, ""},   {"Animal", &Animal, "PlanOrder"}, {"Equipment", &Equipment, ""},
      {"EquipDef", &EquipDef, ""},
  };
  for (const auto& t : tables)
    if (!reader.HasTable(t.name) || !reader.ReadTable(t.name, *t.rows, t.orderBy)) return false;
  HasFertApp = reader.HasTable("FertApp");
  HasManureXfer = reader.HasTable("ManureXfer");
  return (!HasFertApp || reader.ReadTable("FertApp", FertApp)) &&
         (!HasManureXfer || reader.ReadTable("ManureXfer", ManureXfer));
}

std::vector<size_t> TPlanDb::FieldOrder() const {
  std::vector<size_t> order(Field.Rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    double x = 0, y = 0;
    const bool hasX = CellNumber(Field.Value(a, "PlanOrder"), x);
    const bool hasY = CellNumber(Field.Value(b, "PlanOrder"), y);
    if (hasX != hasY) return hasX;
    return hasX && x < y;
  });
  return order;
}

std::vector<size_t> TPlanDb::RowsOf(const TDbRows& table, size_t field, int year) {
  std::vector<size_t> rows;
  for (size_t i = 0; i < table.Rows.size(); ++i) {
    double f = 0, y = 0;
    if (CellNumber(table.Value(i, "Field"), f) && f == static_cast<double>(field) &&
        CellNumber(table.Value(i, "CropYrNum"), y) && y == year)
      rows.push_back(i);
  }
  return rows;
}

int TPlanDb::FindRow(const TDbRows& table, const std::string& column, const TDbValue& key) {
  for (size_t i = 0; i < table.Rows.size(); ++i)
    if (SameCell(table.Value(i, column), key)) return static_cast<int>(i);
  return -1;
}

double NumberOr0(const TDbValue& value) {
  double v = 0;
  CellNumber(value, v);
  return v;
}
