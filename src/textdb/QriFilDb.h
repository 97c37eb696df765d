// A state's planner initialization file (state abbreviation + ".qri"): the sectioned text database
// with the state schema, its own value rules, checks of every formula it holds and its checksum.
#pragma once

#include <string>

#include "textdb/ChkFilDb.h"

// Field numbers used by callers (the others are those of the schema table).
enum : int {
  qfFileVers = 1, qfStateAbbr = 2, qfStateName = 3, qfStateCode = 5, qfRevDate = 7, qfCrc = 8, qfInitFile = 10,
  qfSoilTests = 30,
  qfCropDef = 79, qfCropName = 80, qfCanBeCover = 82, qfCanBeFirst = 83,
  qfMiscColDef = 54, qfMiscColTable = 55, qfMiscColColumn = 56, qfMiscColLabel = 57,
  qfTargetNum = 200, qfTargetAmt = 201, qfNLmtBasNum = 202, qfNLmtTarNum = 203, qfNLmtTarAmt = 204,
  qfShape = 236,
};

// One row of the schema: a section line (Field 0) or a setting.
enum class TQriKind { Section, Text, Integer, Number, YesNo, Date, Lookup };
struct TQriFieldSpec {
  TQriKind Kind;
  int Field;          // 0 for a section line
  const char* Name;
  double Minimum;
  double Maximum;
  int Size;           // text width, number decimals, or the key field a lookup refers to
  unsigned Flags;     // define flags; for a section line 1 when the section may be absent
  const char* Description;
};

// The schema in declaration order (sections followed by their settings).
const TQriFieldSpec* QriSchema(size_t& count);

class TQriFileDb : public TCheckedFileDb {
 public:
  // Loads, checks and compares the checksum; on failure the database is empty with the reason.
  bool Load(const std::string& fileName);

  // The checksum of the loaded file as 4 upper-case hexadecimal digits, and the CRC setting as read.
  const std::string& ComputedCrc() const { return CrcText; }
  const std::string& FileCrc() const { return CrcAsRead; }

  bool SoilTestsInLbPerAcre() const;
  // False only for a crop that can be a cover crop but not a first crop.
  bool NotCoverOnlyCrop(int cropRow) const;
  // The first [MiscColDef] row of that table and column (without regard to case), or -1.
  int FindMiscColumn(const std::string& table, const std::string& column) const;

 protected:
  bool CheckValue(const std::string& value, int section, int column, int row) override;
  std::string ComputedValue(int section, int row, int column) const override;

 private:
  std::string CrcText;
  std::string CrcAsRead;

  bool DeclareSchema();
  bool DeclareField(const TQriFieldSpec& spec, int section, unsigned extraFlags);
  bool CheckExpressions();
  bool CheckExpression(int field, int row, const std::vector<std::string>& names);
  bool IsField(int field, int section, int column) const;
  bool CheckTargetValue(const std::string& value, int targetField, int row);
};
