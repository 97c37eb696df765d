// Record services of the open project: sorting the input tables by date, the completeness check
// behind Check Data, and the tests that tell whether a crop change would lose data.
#include <cstring>
#include <initializer_list>

#include "store/CropCalc.h"
#include "store/FieldCalc.h"
#include "vocab/CropVocab.h"
#include "store/MdaFile.h"

namespace {

// One column of a record table: its first element and the element size.
struct TColumn {
  uint8_t* base;
  size_t size;
};

template <class T, size_t N>
TColumn Col(T (&column)[N]) {
  return {reinterpret_cast<uint8_t*>(column), sizeof(T)};
}

void SwapRows(std::initializer_list<TColumn> columns, int a, int b) {
  uint8_t tmp[64];
  for (const TColumn& c : columns) {
    std::memcpy(tmp, c.base + a * c.size, c.size);
    std::memcpy(c.base + a * c.size, c.base + b * c.size, c.size);
    std::memcpy(c.base + b * c.size, tmp, c.size);
  }
}

// Selection by smallest non-zero date; a row without date is taken only while nothing better is found.
template <size_t N>
void SortByDate(TLeDate (&dates)[N], std::initializer_list<TColumn> columns) {
  for (int i = 0; i + 1 < static_cast<int>(N); ++i) {
    int best = i;
    for (int j = i + 1; j < static_cast<int>(N); ++j) {
      const uint16_t d = dates[j];
      if (d != 0 && (dates[best] == 0 || d < dates[best])) best = j;
    }
    if (best != i) SwapRows(columns, i, best);
  }
}

bool AnyUnitMissing(const TFieldRec& r) {
  const std::pair<float, uint8_t> tests[] = {{r.P, r.P_Units},   {r.K, r.K_Units},   {r.Mg, r.Mg_Units},
                                             {r.Ca, r.Ca_Units}, {r.Na, r.Na_Units}, {r.Al, r.Al_Units}};
  for (const auto& [value, units] : tests)
    if (value > 0 && units == 0) return true;
  return false;
}

bool FertPresent(const TFieldRec& r, int i) { return r.Fert_N[i] > 0 || r.Fert_P2O5[i] > 0 || r.Fert_K2O[i] > 0; }

bool ResidueMismatch(const TFieldRec& r) {
  const int residue = r.Residue;
  if (residue < 0) return false;
  switch (r.Cur_Till) {
    case 1: case 2: case 3: case 4: return residue <= 30;
    case 5: return residue < 16 || residue > 30;
    case 6: return residue > 15;
    default: return false;
  }
}

bool NeedsPrimaryOperations(uint16_t crop) { return crop != 0 && (crop < 15 || crop > 18); }
bool HarvestedAsFirst(const TFieldRec& r) { return CropInfo(r.Cov_Crop).First && CoverCalcYield(r) > 0; }

// Checks 1 to 17 and 22 to 37 that need nothing but the record.
bool RecordCheck(int n, const TFieldRec& r) {
  auto anyRow = [](int rows, auto&& test) {
    for (int i = 0; i < rows; ++i)
      if (test(i)) return true;
    return false;
  };
  switch (n) {
    case 1: return r.County == 0;
    case 2: return AnyUnitMissing(r);
    case 3: return r.Till_Years > 1 && r.Prev_Till != 0 && r.Cur_Till != 0 && r.Prev_Till != r.Cur_Till;
    case 4:
      return (r.HasFlag(rfCustN) || r.HasFlag(rfCustP) || r.HasFlag(rfCustK)) && r.Cust_Source.Empty();
    case 5: return PrimaryPlantingRate(r, prfRate) == 0 && (r.Cur_Crop < 15 || r.Cur_Crop > 18);
    case 6: return r.Cov_Crop != 0 && r.Cov_PlRate == 0;
    case 7: return anyRow(kFertRows, [&](int i) { return FertPresent(r, i) && r.Fert_Rate[i] == 0; });
    case 8: return anyRow(kFertRows, [&](int i) { return FertPresent(r, i) && r.Fert_Form[i] == 0; });
    case 9: return anyRow(kOFertRows, [&](int i) { return r.OFert_Input[i] != 0 && r.OFert_Rate[i] == 0; });
    case 10: return anyRow(kManureRows, [&](int i) { return r.Man_Input[i] != 0 && r.Man_Rate[i] == 0; });
    case 11:
      return anyRow(kManureRows, [&](int i) {
        return r.Man_Input[i] != 0 && r.Man_TotN[i] > 0 && r.Man_NH4N[i] > 0 && r.Man_TotN[i] < r.Man_NH4N[i];
      });
    case 12: return anyRow(kManureRows, [&](int i) { return r.Man_Input[i] != 0 && r.Man_Date[i] == 0; });
    case 13: return anyRow(kManureRows, [&](int i) { return r.Man_Input[i] != 0 && r.Man_Method[i] == 0; });
    case 14: return anyRow(kHerbRows, [&](int i) { return r.Herb_Input[i] != 0 && r.Herb_Rate[i] == 0; });
    case 15: return anyRow(kInsRows, [&](int i) { return r.Ins_Input[i] != 0 && r.Ins_Rate[i] == 0; });
    case 16: return anyRow(kOperRows, [&](int i) { return r.Oper_Input[i] != 0 && r.Oper_Date[i] == 0; });
    case 17: return anyRow(kOperRows, [&](int i) { return r.Oper_Input[i] != 0 && r.Oper_Trips[i] == 0; });
    case 22: return anyRow(kOtherRows, [&](int i) { return r.Othr_Input[i] != 0 && r.Othr_Cost[i] == 0; });
    case 23: return anyRow(kSoilRows, [&](int i) { return SoilRowDefined(r, i) && r.Soil_FldPct[i] == 0; });
    case 24: {
      int sum = 0;
      for (int i = 0; i < kSoilRows; ++i)
        if (SoilRowDefined(r, i)) sum += r.Soil_FldPct[i];
      return sum != 100;
    }
    case 25: return anyRow(kSoilRows, [&](int i) { return SoilRowDefined(r, i) && r.Soil_TValue[i] == 0; });
    case 26: {
      const bool some = anyRow(kSoilRows, [&](int i) { return SoilRowDefined(r, i) && r.Soil_Rating[i] > 0; });
      const bool without = anyRow(kSoilRows, [&](int i) { return SoilRowDefined(r, i) && r.Soil_Rating[i] <= 0; });
      return some && without;
    }
    case 27:
      return r.Rent_Value == 0 &&
             !anyRow(kSoilRows, [&](int i) { return SoilRowDefined(r, i) && r.Soil_Rating[i] > 0; });
    case 28: return ResidueMismatch(r);
    case 29: return r.Water_Loss == 0 && r.Wind_Loss == 0;
    case 30: return r.Cur_Mois == 0 && IsKnownCrop(r.Cur_Crop) && HasHarvestMoisture(r.Cur_Crop);
    case 31: return r.Cur_Yield == 0 && r.Cur_Goal == 0;
    case 32: return r.Cur_Yield == 0 && r.Cur_Goal > 0;
    case 33: return HasSecondaryYield(r.Cur_Crop) && r.Cur_Yield2 == 0;
    case 34: {
      const TCropInfo& c = CropInfo(r.Cov_Crop);
      return r.Cov_Crop != 0 && c.Cover && !c.First && CoverCalcYield(r) > 0;
    }
    case 35: return HarvestedAsFirst(r) && r.Cov_Mois == 0 && HasHarvestMoisture(r.Cov_Crop);
    case 36: return HarvestedAsFirst(r) && r.Cov_Yield == 0 && r.Cov_Goal > 0;
    case 37: return HarvestedAsFirst(r) && HasSecondaryYield(r.Cov_Crop) && r.Cov_Yield2 == 0;
    default: return false;
  }
}

}  // namespace

void TMdaFile::SortInputs(TFieldRec& r) {
  SortByDate(r.Fert_Date, {Col(r.Fert_N), Col(r.Fert_P2O5), Col(r.Fert_K2O), Col(r.Fert_Rate), Col(r.Fert_Units),
                           Col(r.Fert_Form), Col(r.Fert_Date)});
  SortByDate(r.OFert_Date, {Col(r.OFert_Input), Col(r.OFert_Rate), Col(r.OFert_Units), Col(r.OFert_Date)});
  SortByDate(r.Man_Date, {Col(r.Man_Input), Col(r.Man_Rate), Col(r.Man_Units), Col(r.Man_TotN), Col(r.Man_P2O5),
                          Col(r.Man_K2O), Col(r.Man_Date), Col(r.Man_Legacy), Col(r.Man_Method), Col(r.Man_NH4N),
                          Col(r.Man_PctDM)});
  SortByDate(r.Herb_Date, {Col(r.Herb_Input), Col(r.Herb_Rate), Col(r.Herb_Units), Col(r.Herb_Timing),
                           Col(r.Herb_Date)});
  SortByDate(r.Ins_Date, {Col(r.Ins_Input), Col(r.Ins_Rate), Col(r.Ins_Units), Col(r.Ins_Method), Col(r.Ins_Date)});
  SortByDate(r.Oper_Date, {Col(r.Oper_Input), Col(r.Oper_Trips), Col(r.Oper_Date)});
  SortByDate(r.Othr_Date, {Col(r.Othr_Input), Col(r.Othr_Desc), Col(r.Othr_Rate), Col(r.Othr_Units),
                           Col(r.Othr_Cost), Col(r.Othr_Date)});
}

bool TMdaFile::ValidFor(uint16_t code, uint16_t crop) const {
  return refs_ && (refs_->InputCropMask(code) & CropBit(crop)) != 0;
}

bool TMdaFile::HasOperation(const TFieldRec& r, uint16_t crop, uint16_t kind) const {
  if (!refs_) return false;
  for (int i = 0; i < kOperRows; ++i) {
    const uint16_t code = r.Oper_Input[i];
    if (code != 0 && refs_->InputKind(code) == kind && ValidFor(code, crop)) return true;
  }
  for (int i = 0; i < kOtherRows; ++i) {
    const uint16_t code = r.Othr_Input[i];
    if (code != 0 && refs_->InputKind(code) == 6 && refs_->InputSubKind(code) == kind && ValidFor(code, crop))
      return true;
  }
  return false;
}

std::vector<int> TMdaFile::CheckRecord(const TFieldRec& r) const {
  std::vector<int> found;
  const bool primaryOps = NeedsPrimaryOperations(r.Cur_Crop);
  for (int n = 1; n <= 37; ++n) {
    bool missing = false;
    switch (n) {
      case 18: missing = primaryOps && !HasOperation(r, r.Cur_Crop, 1); break;
      case 19: missing = primaryOps && !HasOperation(r, r.Cur_Crop, 2); break;
      case 20: missing = r.Cov_Crop != 0 && !HasOperation(r, r.Cov_Crop, 1); break;
      case 21: missing = r.Cov_Crop != 0 && HarvestedAsFirst(r) && !HasOperation(r, r.Cov_Crop, 2); break;
      default: missing = RecordCheck(n, r); break;
    }
    if (missing) found.push_back(n);
  }
  return found;
}

std::string TMdaFile::CheckText(int n, const TFieldRec& r) {
  const uint16_t cur = r.Cur_Crop, cov = r.Cov_Crop;
  switch (n) {
    case 1: return "County is not selected.";
    case 2: return "At least one soil test value is missing units.";
    case 3: return "Tillage years don't match tillage systems.";
    case 4: return "Custom fertilizer recommendation's source is missing.";
    case 5: return "Primary crop's planting rate is missing or incomplete.";
    case 6: return "Cover/first crop's planting rate is missing.";
    case 7: return "Fertilizer's rate is missing.";
    case 8: return "Fertilizer's form is missing.";
    case 9: return "Other fertilizer's rate is missing.";
    case 10: return "Manure's rate is missing.";
    case 11: return "Manure's NH4-N analysis can't be greater than total N.";
    case 12: return "Manure's date is missing.";
    case 13: return "Manure's application method is missing - assuming not incorporated.";
    case 14: return "Herbicide's rate is missing.";
    case 15: return "Insecticide's rate is missing.";
    case 16: return "Operation's date is missing.";
    case 17: return "Operation's number of trips is missing.";
    case 18: return "Primary crop's planting operation is missing.";
    case 19: return "Primary crop's harvest operation is missing.";
    case 20: return "Cover/first crop's planting operation is missing.";
    case 21: return "First crop's harvest operation is missing.";
    case 22: return "Other input's cost is missing.";
    case 23: return "Soil's percent of field is missing.";
    case 24: return "Soil field percentages don't sum to 100%.";
    case 25: return "Soil's T value is missing.";
    case 26: return "Soil's productivity rating is missing.";
    case 27: return "No cash rent value entered and not enough soils data to calculate it.";
    case 28: return "Residue doesn't match tillage system.";
    case 29: return "Soil loss due to erosion is missing.";
    case 30: return "Primary crop's harvest " + MoistureWord(cur) + " is missing.";
    case 31: return "Primary crop's " + YieldWord(cur) + " yield and yield goal are both missing.";
    case 32: return "Primary crop's " + YieldWord(cur) + " yield is missing. Yield goal used in calculations.";
    case 33:
      return "Primary crop's " + SecondaryYieldWord(cur) + " yield is missing. Estimate used in calculations.";
    case 34: return "Non-harvested cover crop has a " + YieldWord(cov) + " yield or yield goal.";
    case 35: return "First crop's harvest " + MoistureWord(cov) + " is missing.";
    case 36: return "First crop's " + YieldWord(cov) + " yield is missing. Yield goal used in calculations.";
    case 37:
      return "First crop's " + SecondaryYieldWord(cov) + " yield is missing. Estimate used in calculations.";
    default: return {};
  }
}

bool TMdaFile::InputsLoseData(const TFieldRec& r, uint16_t newCrop, uint16_t otherCrop) const {
  auto lost = [&](uint16_t code) { return code != 0 && !ValidFor(code, newCrop) && !ValidFor(code, otherCrop); };
  auto anyLost = [&](const U16* codes, int rows) {
    for (int i = 0; i < rows; ++i)
      if (lost(codes[i])) return true;
    return false;
  };
  return anyLost(r.OFert_Input, kOFertRows) || anyLost(r.Man_Input, kManureRows) ||
         anyLost(r.Herb_Input, kHerbRows) || anyLost(r.Ins_Input, kInsRows) || anyLost(r.Oper_Input, kOperRows) ||
         anyLost(r.Othr_Input, kOtherRows) || lost(r.Cur_Prem) || lost(r.Cov_Prem);
}

bool TMdaFile::PrimaryCropChangeLosesData(const TFieldRec& r, uint16_t newCrop) const {
  if (r.Cur_PlRate > 0) return true;
  for (int i = 0; i < kBiotechSlots; ++i)
    if (r.Biotech[i] != 0 && !ValidFor(r.Biotech[i], newCrop)) return true;
  if (InputsLoseData(r, newCrop, r.Cov_Crop)) return true;
  if (r.Cur_Yield > 0 || r.Cur_Yield2 > 0 || r.Cur_StMois > 0) return true;
  return r.Cur_Prem != 0 && !ValidFor(r.Cur_Prem, newCrop);
}

bool TMdaFile::CoverCropChangeLosesData(const TFieldRec& r, uint16_t newCrop) const {
  if (r.Cov_PlRate > 0) return true;
  if (InputsLoseData(r, newCrop, r.Cur_Crop)) return true;
  if (r.Cov_Yield > 0 || r.Cov_Yield2 > 0 || r.Cov_StMois > 0) return true;
  return r.Cov_Prem != 0 && !ValidFor(r.Cov_Prem, newCrop);
}
