// The entry fields of the record pages: which record field each shows, how its value is shown
// and how a typed text is checked and written back. Pure logic without Qt.
#pragma once

#include <string>
#include <vector>

#include "store/MdaLayout.h"
#include "store/RecFields.h"

enum TPageIndex {
  pgGeneral,
  pgSoilTests,
  pgCrops,
  pgPlanting,
  pgNutrients,
  pgPesticides,
  pgOperations,
  pgOther,
  pgErosion,
  pgHarvest,
  kPageCount
};

enum class TEntryKind { Text, Word, SmallInt, Single, Date, PlantRate, Watershed };

struct TEntryDef {
  TPageIndex page;
  const char* field;   // record field name (`Field_Size`)
  const char* label;   // caption; empty when the page sets it
  const char* units;   // label after the field; empty when none or set by the page
  TEntryKind kind;
  int size;            // characters of a text field, decimals of a number field
  double limit;        // upper bound of a number field; the date kind of a date field
  int lower = 1;       // smallest accepted whole number (1970 for Year Tested)
  int flagBit = 0;     // the record's "entered" flag of the value; 0 for none
  int emptyValue = 0;  // value stored for an empty field (-1 where that means not entered)
};

// What the checks need to know beyond the field: the record's year and its crops' planting classes.
struct TEntryContext {
  int year = 0;
  bool primaryCropEntered = false;
  double primaryPlantClass = 0;
  bool firstCropEntered = false;
  double firstPlantClass = 0;
};

// Every entry field of the pages, in page and tab order.
const std::vector<TEntryDef>& PageEntryDefs();
const TEntryDef* FindEntryDef(const std::string& field);
const TFieldDesc& EntryField(const TEntryDef& def);

// The field's value as shown (display conventions of the pages).
std::string EntryText(const TFieldRec& rec, const TEntryDef& def);

// Result of checking a typed text.
struct TEntryResult {
  int code = 0;           // 0 accepted, else the check's error code
  std::string message;    // the error message when not accepted
  std::string shownText;  // the text to show once the field is left (reformatted)
};

// Checks `text` and, when accepted, writes the value into `rec`.
TEntryResult AcceptEntry(TFieldRec& rec, const TEntryDef& def, const std::string& text, const TEntryContext& ctx);
