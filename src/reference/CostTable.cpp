#include "reference/CostTable.h"

#include "common/Format.h"
#include "common/Parse.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

const char* const kShortNames[kLastGridCategory + 1] = {"",           "Misc.",     "Fertilizer", "Other fert.",
                                                        "Herbicide", "Insecticide", "Operation"};

}  // namespace

int ParseUnitCost(const std::string& text, float& value) {
  double typed = 0;
  if (!ParseReal(TrimRight(text), typed)) return ceInvalid;
  if (typed < 0 || typed > kMaxUnitCost) return ceRange;
  value = static_cast<float>(RoundToDecimals(typed, 3));
  return ceNone;
}

std::string UnitCostProblem(int error) {
  if (error == ceRange) return "Cost is not in the range 0-" + std::to_string(kMaxUnitCost) + ".";
  return "Cost is invalid.";
}

std::string UnitCostErrorText(int error) {
  return UnitCostProblem(error) + "\n\nCorrect the cost or press Ctrl+Z to undo your changes.";
}

std::string UnitCostText(float cost) {
  std::string text = FormatReal(cost, 3);
  if (!text.empty() && text.back() == '0') text.pop_back();
  return text;
}

const char* CategoryShortName(int category) {
  return category >= 1 && category <= kLastGridCategory ? kShortNames[category] : "";
}

void TCostTable::Fill(uint32_t cropMask) {
  cropFilter_ = cropMask;
  for (int c = kFirstCategory; c <= kLastCategory; ++c) counts_[c] = mdf_.CountInputs(c, itAny, cropMask);
}

int TCostTable::CategoryCount(int category) const {
  return category >= kFirstCategory && category <= kLastCategory ? counts_[category] : 0;
}

int TCostTable::Rows() const {
  int rows = 0;
  for (int c = kFirstCategory; c <= kLastGridCategory; ++c) rows += counts_[c];
  return rows;
}

TCostTable::TRowInput TCostTable::RowToInput(int row) const {
  int before = 0;
  for (int c = kFirstCategory; c <= kLastGridCategory && row >= 1; ++c) {
    if (row <= before + counts_[c]) {
      const int position = row - before;
      return {c, position, mdf_.InputAtListPosition(position, c, cropFilter_, itAny)};
    }
    before += counts_[c];
  }
  return {};
}

std::string TCostTable::CellText(int row, int column) const {
  const TRowInput in = RowToInput(row);
  if (in.code == 0) return {};
  switch (column) {
    case ccInputName: return mdf_.InputName(in.code);
    case ccType: return CategoryShortName(in.category);
    case ccCrops: return CropMaskLetters(mdf_.InputCropMask(in.code));
    case ccUnitCost: return UnitCostText(mdf_.InputCost(in.code));
    case ccCostUnit: return UnitLongName(mdf_.InputCostUnit(in.code));
    default: return {};
  }
}

int TCostTable::AcceptCost(int row, const std::string& text, bool& changed) {
  float value = 0;
  const int error = ParseUnitCost(text, value);
  if (error != ceNone) return error;
  const int code = RowToInput(row).code;
  if (code != 0 && value != mdf_.InputCost(code)) {
    mdf_.SetInputCost(code, value);
    changed = true;
  }
  return ceNone;
}
