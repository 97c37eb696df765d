#include "textdb/ChkFilDb.h"

#include <algorithm>
#include <vector>

#include "common/Parse.h"
#include "filebase/FileUtl.h"

bool TCheckedFileDb::LoadFile(const std::string& fileName) {
  LoadedName = ExpandFileName(fileName);
  Modified = false;
  return LoadFromFile(LoadedName);
}

void TCheckedFileDb::ClearRegistry() { Registry.fill(TFieldLocation{}); }

TFieldLocation& TCheckedFileDb::Entry(int field) {
  static TFieldLocation scratch;  // out-of-range numbers are a programming error; they find nothing
  if (field < 1 || field > kMaxFieldNumber) return scratch = TFieldLocation{};
  return Registry[field - 1];
}

const TFieldLocation& TCheckedFileDb::Entry(int field) const {
  static const TFieldLocation none;
  return field < 1 || field > kMaxFieldNumber ? none : Registry[field - 1];
}

void TCheckedFileDb::Register(int field, int section, int column) {
  TFieldLocation& e = Entry(field);
  e.Section = section;
  e.Column = column;
}

bool TCheckedFileDb::DefineTextField(int section, const std::string& name, const std::string& description,
                                     unsigned flags, int width, int field) {
  int column = -1;
  const bool ok = DefineTextColumn(section, name, description, flags, width, &column);
  Register(field, section, column);
  return ok;
}

bool TCheckedFileDb::DefineIntegerField(int section, const std::string& name, const std::string& description,
                                        double maximum, double minimum, unsigned flags, int field) {
  int column = -1;
  const bool ok = DefineIntegerColumn(section, name, description, maximum, minimum, flags, &column);
  Register(field, section, column);
  return ok;
}

bool TCheckedFileDb::DefineNumberField(int section, const std::string& name, const std::string& description,
                                       double maximum, double minimum, unsigned flags, int decimals, int field) {
  int column = -1;
  const bool ok = DefineNumberColumn(section, name, description, maximum, minimum, flags, decimals, &column);
  Register(field, section, column);
  return ok;
}

bool TCheckedFileDb::DefineYesNoField(int section, const std::string& name, const std::string& description,
                                      unsigned flags, int field) {
  int column = -1;
  const bool ok = DefineYesNoColumn(section, name, description, flags, &column);
  Register(field, section, column);
  return ok;
}

bool TCheckedFileDb::DefineDateField(int section, const std::string& name, const std::string& description,
                                     double maximum, double minimum, unsigned flags, int field) {
  int column = -1;
  const bool ok = DefineDateColumn(section, name, description, maximum, minimum, flags, &column);
  Register(field, section, column);
  return ok;
}

bool TCheckedFileDb::DefineLookupField(int section, const std::string& name, const std::string& description,
                                       int referencedField, const TCheckedFileDb& lookupDb, unsigned flags,
                                       int field) {
  const TFieldLocation ref = lookupDb.FieldLocation(referencedField);
  int column = -1;
  const bool ok = DefineLookupColumn(section, name, description, flags, lookupDb, ref.Section, ref.Column, &column);
  Register(field, section, column);
  return ok;
}

TFieldLocation TCheckedFileDb::FieldLocation(int field) const { return Entry(field); }

int TCheckedFileDb::FieldRowCount(int field) const { return RowCount(Entry(field).Section); }

std::string TCheckedFileDb::FieldName(int field) const { return ColumnName(Entry(field).Section, Entry(field).Column); }

std::string TCheckedFileDb::GetFieldValue(int field, int row) const {
  return GetValue(Entry(field).Section, row, Entry(field).Column);
}

int32_t TCheckedFileDb::GetFieldInteger(int field, int row) const {
  return GetInteger(Entry(field).Section, row, Entry(field).Column);
}

float TCheckedFileDb::GetFieldNumber(int field, int row) const {
  float v = 0;
  ParseSingle(GetFieldValue(field, row), v);
  return v;
}

bool TCheckedFileDb::GetFieldBoolean(int field, int row) const {
  return GetBoolean(Entry(field).Section, row, Entry(field).Column);
}

int TCheckedFileDb::FindFieldRow(int field, const std::string& text) const {
  return FindRow(Entry(field).Section, Entry(field).Column, text);
}

int TCheckedFileDb::FindFieldRowFrom(int field, int startRow, bool backwards, const std::string& text) const {
  return TTextFileDb::FindRowFrom(Entry(field).Section, startRow, backwards, text, Entry(field).Column);
}

void TCheckedFileDb::SetFieldValue(int field, int row, const std::string& text) {
  const TFieldLocation& e = Entry(field);
  if (row < 0 || row >= RowCount(e.Section) || e.Column < 0 || e.Column >= ColumnCount(e.Section)) return;
  const std::string value = Trim(text);
  if (value == GetValue(e.Section, row, e.Column)) return;
  SetValue(e.Section, row, e.Column, value);
  Modified = true;
}

void TCheckedFileDb::SortByFields(int primary, int secondary, unsigned options, int tertiary) {
  const int section = Entry(primary).Section;
  auto columnOf = [&](int field) { return field == 0 || Entry(field).Section != section ? -1 : Entry(field).Column; };
  SortRows(section, Entry(primary).Column, options, columnOf(secondary), columnOf(tertiary));
}

void TCheckedFileDb::ReorderColumns(int section) {
  std::vector<int> fields;  // ascending field numbers registered to this section
  for (int f = 1; f <= kMaxFieldNumber; ++f)
    if (Entry(f).Section == section && Entry(f).Column >= 0) fields.push_back(f);
  for (size_t i = 0; i < fields.size(); ++i) {
    size_t smallest = i;
    for (size_t k = i + 1; k < fields.size(); ++k)
      if (Entry(fields[k]).Column < Entry(fields[smallest]).Column) smallest = k;
    const int a = Entry(fields[i]).Column, b = Entry(fields[smallest]).Column;
    if (a == b) continue;
    ExchangeColumns(section, a, b);
    for (TFieldLocation& e : Registry) {
      if (e.Section != section) continue;
      if (e.Column == a) e.Column = b;
      else if (e.Column == b) e.Column = a;
    }
  }
}

void TCheckedFileDb::ReorderByRegistry() {
  for (int s = 0; s < SectionCount(); ++s) ReorderColumns(s);
  std::vector<int> order;  // sections in the order of their smallest registered field number
  for (int f = 1; f <= kMaxFieldNumber; ++f) {
    const int s = Entry(f).Section;
    if (s >= 0 && std::find(order.begin(), order.end(), s) == order.end()) order.push_back(s);
  }
  for (size_t i = 0; i < order.size(); ++i) {
    size_t smallest = i;
    for (size_t k = i + 1; k < order.size(); ++k)
      if (order[k] < order[smallest]) smallest = k;
    const int a = order[i], b = order[smallest];
    if (a == b) continue;
    ExchangeSections(a, b);
    for (int& s : order) s = s == a ? b : s == b ? a : s;
    for (TFieldLocation& e : Registry) e.Section = e.Section == a ? b : e.Section == b ? a : e.Section;
  }
}
