// The columns of a field data table and how the values of one row go into a field record.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

#include "interchange/DbfFile.h"
#include "interchange/DbfImport.h"
#include "store/FieldRules.h"
#include "store/MdaFile.h"

// The columns the import knows, in the order their values are applied.
enum TImportCol : int {
  icFieldName, icSubFld, icCropYear, icCounty, icAcres, icNotes, icFsaTract, icFsaField, icSoilTstYr, icOM,
  icTestUnits, icP, icPTest, icK, icMg, icCa, icNa, icAl, icSoilPH, icBufferPH, icCEC, icNO3N, icEC, icSO4S,
  icCropCode, icCropDescr, icYldGoal, icIrrigated, icDrained, icSlope, icSoil1, icSoil2, icSoil3, icPct1,
  icPct2, icPct3, icSoilEros, icWatershed, icCount
};

// The columns found in a table, and the text of a row's values.
class TImportColumns {
 public:
  // Finds every known column; the first name when present, else the second.
  void Find(const TDbfFile& table, bool utf8);
  bool Has(int col) const { return index_[col] > 0; }
  // The name the column was found by (the first name when absent).
  std::string Name(int col) const;
  // The value's text with blanks removed at both ends, in code page 1252 (characters it cannot
  // hold as '?'), for numbers, codes and names to match.
  std::string Text(const char* row, int col) const;
  // The text of a value to store: from a UTF-8 table into code page 1252 as `mode` says, line
  // breaks and tabs of NOTES as blanks, and no control characters; false with the rule it breaks.
  bool StoredText(const char* row, int col, TTextImport& mode, std::string& text, std::string& why) const;

 private:
  int index_[icCount] = {};
  TDbfField fields_[icCount] = {};
  bool second_[icCount] = {};
  bool utf8_ = false;
};

// Applies the values of one row to a field record.
class TRowApplier {
 public:
  TRowApplier(const TImportColumns& cols, TMdaFile& project, const TProjectRefs& refs, TValidationInfo& info);
  // Call once the project is open: sets up the state tables and the soil test units.
  void Prepare();
  // Applies every column of row `rowNumber` to the record, in column order.
  void Apply(const char* row, uint32_t rowNumber, TFieldRec& rec);

 private:
  void Warn(int col, const std::string& value, const std::string& rule);
  // A text column's value to store, with a warning when it breaks a rule; empty then.
  std::string StoredText(int col);
  // Imports a number into a field; true when it was stored.
  bool Number(int col, const char* field, int index = 0);
  void SoilTest(int col, const char* field);
  void PTest();
  void CropCode();
  void CropDescription();
  bool SetPrimaryCrop(int row, bool quietWhenNotPrimary, std::string& rule);
  void YieldGoal();
  void Irrigated();
  void Drained();
  void Soils();
  void Watershed();
  // Parses the value of a column; false (with a warning) when it is not a number.
  bool ParseValue(int col, const std::string& value, double& number);

  const TImportColumns& cols_;
  TMdaFile& project_;
  TValidationInfo& info_;
  TRuleContext ctx_;
  bool tablesLoaded_ = false;
  int defaultUnits_ = 0;  // soil test units without a TEST_UNITS column; 0 unknown

  // The row in hand.
  const char* row_ = nullptr;
  uint32_t rowNumber_ = 0;
  TFieldRec* rec_ = nullptr;
  int units_ = 0;
  // Looked up once per import: the first crop definition row of each number, and the yield units
  // (from, to) of a crop and definition number (crop << 16 | definition).
  std::unordered_map<int64_t, int> cropDefRows_;
  std::unordered_map<uint32_t, std::pair<std::string, std::string>> yieldUnits_;
};

// Whole number of a text (a real without a fractional part, as numeric columns may hold).
bool ParseWholeValue(const std::string& text, int64_t& value);
