// The value rules of the field record: number ranges with their decimals, code lists, crops
// allowed in each crop slot, input categories, units, dates in their windows and the lists of the
// state tables, and no control characters in texts. One set of rules for every path that stores
// values without the entry fields: the imports, the Soil Data Mart soils and the command-line `set`.
#pragma once

#include <cstdint>
#include <string>

#include "store/MdaLayout.h"
#include "store/RecFields.h"

class TProjectRefs;
class TStateTables;

enum class TRuleKind {
  Number,     // Lower..Upper after rounding to Decimals; 0 (or Empty) means not entered
  Analysis,   // a fertilizer analysis part: at least 0, the row's three parts at most 100
  PlantRate,  // a planting rate: needs its crop (Related), limited by the crop's planting class
  Date,       // a day in the date window Arg of the record's year
  Crop,       // a crop of crop list Arg (TCropList)
  Code,       // a code of code list Arg (TCodeList)
  Bits,       // a bit set of Arg bits
  Unit,       // a unit of class mask Arg, or of the class of the row's input (Related)
  Input,      // an input of category Arg and list type Empty, or of the code range Lower..Upper
  County,     // a county of the record's state
  State,      // the project's state, or any state of a multi-state project
  Year,       // the project's year
  StateList,  // a number of the state tables' list whose key is field Arg
  Watershed,  // 11, 12 or 14 characters once blanks are removed
};

struct TFieldRule {
  const char* Field;  // record field name
  TRuleKind Kind;
  double Lower = 0;
  double Upper = 0;
  int Decimals = 0;
  int Arg = 0;
  int Empty = 0;                  // the value meaning not entered (0 or -1); the input list type
  const char* Related = nullptr;  // the field of the same row the rule depends on
};

// The rule of a record field, or null when any value the field can hold is accepted.
const TFieldRule* FindFieldRule(const std::string& field);

// What the rules need beyond the record.
struct TRuleContext {
  const TProjectRefs& Refs;
  TStateTables* Tables = nullptr;  // null, or tables that fail to load: the state list rules pass
  uint16_t ProjectState = 0;       // 0 for a multi-state project
  uint16_t ProjectYear = 0;
};

// Checks the value of field `desc`[index] in the record; a number is first rounded to the field's
// decimals in place, a text must hold no control characters. Empty when the value passes, else the rule it breaks ("must be from 0.01 to
// 1000").
std::string CheckFieldValue(TFieldRec& rec, const TFieldDesc& desc, int index, const TRuleContext& ctx);
// Stores an imported number in a field when it passes the field's rule (rounded as the rule says;
// 0 and the empty value count as values here); otherwise the record stays as it was and the rule
// broken is returned.
std::string SetCheckedNumber(TFieldRec& rec, const std::string& field, int index, double value,
                             const TRuleContext& ctx);
// The record field of a name (no table index); null when there is none.
const TFieldDesc* RecordField(const std::string& field);
// The first text field of the record that holds a control character, as "Notes" or
// "Soil_Name[2]", with the rule it breaks; false when there is none.
bool FindControlText(const TFieldRec& rec, std::string& field, std::string& rule);
// Checks the fields of table row `row` whose names start with `prefix` ("Soil_") and whose values
// differ from `before`; false with the first that fails, as "Soil_TValue", and its rule.
bool CheckChangedRow(TFieldRec& rec, const TFieldRec& before, const std::string& prefix, int row,
                     const TRuleContext& ctx, std::string& field, std::string& rule);
