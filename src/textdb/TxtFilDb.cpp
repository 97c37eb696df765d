// The database's tables and values, and reading them from the sectioned text file.
#include "textdb/TxtFilDb.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "filebase/FileUtl.h"
#include "filebase/FileUse.h"

namespace {

const char* const kCrLf = "\r\n";

// Trims blanks and control characters from both ends.
std::string TrimLine(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// The file's lines without their CR LF or LF endings.
bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::string& error) {
  const TInputHold read(path);  // a file the running command reads
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "Can't open file.";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "Can't read file.";
    return false;
  }
  std::istringstream stream(text.str());
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return true;
}

}  // namespace

// ---- Structure ----

void TTextFileDb::Clear() { Sections.clear(); }

bool TTextFileDb::TakeError() {
  const bool pending = ErrorPending;
  ErrorPending = false;
  return pending;
}

bool TTextFileDb::Fail(const std::string& message) {
  ErrorMsg = message;
  ErrorPending = true;
  return false;
}

bool TTextFileDb::ValidColumn(int section, int column) const {
  return ValidSection(section) && column >= 0 && column < ColumnCount(section);
}

bool TTextFileDb::ValidCell(int section, int row, int column) const {
  return ValidColumn(section, column) && row >= 0 && row < RowCount(section);
}

std::string TTextFileDb::SectionName(int section) const {
  return ValidSection(section) ? Sections[section].Def.Name : std::string();
}

std::string TTextFileDb::SectionDescription(int section) const {
  return ValidSection(section) ? Sections[section].Def.Description : std::string();
}

int TTextFileDb::FindSection(const std::string& name) const {
  const std::string wanted = Trim(name);
  for (int s = 0; s < SectionCount(); ++s)
    if (SameText(Sections[s].Def.Name, wanted)) return s;
  return -1;
}

int TTextFileDb::AddSection(const std::string& name, const std::string& description) {
  TTextDbTable table;
  table.Def.Name = Trim(name);
  table.Def.Description = description;
  Sections.push_back(table);
  return SectionCount() - 1;
}

void TTextFileDb::DeleteSection(int section) {
  if (ValidSection(section)) Sections.erase(Sections.begin() + section);
}

void TTextFileDb::ExchangeSections(int a, int b) {
  if (ValidSection(a) && ValidSection(b)) std::swap(Sections[a], Sections[b]);
}

bool TTextFileDb::RequireSection(const std::string& name, const std::string& description, bool create, int* section) {
  if (section) *section = -1;
  if (ErrorPending) return false;
  int found = FindSection(name);
  if (found >= 0) Sections[found].Def.Description = description;
  else if (create) found = AddSection(name, description);
  else return Fail("[" + Trim(name) + "] section is missing.");
  if (section) *section = found;
  return true;
}

int TTextFileDb::RowCount(int section) const {
  if (!ValidSection(section) || Sections[section].Columns.empty()) return 0;
  return static_cast<int>(Sections[section].Columns[0].Values.size());
}

int TTextFileDb::AddRow(int section) {
  if (!ValidSection(section)) return -1;
  const int row = RowCount(section);
  for (TTextDbCol& col : Sections[section].Columns) col.Values.resize(row + 1);
  return row;
}

void TTextFileDb::ExchangeRows(int section, int a, int b) {
  if (!ValidSection(section) || a < 0 || b < 0 || a >= RowCount(section) || b >= RowCount(section)) return;
  for (TTextDbCol& col : Sections[section].Columns) std::swap(col.Values[a], col.Values[b]);
}

bool TTextFileDb::IsKeyed(int section) const {
  return ValidSection(section) && !Sections[section].Columns.empty() && Sections[section].Columns[0].Def.Key;
}

bool TTextFileDb::IsRowBlank(int section, int row) const {
  if (!ValidSection(section) || row < 0 || row >= RowCount(section)) return false;
  for (const TTextDbCol& col : Sections[section].Columns)
    if (!col.Def.Key && !col.Def.Computed && !col.Values[row].empty()) return false;
  return true;
}

int TTextFileDb::ColumnCount(int section) const {
  return ValidSection(section) ? static_cast<int>(Sections[section].Columns.size()) : 0;
}

std::string TTextFileDb::ColumnName(int section, int column) const {
  return ValidColumn(section, column) ? Sections[section].Columns[column].Def.Name : std::string();
}

TTextDbColDef TTextFileDb::ColumnDef(int section, int column) const {
  return ValidColumn(section, column) ? Sections[section].Columns[column].Def : TTextDbColDef{};
}

int TTextFileDb::FindColumn(int section, const std::string& name) const {
  if (!ValidSection(section)) return -1;
  const std::string wanted = Trim(name);
  const auto& cols = Sections[section].Columns;
  for (size_t c = 0; c < cols.size(); ++c)
    if (SameText(cols[c].Def.Name, wanted)) return static_cast<int>(c);
  return -1;
}

int TTextFileDb::AddColumn(int section, const std::string& name) {
  if (!ValidSection(section)) return -1;
  TTextDbCol col;
  col.Def.Name = Trim(name);
  col.Values.resize(RowCount(section));
  Sections[section].Columns.push_back(col);
  return ColumnCount(section) - 1;
}

void TTextFileDb::DeleteColumn(int section, int column) {
  if (ValidColumn(section, column)) Sections[section].Columns.erase(Sections[section].Columns.begin() + column);
}

void TTextFileDb::ExchangeColumns(int section, int a, int b) {
  if (ValidColumn(section, a) && ValidColumn(section, b))
    std::swap(Sections[section].Columns[a], Sections[section].Columns[b]);
}

// ---- Values ----

std::string TTextFileDb::GetValue(int section, int row, int column) const {
  if (!ValidCell(section, row, column)) return {};
  if (Sections[section].Columns[column].Def.Computed) return ComputedValue(section, row, column);
  return Sections[section].Columns[column].Values[row];
}

void TTextFileDb::SetValue(int section, int row, int column, const std::string& text) {
  if (ValidCell(section, row, column)) Sections[section].Columns[column].Values[row] = Trim(text);
}

int32_t TTextFileDb::GetInteger(int section, int row, int column) const {
  int32_t v = 0;
  ParseLongInt(GetValue(section, row, column), v);
  return v;
}

double TTextFileDb::GetNumber(int section, int row, int column) const {
  double v = 0;
  ParseReal(GetValue(section, row, column), v);
  return v;
}

bool TTextFileDb::GetBoolean(int section, int row, int column) const {
  return TextDbYes(GetValue(section, row, column));
}

TDayNum TTextFileDb::GetDate(int section, int row, int column) const {
  int64_t days = 0;
  if (!ParseTextDbDate(GetValue(section, row, column), days) || days <= 0 || days > LastDayNum()) return 0;
  return static_cast<TDayNum>(days);
}

int TTextFileDb::FindRow(int section, int column, const std::string& text) const {
  return FindRowFrom(section, 0, false, text, column);
}

int TTextFileDb::FindRowFrom(int section, int startRow, bool backwards, const std::string& text, int column) const {
  if (!ValidColumn(section, column)) return -1;
  const TTextDbColDef& def = Sections[section].Columns[column].Def;
  const std::string wanted = ComparableValue(def, Trim(text));
  const int rows = RowCount(section);
  for (int r = startRow; r >= 0 && r < rows; r += backwards ? -1 : 1)
    if (SameText(ComparableValue(def, GetValue(section, r, column)), wanted)) return r;
  return -1;
}

std::string TTextFileDb::SectionDisplay(int section, int row) const {
  if (!ValidSection(section)) return "[]";
  const std::string& name = Sections[section].Def.Name;
  if (!IsKeyed(section) || row < 0 || row >= RowCount(section)) return "[" + name + "]";
  return "[" + name + "=" + Sections[section].Columns[0].Values[row] + "]";
}

std::string TTextFileDb::SettingDisplay(int section, int row, int column) const {
  return ColumnName(section, column) + "=" + GetValue(section, row, column);
}

// ---- Loading ----

bool TTextFileDb::LoadFromFile(const std::string& fileName) {
  std::vector<std::string> includeChain;
  if (LoadLines(ExpandFileName(fileName), includeChain) && CheckRepeatedKeys()) return true;
  Clear();
  return false;
}

bool TTextFileDb::LoadLines(const std::string& fullPath, std::vector<std::string>& includeChain) {
  const int status = FileStatus(fullPath);
  if (status != fsExists) return Fail(FileStatusText(status));
  std::vector<std::string> lines;
  std::string error;
  if (!ReadLines(fullPath, lines, error)) return Fail(error);
  includeChain.push_back(fullPath);
  int section = -1, row = -1;
  for (const std::string& raw : lines) {
    const std::string line = TrimLine(raw);
    bool ok = true;
    if (line.empty()) continue;
    if (line[0] == '[') ok = ReadHeader(line, section, row);
    else if (StartsWithText(line, ";$I ")) ok = ReadInclude(line, fullPath, includeChain);
    else if (line[0] == ';') continue;
    else if (section >= 0) ok = ReadSetting(line, section, row);
    if (!ok) return false;
  }
  includeChain.pop_back();
  return true;
}

bool TTextFileDb::ReadHeader(const std::string& line, int& section, int& row) {
  std::string inner = line.substr(1);
  if (!inner.empty() && inner.back() == ']') inner.pop_back();
  const size_t eq = inner.find('=');
  const bool hasKey = eq != std::string::npos;
  const std::string name = Trim(hasKey ? inner.substr(0, eq) : inner);
  const std::string key = hasKey ? Trim(inner.substr(eq + 1)) : std::string();
  if (name.empty() || (hasKey && key.empty())) return Fail(line + " section name is incomplete.");
  section = FindSection(name);
  if (section < 0) {
    section = AddSection(name, "");
    if (hasKey) {
      TTextDbCol& keyCol = Sections[section].Columns.emplace_back();
      keyCol.Def.Name = name;
      keyCol.Def.Key = keyCol.Def.Required = true;
    }
  } else if (IsKeyed(section) && !hasKey) {
    return Fail(line + " section name is incomplete.");
  } else if (!IsKeyed(section)) {
    return Fail(line + (hasKey ? " section name is invalid." : " section appears more than once."));
  }
  row = -1;
  if (hasKey) {
    row = AddRow(section);
    Sections[section].Columns[0].Values[row] = key;
  }
  return true;
}

bool TTextFileDb::ReadSetting(const std::string& line, int section, int& row) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0)
    return Fail(line + " setting in " + SectionDisplay(section, row) + " section is invalid.");
  const std::string name = Trim(line.substr(0, eq));
  int column = FindColumn(section, name);
  if (column < 0) column = AddColumn(section, name);
  if (RowCount(section) == 0) row = AddRow(section);
  if (row < 0) row = 0;
  std::string& cell = Sections[section].Columns[column].Values[row];
  if (!cell.empty())
    return Fail(ColumnName(section, column) + " setting in " + SectionDisplay(section, row) +
                " section appears more than once.");
  cell = Trim(line.substr(eq + 1));
  return true;
}

bool TTextFileDb::ReadInclude(const std::string& line, const std::string& fullPath,
                              std::vector<std::string>& includeChain) {
  std::string name = Trim(line.substr(4));
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  const std::string included = AddSlash(ExtractFileDir(fullPath)) + name;
  const std::string prefix = "Includes file " + included + kCrLf;
  // A file that includes itself, directly or not, would be read without end.
  if (std::find(includeChain.begin(), includeChain.end(), included) != includeChain.end())
    return Fail(prefix + "File includes itself.");
  if (LoadLines(included, includeChain)) return true;
  return Fail(prefix + ErrorMsg);
}

bool TTextFileDb::CheckRepeatedKeys() {
  for (int s = 0; s < SectionCount(); ++s) {
    if (!IsKeyed(s) || RowCount(s) < 2) continue;
    std::vector<std::string> keys = Sections[s].Columns[0].Values;
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    for (size_t i = 1; i < keys.size(); ++i)
      if (SameText(keys[i - 1], keys[i]))
        return Fail("[" + Sections[s].Def.Name + "=" + keys[i] + "] section appears more than once.");
  }
  return true;
}

// ---- Virtual operations ----

bool TTextFileDb::CheckValue(const std::string&, int, int, int) { return true; }

std::string TTextFileDb::ComputedValue(int, int, int) const { return {}; }
