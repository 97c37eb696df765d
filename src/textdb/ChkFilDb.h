// The text database with a registry of numbered fields: a schema declares settings by number, later
// queries name them by number, and the tables can be put into the order of the numbers.
#pragma once

#include <array>
#include <string>

#include "textdb/TxtFilDb.h"

constexpr int kMaxFieldNumber = 300;

// Where a registered field lives; a free entry has section -1.
struct TFieldLocation {
  int Section = -1;
  int Column = -1;
};

class TCheckedFileDb : public TTextFileDb {
 public:
  // Remembers the expanded file name, clears the modified flag and loads the file.
  bool LoadFile(const std::string& fileName);
  const std::string& FileName() const { return LoadedName; }
  void ClearRegistry();

  // Each registers `field` (1..300) at the section and column the base define operation finds or adds.
  bool DefineTextField(int section, const std::string& name, const std::string& description, unsigned flags,
                       int width, int field);
  bool DefineIntegerField(int section, const std::string& name, const std::string& description, double maximum,
                          double minimum, unsigned flags, int field);
  bool DefineNumberField(int section, const std::string& name, const std::string& description, double maximum,
                         double minimum, unsigned flags, int decimals, int field);
  bool DefineYesNoField(int section, const std::string& name, const std::string& description, unsigned flags,
                        int field);
  bool DefineDateField(int section, const std::string& name, const std::string& description, double maximum,
                       double minimum, unsigned flags, int field);
  // The lookup column is the registered place of `referencedField` in lookupDb.
  bool DefineLookupField(int section, const std::string& name, const std::string& description, int referencedField,
                         const TCheckedFileDb& lookupDb, unsigned flags, int field);

  // Queries by field number; rows count from 0.
  TFieldLocation FieldLocation(int field) const;
  int FieldRowCount(int field) const;
  std::string FieldName(int field) const;
  std::string GetFieldValue(int field, int row) const;
  int32_t GetFieldInteger(int field, int row) const;
  float GetFieldNumber(int field, int row) const;
  bool GetFieldBoolean(int field, int row) const;
  int FindFieldRow(int field, const std::string& text) const;
  int FindFieldRowFrom(int field, int startRow, bool backwards, const std::string& text) const;

  // Stores the trimmed text when it differs from the current value (letter case counts); sets modified.
  void SetFieldValue(int field, int row, const std::string& text);
  bool IsModified() const { return Modified; }

  // Sorts the primary field's section by the registered columns (secondary, tertiary: 0 for none).
  void SortByFields(int primary, int secondary, unsigned options, int tertiary);
  // Puts columns, then sections, into field-number order.
  void ReorderByRegistry();

 private:
  std::string LoadedName;
  bool Modified = false;
  std::array<TFieldLocation, kMaxFieldNumber> Registry{};

  TFieldLocation& Entry(int field);
  const TFieldLocation& Entry(int field) const;
  void Register(int field, int section, int column);
  void ReorderColumns(int section);
};
