// A human-editable text file of [Section] and [Section=Key] headers with Name=Value settings, held as
// tables (one per section, one column per setting name, one row per keyed header) and checked against a
// schema declared in code. Every failure leaves one message naming the setting and section concerned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/DayNum.h"

// Column types.
enum : int {
  dtText = 0,
  dtInteger = 2,  // 32-bit whole number
  dtNumber = 3,   // real number
  dtYesNo = 5,    // yes/true/1 or no/false/0
  dtDate = 6,     // yyyy-mm-dd
};

// Flags of the define operations.
enum : unsigned {
  dfAdd = 1,          // add the column (blank) when the file lacks it
  dfKey = 2,          // the first column named like its section holds the section keys
  dfComputed = 8,     // values come from ComputedValue; never validated
  dfRequired = 16,    // a blank value is an error
  dfUnique = 32,      // non-blank values must differ (without regard to case)
  dfPairFirst = 64,   // first member of a unique pair
  dfPairSecond = 128, // second member; the first is the section's first column with dfPairFirst
};

// Option bits of SortRows.
enum : unsigned {
  soDescending = 1,
  soBlankRowsLast = 2,
};

struct TTextDbColDef {
  std::string Name;
  std::string Description;
  int Type = dtText;
  int Width = 0;  // longest text allowed for text columns; a display width for the others
  int Decimals = 0;
  double Minimum = 0;
  double Maximum = 0;
  bool Key = false;
  bool Computed = false;
  bool Required = false;
  bool Unique = false;
  bool PairFirst = false;
  bool PairSecond = false;
};

struct TTextDbCol {
  TTextDbColDef Def;
  std::vector<std::string> Values;  // one trimmed value per row; "" is blank
};

struct TTextDbTableDef {
  std::string Name;
  std::string Description;
};

struct TTextDbTable {
  TTextDbTableDef Def;
  std::vector<TTextDbCol> Columns;
};

class TTextFileDb {
 public:
  TTextFileDb() = default;
  virtual ~TTextFileDb() = default;

  // Reads a file into the database (call Clear first); on failure the database is cleared.
  bool LoadFromFile(const std::string& fileName);
  void Clear();
  // Whether an error is pending; clears the flag, keeps the message.
  bool TakeError();
  const std::string& ErrorMessage() const { return ErrorMsg; }

  // Sections.
  int SectionCount() const { return static_cast<int>(Sections.size()); }
  std::string SectionName(int section) const;
  std::string SectionDescription(int section) const;
  int FindSection(const std::string& name) const;
  int AddSection(const std::string& name, const std::string& description);
  void DeleteSection(int section);
  void ExchangeSections(int a, int b);
  // Finds the section (setting its description) or, when allowed, adds it empty.
  bool RequireSection(const std::string& name, const std::string& description, bool create, int* section = nullptr);

  // Rows.
  int RowCount(int section) const;
  int AddRow(int section);
  void ExchangeRows(int section, int a, int b);
  bool IsKeyed(int section) const;
  bool IsRowBlank(int section, int row) const;

  // Columns.
  int ColumnCount(int section) const;
  std::string ColumnName(int section, int column) const;
  TTextDbColDef ColumnDef(int section, int column) const;
  int FindColumn(int section, const std::string& name) const;
  int AddColumn(int section, const std::string& name);
  void DeleteColumn(int section, int column);
  void ExchangeColumns(int section, int a, int b);

  // Values.
  std::string GetValue(int section, int row, int column) const;
  void SetValue(int section, int row, int column, const std::string& text);
  int32_t GetInteger(int section, int row, int column) const;
  double GetNumber(int section, int row, int column) const;
  bool GetBoolean(int section, int row, int column) const;
  TDayNum GetDate(int section, int row, int column) const;  // 0 when no date (or beyond the day range)
  // The first row whose value equals `text` (trimmed; without regard to case; whole numbers by value).
  int FindRow(int section, int column, const std::string& text) const;
  int FindRowFrom(int section, int startRow, bool backwards, const std::string& text, int column) const;

  // Texts used in messages: "[Name]" or "[Name=Key]", and "Setting=Value".
  std::string SectionDisplay(int section, int row) const;
  std::string SettingDisplay(int section, int row, int column) const;

  // Schema. Each does nothing and fails while an error is pending; `column` receives the column index.
  bool DefineColumn(int section, const std::string& name, const std::string& description, double maximum,
                    double minimum, unsigned flags, int decimals, int width, int type, int* column = nullptr);
  bool DefineTextColumn(int section, const std::string& name, const std::string& description, unsigned flags,
                        int width, int* column = nullptr);
  bool DefineIntegerColumn(int section, const std::string& name, const std::string& description, double maximum,
                           double minimum, unsigned flags, int* column = nullptr);
  bool DefineNumberColumn(int section, const std::string& name, const std::string& description, double maximum,
                          double minimum, unsigned flags, int decimals, int* column = nullptr);
  bool DefineYesNoColumn(int section, const std::string& name, const std::string& description, unsigned flags,
                         int* column = nullptr);
  // Minimum and maximum are day numbers (days after 1 January 1900).
  bool DefineDateColumn(int section, const std::string& name, const std::string& description, double maximum,
                        double minimum, unsigned flags, int* column = nullptr);
  // Every non-blank value must be found in the lookup column of lookupDb (this database or another).
  bool DefineLookupColumn(int section, const std::string& name, const std::string& description, unsigned flags,
                          const TTextFileDb& lookupDb, int lookupSection, int lookupColumn, int* column = nullptr);
  // Passes every stored value of every non-computed column through CheckValue.
  bool ValidateAll();

  // CRC-16 (USB) of section names, defined column names and their values, in database order.
  uint16_t Checksum(int excludedSection, int excludedColumn) const;
  void SortRows(int section, int column1, unsigned options, int column2 = -1, int column3 = -1);

 protected:
  // A subclass's own check of one value; on false it must have set the message (SetErrorMessage).
  virtual bool CheckValue(const std::string& value, int section, int column, int row);
  // The value of a computed column.
  virtual std::string ComputedValue(int section, int row, int column) const;

  // Records a failure: the message and the pending flag.
  bool Fail(const std::string& message);
  void SetErrorMessage(const std::string& message) { ErrorMsg = message; }
  bool ErrorIsPending() const { return ErrorPending; }

 private:
  std::vector<TTextDbTable> Sections;
  std::string ErrorMsg;
  bool ErrorPending = false;

  bool ValidSection(int section) const { return section >= 0 && section < SectionCount(); }
  bool ValidColumn(int section, int column) const;
  bool ValidCell(int section, int row, int column) const;

  // Loading.
  bool LoadLines(const std::string& fullPath, std::vector<std::string>& includeChain);
  bool ReadHeader(const std::string& line, int& section, int& row);
  bool ReadSetting(const std::string& line, int section, int& row);
  bool ReadInclude(const std::string& line, const std::string& fullPath, std::vector<std::string>& includeChain);
  bool CheckRepeatedKeys();

  // Schema checks.
  bool CheckColumnValues(int section, int column);
  bool CheckUnique(int section, int column);
  bool CheckPair(int section, int column);
  bool CheckLookup(int section, int column, const TTextFileDb& lookupDb, int lookupSection, int lookupColumn);
  bool InvalidSetting(int section, int row, int column, const std::string& reason);
  int CompareRows(int section, int a, int b, const int* columns) const;
};

// Whether a Yes/No value means yes ("yes", "true" in any letter case, or "1"); every boolean setting
// is read this way.
bool TextDbYes(const std::string& value);
// The form in which values of a column are compared (finds, lookups, uniqueness): a whole number by
// its value ("019" and "19" are the same key), anything else as its text.
std::string ComparableValue(const TTextDbColDef& def, const std::string& value);
// The check of one value against a column definition: "" when valid, else the message.
std::string CheckTextDbValue(const TTextDbColDef& def, const std::string& value);
// Whole days after 1 January 1900 of a "yyyy-mm-dd" text; false when it is not a valid date.
bool ParseTextDbDate(const std::string& text, int64_t& days);
// "yyyy-mm-dd" of a day count as ParseTextDbDate gives it.
std::string FormatTextDbDate(int64_t days);
