// The fields of the project header and field record by name, for printing and typed-in changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/MdaLayout.h"

enum class TFieldKind { U8, U16, I16, I32, U32, F32, Date, Str };

struct TFieldDesc {
  std::string name;    // export column name (`Cur_Crop`) or table column name (`Fert_N`)
  uint32_t offset;     // of the first element
  TFieldKind kind;
  uint16_t count;      // 1 for a single field, the row count of a table column
  uint16_t stride;     // bytes from one element to the next
  uint16_t maxLength;  // characters of a string field
};

const std::vector<TFieldDesc>& HeaderFields();
const std::vector<TFieldDesc>& RecordFields();

// Finds "Name" or "Name[i]" (i counted from 1) without regard to case; index is 0-based.
// False when the name is unknown or the index is missing, superfluous or out of range.
bool FindField(const std::vector<TFieldDesc>& fields, const std::string& ref, const TFieldDesc*& desc,
               int& index);

// The value as text: numbers in their shortest form, dates as yyyy-mm-dd (empty for no date),
// strings as stored (code page 1252).
std::string GetFieldText(const void* block, const TFieldDesc& desc, int index);
// Stores a typed value (strings in code page 1252, dates as yyyy-mm-dd or empty). On a value that
// does not fit the field, nothing changes and `error` says why.
bool SetFieldText(void* block, const TFieldDesc& desc, int index, const std::string& text, std::string& error);

// Number fields of the record by descriptor, whatever their stored kind (0 for a string).
double FieldNumber(const TFieldRec& rec, const TFieldDesc& desc, int index = 0);
void SetFieldNumber(TFieldRec& rec, const TFieldDesc& desc, double value, int index = 0);
