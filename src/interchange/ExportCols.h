// The columns of the exported field data and application data: name, type, width, decimals and
// how each value is taken from a field record, in table order. The dBASE export formats them as
// text; a database export iterates the same columns and takes their typed values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/DayNum.h"
#include "store/MdaLayout.h"

class TMcnFile;
class TMdfFile;
class TStateTables;
class TNutrEngine;

// Column flags.
enum : unsigned {
  xcBlankZero = 1,      // 0 is written as no value
  xcBlankNegative = 2,  // a negative number is written as no value
  xcLeft = 4,           // a number is written left-justified
};

// A column's value: no value, a number (N; the day number of D; 0 or 1 for L) or a text (C).
struct TExportValue {
  bool Blank = false;
  double Number = 0;
  std::string Text;

  static TExportValue OfNumber(double v) { return {false, v, {}}; }
  static TExportValue OfText(std::string s) { return {false, 0, std::move(s)}; }
};

// The cost, income and profit figures of a record, in the order of the cost columns.
constexpr int kCostColumns = 17;
struct TCostFigures {
  float Values[kCostColumns] = {};
};

// What the values are taken from besides the record.
struct TExportSource {
  TMcnFile& Counties;
  const TMdfFile& Definitions;
  TStateTables& Tables;
  TNutrEngine& Engine;
  const TCostFigures* Costs = nullptr;  // null: the cost columns stay blank
};

// One application row of a record: an applied fertilizer, manure, pesticide, operation or other input.
struct TAppRow {
  std::string InputName;
  char Type = ' ';  // F, E, M, H, I, O or X
  float Rate = 0;
  std::string Units;
  TDayNum Date = 0;
  std::string Misc;
};

// A column and the value of a row of type Row.
template <class Row>
struct TExportColumn {
  std::string Name;
  char Type;  // C, N, D or L
  int Width;
  int Decimals;
  unsigned Flags;
  std::function<TExportValue(const Row&)> Get;

  // The value with the blank flags applied.
  TExportValue Value(const Row& row) const {
    TExportValue v = Get(row);
    if (Type == 'N' && !v.Blank && (((Flags & xcBlankZero) && v.Number == 0) || ((Flags & xcBlankNegative) && v.Number < 0)))
      v.Blank = true;
    return v;
  }
};

// A field data row: the record with what its values are taken from.
struct TFieldDataRow {
  const TExportSource& Source;
  const TFieldRec& Rec;
};
// An application data row.
struct TAppDataRow {
  const TFieldRec& Rec;
  const TAppRow& App;
};

const std::vector<TExportColumn<TFieldDataRow>>& FieldDataColumns();
const std::vector<TExportColumn<TAppDataRow>>& AppDataColumns();

// The application rows of a record, in export order.
std::vector<TAppRow> ApplicationRows(const TFieldRec& rec, const TMdfFile& definitions);

// A value as the dBASE text of its column: exactly Width characters (asterisks for a number that
// does not fit).
std::string DbfValueText(char type, int width, int decimals, unsigned flags, const TExportValue& value);
