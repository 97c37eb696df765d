#include "PlanStore.h"

#include <ctime>
#include <filesystem>

#include "PlanCatalog.h"
#include "common/Format.h"
#include "common/TextUtil.h"

#ifndef TESSEREL_STANDIN_SOILS
#define TESSEREL_STANDIN_SOILS "CountySoils.txt"
#endif

namespace {

constexpr int kDefaultPlanYears = 2;

std::string CellText(const TQrlValue& v) {
  switch (v.Kind) {
    case TQrlValue::TKind::Integer: return std::to_string(v.Int);
    case TQrlValue::TKind::Real: return ShortestReal(v.Real);
    case TQrlValue::TKind::Text: return v.Str;
    default: return {};
  }
}

// Two cells hold the same key: equal numbers, or equal texts without regard to case.
bool SameKey(const TQrlValue& a, const TQrlValue& b) {
  if (a.IsNull() || b.IsNull()) return false;
  if (a.Kind != TQrlValue::TKind::Text && b.Kind != TQrlValue::TKind::Text) return a.Number() == b.Number();
  return SameText(CellText(a), CellText(b));
}

// A whole-number cell, with `fallback` for Null and text.
int64_t WholeOr(const TQrlValue& v, int64_t fallback) {
  return v.Kind == TQrlValue::TKind::Integer ? v.Int : v.Kind == TQrlValue::TKind::Real ? static_cast<int64_t>(v.Real) : fallback;
}

std::string CreatedAtComment() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[40];
  std::strftime(text, sizeof text, "%m/%d/%Y %H:%M", &local);
  return std::string("Created at ") + text;
}

TPlanTable NewTable(const std::string& name, const std::string& version, TPlanRows rows = {}) {
  TPlanTable t;
  t.Name = name;
  t.Columns = PlanColumns(name, version);
  t.Rows = std::move(rows);
  return t;
}

// Tables whose rows belong to a field row through their Field column.
bool HasFieldRows(const std::string& key) { return key == "CROP" || key == "FERTAPP" || key == "MANUREAPP"; }

// Whether a field row holds anything besides its PlanOrder.
bool FieldRowUsed(const TPlanTable& field, const std::vector<TQrlValue>& row) {
  const int order = field.ColumnIndex("PlanOrder");
  for (size_t c = 0; c < row.size(); ++c)
    if (static_cast<int>(c) != order && !row[c].IsNull()) return true;
  return false;
}

}  // namespace

std::string DefaultSoilsPath() { return TESSEREL_STANDIN_SOILS; }

TQrlError PlanError(int32_t number, const std::string& message) {
  return TQrlError{kQrlErrorBase + number, "QRL", message};
}

int TPlanTable::ColumnIndex(const std::string& name) const {
  for (size_t i = 0; i < Columns.size(); ++i)
    if (SameText(Columns[i], name)) return static_cast<int>(i);
  return -1;
}

TPlanStore::TPlanStore(const TPlanStoreSettings& settings) : settings_(settings) {
  if (settings_.SoilsPath.empty()) settings_.SoilsPath = DefaultSoilsPath();
}

bool TPlanStore::CreateForState(int stateCode, TQrlError& error) {
  tables_.clear();
  const std::string& v = settings_.FileVersion;
  for (const auto& name : PlanTableNames()) tables_[UpperCase(name)] = NewTable(name, v);
  tables_["PLANINFO"].Rows = {{{}, {}, {}, TQrlValue::OfText(CreatedAtComment()), TQrlValue::OfInt(kDefaultPlanYears)}};
  tables_["OPERATION"].Rows.assign(1, std::vector<TQrlValue>(tables_["OPERATION"].Columns.size()));
  tables_["INITINFO"].Rows = {{TQrlValue::OfInt(stateCode)}};
  tables_["CROPDEF"].Rows = CropDefRows();
  tables_["STORAGEDEF"].Rows = StorageDefRows();
  tables_["EQUIPDEF"].Rows = EquipDefRows();
  (void)error;
  return true;
}

TPlanTable* TPlanStore::Table(const std::string& name, TQrlError& error) {
  auto it = tables_.find(UpperCase(name));
  if (it != tables_.end()) return &it->second;
  error = PlanError(pePlanTable, "Invalid table name '" + name + "'");
  return nullptr;
}

bool TPlanStore::Cell(const std::string& table, int row, const std::string& column, TQrlValue*& cell,
                      TQrlError& error) {
  TPlanTable* t = Table(table, error);
  if (!t) return false;
  const int c = t->ColumnIndex(column);
  if (c < 0) {
    error = PlanError(pePlanColumn, "Invalid column name '" + column + "' in table '" + t->Name + "'");
    return false;
  }
  if (row < 0 || row >= static_cast<int>(t->Rows.size())) {
    error = PlanError(pePlanRow, "Row " + std::to_string(row) + " out of range in table '" + t->Name + "'");
    return false;
  }
  cell = &t->Rows[row][c];
  return true;
}

bool TPlanStore::RowCount(const std::string& table, int& count, TQrlError& error) {
  const TPlanTable* t = Table(table, error);
  if (!t) return false;
  count = static_cast<int>(t->Rows.size());
  return true;
}

bool TPlanStore::GetValue(const std::string& table, int row, const std::string& column, TQrlValue& value,
                          TQrlError& error) {
  TQrlValue* cell = nullptr;
  if (!Cell(table, row, column, cell, error)) return false;
  value = *cell;
  return true;
}

bool TPlanStore::SetValue(const std::string& table, int row, const std::string& column, const TQrlValue& value,
                          TQrlError& error) {
  TQrlValue* cell = nullptr;
  if (!Cell(table, row, column, cell, error)) return false;
  *cell = value;
  if (!SameText(table, "Operation") || row != 0) return true;
  if (SameText(column, "CntyCode")) return FillCountySoils(value, error);
  if (SameText(column, "StartPlnYr") || SameText(column, "StartPlnMo")) {
    // The first crop year is the one harvested in the plan's first twelve months.
    TPlanTable& op = tables_["OPERATION"];
    const TQrlValue& year = op.Rows[0][op.ColumnIndex("StartPlnYr")];
    const int64_t month = WholeOr(op.Rows[0][op.ColumnIndex("StartPlnMo")], 1);
    if (!year.IsNull())
      op.Rows[0][op.ColumnIndex("StartCrpYr")] = TQrlValue::OfInt(WholeOr(year, 0) + (month > 6 ? 1 : 0));
  }
  return true;
}

bool TPlanStore::FillCountySoils(const TQrlValue& countyCode, TQrlError& error) {
  TPlanTable& soils = tables_["SOILKEY"];
  soils.Rows.clear();
  if (countyCode.IsNull()) return true;
  const int64_t state = WholeOr(tables_["INITINFO"].Rows.at(0).at(0), 0);
  std::string message;
  if (!ReadCountySoils(settings_.SoilsPath, static_cast<int>(state), static_cast<int>(WholeOr(countyCode, 0)),
                       soils.Rows, message)) {
    error = PlanError(pePlanSoils, message);
    return false;
  }
  return true;
}

bool TPlanStore::ValueIsValid(const std::string& table, int row, const std::string& column,
                              const TQrlValue& value, bool& valid, TQrlError& error) {
  TQrlValue* cell = nullptr;
  if (!Cell(table, row, column, cell, error)) return false;
  valid = true;
  if (SameText(table, "Field") && SameText(column, "SoilKey") && !value.IsNull()) {
    valid = false;
    for (const auto& soil : tables_["SOILKEY"].Rows) valid = valid || SameKey(soil[0], value);
  }
  return true;
}

bool TPlanStore::ExpandTables(TQrlError& error) {
  TPlanTable* field = Table("Field", error);
  TPlanTable* crop = Table("Crop", error);
  TPlanTable* info = Table("PlanInfo", error);
  if (!field || !crop || !info) return false;
  const int64_t years = std::max<int64_t>(1, WholeOr(info->Rows.empty() ? TQrlValue{} : info->Rows[0][info->ColumnIndex("PlanYears")], kDefaultPlanYears));
  const int order = field->ColumnIndex("PlanOrder");
  for (int f = static_cast<int>(field->Rows.size()); f < settings_.FieldRows; ++f) {
    field->Rows.emplace_back(field->Columns.size());
    field->Rows.back()[order] = TQrlValue::OfInt(f + 1);
    for (int64_t y = 1; y <= years; ++y)
      for (int primary = 0; primary <= 1; ++primary) {
        std::vector<TQrlValue> row(crop->Columns.size());
        row[crop->ColumnIndex("Field")] = TQrlValue::OfInt(f);
        row[crop->ColumnIndex("CropYrNum")] = TQrlValue::OfInt(y);
        row[crop->ColumnIndex("IsPrimary")] = TQrlValue::OfInt(primary);
        crop->Rows.push_back(std::move(row));
      }
  }
  return true;
}

int TPlanStore::AppendRow(const std::string& table, TQrlError& error) {
  TPlanTable* t = Table(table, error);
  if (!t) return -1;
  t->Rows.emplace_back(t->Columns.size());
  return static_cast<int>(t->Rows.size()) - 1;
}

std::map<std::string, TPlanTable> TPlanStore::Compacted() const {
  std::map<std::string, TPlanTable> out = tables_;
  auto fieldIt = out.find("FIELD");
  if (fieldIt == out.end()) return out;
  // New numbers of the field rows kept, -1 for the dropped ones.
  TPlanTable& field = fieldIt->second;
  std::vector<int64_t> renumber(field.Rows.size(), -1);
  std::vector<std::vector<TQrlValue>> kept;
  for (size_t f = 0; f < field.Rows.size(); ++f)
    if (FieldRowUsed(field, field.Rows[f])) {
      renumber[f] = static_cast<int64_t>(kept.size());
      kept.push_back(field.Rows[f]);
    }
  field.Rows = std::move(kept);
  for (auto& [key, table] : out) {
    if (!HasFieldRows(key)) continue;
    const int c = table.ColumnIndex("Field");
    std::vector<std::vector<TQrlValue>> rows;
    for (auto& row : table.Rows) {
      const int64_t f = WholeOr(row[c], -1);
      if (f < 0 || f >= static_cast<int64_t>(renumber.size()) || renumber[f] < 0) continue;
      row[c] = TQrlValue::OfInt(renumber[f]);
      rows.push_back(std::move(row));
    }
    table.Rows = std::move(rows);
  }
  return out;
}

bool TPlanStore::Write(const std::string& path, const std::map<std::string, TPlanTable>& tables,
                       TQrlError& error) const {
  namespace fs = std::filesystem;
  const std::string temp = path + ".part";
  std::error_code ec;
  fs::remove(temp, ec);
  auto fail = [&](const std::string& why) {
    fs::remove(temp, ec);
    error = PlanError(pePlanSave, "Unable to write " + path + ": " + why);
    return false;
  };
  {
    TSqlDb db;
    if (!db.Open(temp, false) || !db.Exec("BEGIN")) return fail(db.ErrorText());
    for (const auto& name : PlanTableNames()) {
      auto it = tables.find(UpperCase(name));
      if (it == tables.end()) continue;
      const TPlanTable& t = it->second;
      std::string columns, marks;
      for (const auto& c : t.Columns) {
        columns += (columns.empty() ? "" : ", ") + SqlName(c);
        marks += marks.empty() ? "?" : ", ?";
      }
      if (!db.Exec("CREATE TABLE " + SqlName(t.Name) + " (" + columns + ")")) return fail(db.ErrorText());
      TSqlStatement insert(db, "INSERT INTO " + SqlName(t.Name) + " VALUES (" + marks + ")");
      if (!insert.Ok()) return fail(db.ErrorText());
      for (const auto& row : t.Rows) {
        for (size_t c = 0; c < row.size(); ++c) insert.Bind(static_cast<int>(c) + 1, row[c]);
        if (!insert.Run()) return fail(db.ErrorText());
      }
    }
    if (!db.Exec("COMMIT") || !db.Close()) return fail(db.ErrorText());
  }
  fs::rename(temp, path, ec);
  if (ec) return fail(ec.message());
  return true;
}

bool TPlanStore::SaveAs(const std::string& path, TQrlError& error) { return Write(path, Compacted(), error); }

bool TPlanStore::ExportToAccess(const std::string& path, TQrlError& error) {
  auto tables = Compacted();
  for (const auto& omit : settings_.OmitFromExport) {
    const size_t dot = omit.find('.');
    auto it = tables.find(UpperCase(omit.substr(0, dot)));
    if (it == tables.end()) continue;
    if (dot == std::string::npos) {
      tables.erase(it);
      continue;
    }
    TPlanTable& t = it->second;
    const int c = t.ColumnIndex(omit.substr(dot + 1));
    if (c < 0) continue;
    t.Columns.erase(t.Columns.begin() + c);
    for (auto& row : t.Rows) row.erase(row.begin() + c);
  }
  return Write(path, tables, error);
}

bool TPlanStore::Load(const std::string& path, TQrlError& error) {
  tables_.clear();
  TDbReader reader;
  if (!reader.Open(path) || !reader.HasTable("PlanInfo")) {
    error = PlanError(pePlanOpen, "Unable to open plan file " + path);
    return false;
  }
  for (const auto& name : PlanTableNames()) {
    TPlanTable t = NewTable(name, settings_.FileVersion);
    if (reader.HasTable(name)) {
      TDbRows rows;
      if (!reader.ReadTable(name, rows)) {
        error = PlanError(pePlanOpen, "Unable to read plan file " + path);
        return false;
      }
      t.Columns = rows.Columns;
      t.Rows = std::move(rows.Rows);
    }
    tables_[UpperCase(name)] = std::move(t);
  }
  return true;
}

bool TPlanStoreApp::FileVersion(std::string& version, TQrlError&) {
  version = settings_.FileVersion;
  return true;
}

std::unique_ptr<IQrlPlan> TPlanStoreApp::CreatePlanFile(const std::string& stateName, int, TQrlError& error) {
  const int code = StateFipsCode(stateName);
  if (code == 0) {
    error = PlanError(pePlanState, "Unknown state '" + stateName + "'");
    return nullptr;
  }
  auto plan = std::make_unique<TPlanStore>(settings_);
  if (!plan->CreateForState(code, error)) return nullptr;
  return plan;
}

std::unique_ptr<IQrlPlan> TPlanStoreApp::OpenPlanFile(const std::string& path, TQrlError& error) {
  auto plan = std::make_unique<TPlanStore>(settings_);
  if (!plan->Load(path, error)) return nullptr;
  return plan;
}
