// The schema side of the text database: column definitions with their value, uniqueness and lookup
// checks, validation through the subclass, the checksum and row sorting.
#include <algorithm>
#include <cstdio>
#include <numeric>

#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "textdb/TxtFilDb.h"

namespace {

const char* const kCrLf = "\r\n";

std::string RangeNumber(double v) { return FormatReal(v, 5, fmtTrimZeros); }

// "Value must be in the range A - B." or, for a single allowed value, "Value must be A.".
std::string RangeText(const std::string& lo, const std::string& hi, const char* separator) {
  if (lo == hi) return "Value must be " + lo + ".";
  return "Value must be in the range " + lo + separator + hi + ".";
}

std::string CheckRange(const TTextDbColDef& def, double v) {
  if (v >= def.Minimum && v <= def.Maximum) return {};
  if (def.Type == dtDate)
    return RangeText(FormatTextDbDate(static_cast<int64_t>(def.Minimum)), FormatTextDbDate(static_cast<int64_t>(def.Maximum)), " to ");
  return RangeText(RangeNumber(def.Minimum), RangeNumber(def.Maximum), " - ");
}

bool IsYesNo(const std::string& v) {
  return SameText(v, "yes") || SameText(v, "true") || SameText(v, "no") || SameText(v, "false") || v == "1" || v == "0";
}

// Days from 1 January 1900 of a proleptic Gregorian date (negative before it).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 693901;  // 693901: days from 0000-03-01 to 1900-01-01
}

int DaysInMonth(int64_t y, int64_t m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

bool UnsignedPart(const std::string& s, size_t from, size_t count, int64_t& v) {
  v = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  return v <= 65535;
}

// The sort key of one value: a number for numeric types, else the text.
int CompareValues(int type, const std::string& a, const std::string& b) {
  double x = 0, y = 0;
  switch (type) {
    case dtInteger:
    case dtNumber: ParseReal(a, x), ParseReal(b, y); break;
    case dtYesNo: x = TextDbYes(a), y = TextDbYes(b); break;
    case dtDate: {
      int64_t da = 0, db = 0;
      ParseTextDbDate(a, da), ParseTextDbDate(b, db);
      x = static_cast<double>(da), y = static_cast<double>(db);
      break;
    }
    default: return CompareText(a, b);
  }
  return x < y ? -1 : x > y ? 1 : 0;
}

void CrcAdd(uint16_t& crc, const std::string& text) {
  for (unsigned char byte : text) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
  }
}

// Index of the second row (in row order) whose key equals `value` without regard to case.
int SecondOccurrence(const std::vector<std::string>& keys, const std::string& value) {
  int seen = 0;
  for (size_t r = 0; r < keys.size(); ++r)
    if (SameText(keys[r], value) && ++seen == 2) return static_cast<int>(r);
  return -1;
}

// The smallest non-blank key that occurs more than once (without regard to case), or "".
std::string FirstRepeated(std::vector<std::string> keys) {
  std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  for (size_t i = 1; i < keys.size(); ++i)
    if (!keys[i].empty() && SameText(keys[i - 1], keys[i])) return keys[i];
  return {};
}

}  // namespace

bool TextDbYes(const std::string& value) { return SameText(value, "yes") || SameText(value, "true") || value == "1"; }

std::string ComparableValue(const TTextDbColDef& def, const std::string& value) {
  int32_t number = 0;
  return def.Type == dtInteger && ParseLongInt(value, number) ? std::to_string(number) : value;
}

bool ParseTextDbDate(const std::string& text, int64_t& days) {
  days = 0;
  int64_t y, m, d;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (!UnsignedPart(text, 0, 4, y) || !UnsignedPart(text, 5, 2, m) || !UnsignedPart(text, 8, 2, d)) return false;
  if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  days = DaysFromCivil(y, m, d);
  return true;
}

std::string FormatTextDbDate(int64_t days) {
  // Inverse of DaysFromCivil.
  const int64_t z = days + 693901;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
  return buf;
}

std::string CheckTextDbValue(const TTextDbColDef& def, const std::string& value) {
  if (value.empty()) return def.Required ? "Value cannot be blank." : "";
  switch (def.Type) {
    case dtInteger: {
      int32_t v;
      if (!ParseLongInt(value, v)) return "Value must be a whole number.";
      return CheckRange(def, v);
    }
    case dtNumber: {
      double v;
      if (!ParseReal(value, v)) return "Value must be a valid number.";
      return CheckRange(def, v);
    }
    case dtYesNo: return IsYesNo(value) ? "" : "Value must be Yes or No.";
    case dtDate: {
      int64_t days;
      if (!ParseTextDbDate(value, days)) return "Value must be a valid date.";
      return CheckRange(def, static_cast<double>(days));
    }
    default:
      if (value.find_first_of("\r\n\x1a") != std::string::npos) return "Value contains an invalid character.";
      if (value.size() > static_cast<size_t>(std::max(def.Width, 0)))
        return "Value must be no longer than " + std::to_string(def.Width) + " characters.";
      return {};
  }
}

// ---- Column definitions ----

bool TTextFileDb::DefineColumn(int section, const std::string& name, const std::string& description, double maximum,
                               double minimum, unsigned flags, int decimals, int width, int type, int* column) {
  if (column) *column = -1;
  if (ErrorPending) return false;
  if (!ValidSection(section)) return Fail("[" + Trim(name) + "] section is missing.");
  int c = FindColumn(section, name);
  if (c < 0) {
    if (!(flags & (dfAdd | dfComputed)))
      return Fail(Trim(name) + " setting in " + SectionDisplay(section, 0) + " section is missing.");
    c = AddColumn(section, name);
  }
  if (column) *column = c;
  TTextDbColDef& def = Sections[section].Columns[c].Def;
  def.Description = description;
  def.Type = type, def.Width = width, def.Decimals = decimals;
  def.Minimum = minimum, def.Maximum = maximum;
  if (flags & dfKey) def.Key = c == 0 && SameText(def.Name, SectionName(section));
  def.Required = (flags & dfRequired) || def.Key;
  def.Computed = (flags & dfComputed) != 0;
  if (def.Computed) {
    std::fill(Sections[section].Columns[c].Values.begin(), Sections[section].Columns[c].Values.end(), std::string());
    return true;
  }
  if (!CheckColumnValues(section, c)) return false;
  if ((flags & dfUnique) || def.Key) {
    def.Unique = true;
    return CheckUnique(section, c);
  }
  if (flags & dfPairFirst) {
    def.PairFirst = true;
  } else if (flags & dfPairSecond) {
    def.PairSecond = true;
    return CheckPair(section, c);
  }
  return true;
}

bool TTextFileDb::DefineTextColumn(int section, const std::string& name, const std::string& description,
                                   unsigned flags, int width, int* column) {
  return DefineColumn(section, name, description, 0, 0, flags, 0, width, dtText, column);
}

namespace {
int IntegerWidth(double maximum, double minimum) {
  const size_t a = FormatInt(static_cast<int64_t>(maximum)).size(), b = FormatInt(static_cast<int64_t>(minimum)).size();
  return static_cast<int>(std::max(a, b));
}
}  // namespace

bool TTextFileDb::DefineIntegerColumn(int section, const std::string& name, const std::string& description,
                                      double maximum, double minimum, unsigned flags, int* column) {
  return DefineColumn(section, name, description, maximum, minimum, flags, 0, IntegerWidth(maximum, minimum),
                      dtInteger, column);
}

bool TTextFileDb::DefineNumberColumn(int section, const std::string& name, const std::string& description,
                                     double maximum, double minimum, unsigned flags, int decimals, int* column) {
  const int width = IntegerWidth(maximum, minimum) + (decimals > 0 ? decimals + 1 : 0);
  return DefineColumn(section, name, description, maximum, minimum, flags, decimals, width, dtNumber, column);
}

bool TTextFileDb::DefineYesNoColumn(int section, const std::string& name, const std::string& description,
                                    unsigned flags, int* column) {
  return DefineColumn(section, name, description, 0, 0, flags, 0, 1, dtYesNo, column);
}

bool TTextFileDb::DefineDateColumn(int section, const std::string& name, const std::string& description,
                                   double maximum, double minimum, unsigned flags, int* column) {
  return DefineColumn(section, name, description, maximum, minimum, flags, 0, 8, dtDate, column);
}

bool TTextFileDb::DefineLookupColumn(int section, const std::string& name, const std::string& description,
                                     unsigned flags, const TTextFileDb& lookupDb, int lookupSection,
                                     int lookupColumn, int* column) {
  if (column) *column = -1;
  if (ErrorPending) return false;
  if (!lookupDb.ValidColumn(lookupSection, lookupColumn))
    return Fail(Trim(name) + " setting's lookup section or setting is missing.");
  const TTextDbColDef& ref = lookupDb.Sections[lookupSection].Columns[lookupColumn].Def;
  int c = -1;
  if (!DefineColumn(section, name, description, ref.Maximum, ref.Minimum, flags, ref.Decimals, ref.Width, ref.Type, &c))
    return false;
  if (column) *column = c;
  return CheckLookup(section, c, lookupDb, lookupSection, lookupColumn);
}

// ---- Checks ----

bool TTextFileDb::InvalidSetting(int section, int row, int column, const std::string& reason) {
  return Fail(SettingDisplay(section, row, column) + " setting in " + SectionDisplay(section, row) +
              " section is invalid." + kCrLf + reason);
}

bool TTextFileDb::CheckColumnValues(int section, int column) {
  const TTextDbCol& col = Sections[section].Columns[column];
  for (int r = 0; r < RowCount(section); ++r) {
    const std::string reason = CheckTextDbValue(col.Def, col.Values[r]);
    if (!reason.empty()) return InvalidSetting(section, r, column, reason);
  }
  return true;
}

bool TTextFileDb::CheckUnique(int section, int column) {
  if (RowCount(section) < 2) return true;
  const TTextDbCol& col = Sections[section].Columns[column];
  std::vector<std::string> values;
  for (const std::string& v : col.Values) values.push_back(ComparableValue(col.Def, v));
  const std::string repeated = FirstRepeated(values);
  if (repeated.empty()) return true;
  const int row = SecondOccurrence(values, repeated);
  return Fail(SettingDisplay(section, row, column) + " setting in " + SectionDisplay(section, row) +
              " section is not unique.");
}

bool TTextFileDb::CheckPair(int section, int column) {
  if (RowCount(section) < 2) return true;
  const auto& cols = Sections[section].Columns;
  const auto first = std::find_if(cols.begin(), cols.end(), [](const TTextDbCol& c) { return c.Def.PairFirst; });
  if (first == cols.end()) return true;
  std::vector<std::string> combined(RowCount(section));
  for (int r = 0; r < RowCount(section); ++r) {
    const std::string a = ComparableValue(first->Def, first->Values[r]);
    const std::string b = ComparableValue(cols[column].Def, cols[column].Values[r]);
    if (!a.empty() || !b.empty()) combined[r] = Pad(a, std::max(first->Def.Width, 0)) + b;
  }
  const std::string repeated = FirstRepeated(combined);
  if (repeated.empty()) return true;
  const int row = SecondOccurrence(combined, repeated);
  const int firstColumn = static_cast<int>(first - cols.begin());
  return Fail(SettingDisplay(section, row, firstColumn) + " and " + SettingDisplay(section, row, column) +
              " settings in " + SectionDisplay(section, row) + " section are not unique.");
}

bool TTextFileDb::CheckLookup(int section, int column, const TTextFileDb& lookupDb, int lookupSection,
                              int lookupColumn) {
  const TTextDbCol& col = Sections[section].Columns[column];
  for (int r = 0; r < RowCount(section); ++r) {
    if (col.Values[r].empty() || lookupDb.FindRow(lookupSection, lookupColumn, col.Values[r]) >= 0) continue;
    const std::string lookupName = lookupDb.ColumnName(lookupSection, lookupColumn);
    std::string reason;
    if (lookupDb.IsKeyed(lookupSection)) {
      reason = "Value must specify a valid [" + lookupDb.SectionName(lookupSection) + "] section";
      if (!lookupDb.ColumnDef(lookupSection, lookupColumn).Key) reason += " " + lookupName + " value";
    } else {
      reason = "Value must match " + lookupDb.SectionDisplay(lookupSection, 0) + " section's " + lookupName + " value";
    }
    reason += &lookupDb == this ? "." : " in lookup file.";
    return InvalidSetting(section, r, column, reason);
  }
  return true;
}

bool TTextFileDb::ValidateAll() {
  if (ErrorPending) return false;
  for (int s = 0; s < SectionCount(); ++s) {
    for (int c = 0; c < ColumnCount(s); ++c) {
      if (Sections[s].Columns[c].Def.Computed) continue;
      for (int r = 0; r < RowCount(s); ++r) {
        if (!CheckValue(Sections[s].Columns[c].Values[r], s, c, r)) return InvalidSetting(s, r, c, ErrorMsg);
      }
    }
  }
  return true;
}

// ---- Checksum and sorting ----

uint16_t TTextFileDb::Checksum(int excludedSection, int excludedColumn) const {
  uint16_t crc = 0xFFFF;
  for (int s = 0; s < SectionCount(); ++s) {
    const auto& cols = Sections[s].Columns;
    auto counted = [](const TTextDbCol& c) { return !c.Def.Computed && c.Def.Width > 0; };
    if (std::none_of(cols.begin(), cols.end(), counted)) continue;
    CrcAdd(crc, Sections[s].Def.Name);
    for (size_t c = 0; c < cols.size(); ++c) {
      if (!counted(cols[c])) continue;
      CrcAdd(crc, cols[c].Def.Name);
      if (s == excludedSection && static_cast<int>(c) == excludedColumn) continue;
      for (const std::string& v : cols[c].Values) CrcAdd(crc, v);
    }
  }
  return static_cast<uint16_t>(~crc);
}

int TTextFileDb::CompareRows(int section, int a, int b, const int* columns) const {
  for (int k = 0; k < 3; ++k) {
    if (!ValidColumn(section, columns[k])) continue;
    const TTextDbCol& col = Sections[section].Columns[columns[k]];
    const int cmp = CompareValues(col.Def.Type, col.Values[a], col.Values[b]);
    if (cmp != 0) return cmp;
  }
  return 0;
}

void TTextFileDb::SortRows(int section, int column1, unsigned options, int column2, int column3) {
  if (!ValidSection(section)) return;
  const int rows = RowCount(section);
  int sorted = rows;
  if (options & soBlankRowsLast) {
    for (int r = 0; r < rows; ++r) {
      if (!IsRowBlank(section, r)) continue;
      int next = r + 1;
      while (next < rows && IsRowBlank(section, next)) ++next;
      if (next == rows) break;
      ExchangeRows(section, r, next);
    }
    sorted = 0;
    while (sorted < rows && !IsRowBlank(section, sorted)) ++sorted;
  }
  const int columns[3] = {column1, column2, column3};
  std::vector<int> order(sorted);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int cmp = CompareRows(section, a, b, columns);
    return (options & soDescending) ? cmp > 0 : cmp < 0;
  });
  for (TTextDbCol& col : Sections[section].Columns) {
    std::vector<std::string> values(col.Values);
    for (int r = 0; r < sorted; ++r) values[r] = col.Values[order[r]];
    col.Values.swap(values);
  }
}
