// The cost file editor's view of the definition file's working costs: the inputs of categories 1
// to 6 that pass a crop filter, one per grid row in category and file order, the texts of their
// cells, and the check of a typed unit cost. Pure logic; the desktop's editor window draws it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "reference/MdfFile.h"

// Highest unit cost the editor accepts (0 is the lowest).
constexpr int kMaxUnitCost = 999;

// Errors of a typed cost.
enum : int { ceNone = 0, ceRange = 256, ceInvalid = 257 };

// Reads a typed cost (trailing blanks removed): not a number (a blank entry included) or an
// overflow is ceInvalid, a value outside 0..999 ceRange; an accepted value is rounded to 3 decimals.
int ParseUnitCost(const std::string& text, float& value);
// The sentence of a cost error: "Cost is not in the range 0-999." or "Cost is invalid.".
std::string UnitCostProblem(int error);
// The editor's message of a cost error: the sentence and what to do about it.
std::string UnitCostErrorText(int error);

// The grid's text of a cost: 3 decimals, then one trailing "0" removed (12.500 shows as 12.50).
std::string UnitCostText(float cost);
// Short category names of the "Type" column: 1 "Misc." .. 6 "Operation"; empty otherwise.
const char* CategoryShortName(int category);

// Data columns of the grid (column 0 is the active-row marker).
enum : int { ccMarker = 0, ccInputName = 1, ccType = 2, ccCrops = 3, ccUnitCost = 4, ccCostUnit = 5 };
constexpr int kCostColumns = 6;

// Categories the grid lists; category 7's costs are only printed.
constexpr int kLastGridCategory = 6;

class TCostTable {
 public:
  explicit TCostTable(TMdfFile& mdf) : mdf_(mdf) {}

  // Counts the inputs of every category that pass `cropMask`; the rows follow from the counts.
  void Fill(uint32_t cropMask);
  uint32_t CropFilter() const { return cropFilter_; }
  // Passing inputs of a category 1..7.
  int CategoryCount(int category) const;
  // Data rows: the passing inputs of categories 1 to 6.
  int Rows() const;

  struct TRowInput {
    int category = 0;
    int position = 0;  // among the category's passing inputs, from 1
    int code = 0;
  };
  // The input of data row `row` (from 1); a zero result outside 1..Rows().
  TRowInput RowToInput(int row) const;
  // Text of a data cell, column ccInputName..ccCostUnit.
  std::string CellText(int row, int column) const;
  // Checks a typed cost for `row`; when accepted and different from the working cost, stores it
  // and sets `changed`. Returns the error (ceNone when accepted).
  int AcceptCost(int row, const std::string& text, bool& changed);

 private:
  TMdfFile& mdf_;
  uint32_t cropFilter_ = 0;
  std::array<int, kLastCategory + 1> counts_{};
};
