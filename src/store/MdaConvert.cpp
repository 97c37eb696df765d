// The field mapping from an older (version 5) record to the current record.
#include <cmath>

#include "store/CropCalc.h"
#include "store/MdaFile5.h"

namespace {

constexpr uint16_t kSorghum = 6;
constexpr uint16_t kSoybeans = 2;

uint16_t MapPrevNextCrop(uint16_t old) {  // map A
  switch (old) {
    case 1: case 2: case 3: case 4: return old;
    case 5: return 16;
    case 8: return 5;
    case 11: return 12;
    case 12: return 6;
    case 13: return 7;
    case 14: return 8;
    case 15: return 9;
    case 16: return 10;
    case 6: case 7: case 9: case 10: case 17: return 102;
    default: return 0;
  }
}

uint16_t MapCurrentCrop(uint16_t old) {  // map B
  switch (old) {
    case 1: case 2: case 3: case 4: case 5: return old;
    case 8: return 12;
    case 9: return 6;
    case 10: return 7;
    case 11: return 8;
    case 12: return 9;
    case 13: return 10;
    case 6: case 7: case 14: return 102;
    default: return 0;
  }
}

uint16_t MapTillage(uint16_t old) {  // map T
  static const uint16_t kNew[] = {0, 1, 4, 3, 2, 6, 5};
  return old <= 6 ? kNew[old] : 0;
}

uint32_t MapAttachments(uint16_t old) {  // map D, bit by bit
  uint32_t bits = 0;
  for (int bit = 1; bit <= 16; ++bit) {
    if ((old & (1u << (bit - 1))) == 0) continue;
    int to = 8;
    switch (bit) {
      case 1: to = 7; break;
      case 2: to = 6; break;
      case 8: to = 4; break;
      case 9: to = 2; break;
      case 12: to = 1; break;
      case 14: to = 5; break;
      case 15: to = 3; break;
      default: break;
    }
    bits |= 1u << (to - 1);
  }
  return bits;
}

uint16_t MapOperation(uint16_t code) {
  switch (code) {
    case 6067: case 6074: case 6081: return 6150;
    case 6068: case 6069: case 6075: case 6076: case 6082: case 6083: return 6151;
    case 6073: case 6080: case 6087: return 6153;
    default: return code >= 6067 && code <= 6087 ? 6152 : code;
  }
}

// Herbicide code and unit changes; the crop is the converted current crop.
void MapHerbicide(uint16_t& code, uint16_t& units, uint16_t crop) {
  switch (code) {
    case 4000: code = 4100; break;
    case 4095: code = 4004; break;
    case 4096: code = 4097; break;
    case 4127:
      code = 4036;
      if (units == 0) units = 5;
      break;
    case 4133: code = 4059; break;
    case 4142: case 4150: case 4139: units = units == 4 ? 1 : 0; break;
    case 4145:
      if (crop == kSoybeans) code = units = 0;
      break;
    default: break;
  }
}

// Collects the failures of the conversion: a value that does not fit its new field.
class TFit {
 public:
  uint8_t Byte(uint16_t v) {
    if (v > 255) ok_ = false;
    return static_cast<uint8_t>(v);
  }
  // The next free row of a table of `rows` rows, or -1 (and a failure) when it is full.
  int NextRow(int& used, int rows) {
    if (used < rows) return used++;
    ok_ = false;
    return -1;
  }
  void Require(bool condition) { ok_ = ok_ && condition; }
  bool Ok() const { return ok_; }

 private:
  bool ok_ = true;
};

float Tenths(uint16_t v) { return static_cast<float>(v) / 10.0f; }
float Hundredths(uint16_t v) { return static_cast<float>(v) / 100.0f; }

void ConvertGeneral(const TMda5Rec& o, TFieldRec& r) {
  r.County = o.County;
  r.Contact = o.Contact.Str();
  if (!o.Addr2.Empty()) {
    r.Operation = o.Addr1.Str();
    r.Addr_Road = o.Addr2.Str();
  } else {
    r.Addr_Road = o.Addr1.Str();
  }
  r.Addr_Town = o.Addr_Town.Str();
  r.Addr_State = o.Addr_State.Str();
  r.Addr_Zip = o.Addr_Zip.Str();
  r.Home_Phone = o.Home_Phone.Str();
  r.Off_Phone = o.Off_Phone.Str();
  r.Field_Size = Tenths(o.Field_Size);
  r.Rent_Value = Hundredths(o.Rent_Value);
  r.Wshed_Name = o.Wshed_Name.Str();
  r.Notes = o.Notes.Str();
}

void ConvertSoils(const TMda5Rec& o, TFieldRec& r, TFit& fit) {
  r.P = Tenths(o.P);
  r.P_Units = fit.Byte(o.P_Units);
  r.K = Tenths(o.K);
  r.K_Units = fit.Byte(o.K_Units);
  r.CEC = Tenths(o.CEC);
  r.OM = Tenths(o.OM);
  r.Soil_pH = Tenths(o.Soil_pH);
  r.Nitrate_N = o.Nitrate_N;
  r.Basal_N = o.Basal_N;
  for (int i = 0; i < 3; ++i) {
    r.Soil_Sym[i] = o.Soil_Sym[i].Str();
    if (o.Soil_Slope[i] != 0) r.Soil_Slope[i] = Tenths(o.Soil_Slope[i]);
    r.Soil_Name[i] = o.Soil_Name[i].Str();
    r.Soil_FldPct[i] = o.Soil_FldPct[i];
    r.Soil_TValue[i] = Tenths(o.Soil_TValue[i]);
    r.Soil_Rating[i] = Tenths(o.Soil_Rating[i]);
  }
  r.Eros_Legacy = fit.Byte(o.Legacy);
  r.Wshed_Num = o.Wshed_Num.Str();
  fit.Require(o.Residue >= 0);
  if (o.Residue != 0) r.Residue = o.Residue;
  r.Water_Loss = Tenths(o.Water_Loss);
  r.Wind_Loss = Tenths(o.Wind_Loss);
}

// Sorghum yields and goals of the old program were in hundredweight, now they are in bushels.
float SlotYieldValue(uint16_t newCrop, uint16_t stored) {
  if (newCrop != kSorghum) return Tenths(stored);
  return static_cast<float>(std::round(stored / 10.0 / 0.56));
}

void ConvertCrops(const TMda5Rec& o, TFieldRec& r) {
  const uint16_t crops[] = {MapPrevNextCrop(o.Prev_Crop), MapCurrentCrop(o.Cur_Crop), MapPrevNextCrop(o.Next_Crop)};
  const uint16_t tills[] = {o.Prev_Till, o.Cur_Till, o.Next_Till};
  const uint16_t yields[] = {o.Prev_Yield, o.Cur_Goal, o.Next_Goal};
  const int slots[] = {csPrev, csCur, csNext};
  for (int i = 0; i < 3; ++i) {
    SlotCrop(r, slots[i]) = crops[i];
    SlotTill(r, slots[i]) = MapTillage(tills[i]);
    SlotYield(r, slots[i]) = SlotYieldValue(crops[i], yields[i]);
  }
  r.Till_Years = o.Till_Years;
}

void ConvertPlanting(const TMda5Rec& o, TFieldRec& r) {
  r.Plant_Date = o.Plant_Date;
  r.Planter = o.Planter.Str();
  r.Attchments = MapAttachments(o.Attchments);
  r.Row_Width = Tenths(o.Row_Width);
  r.Hybrid_Var = o.Hybrid_Var.Str();
  r.Maturity = o.Maturity;
  const bool countedAsStored = o.Cur_Crop == 1 || o.Cur_Crop == 2;
  const double rate = static_cast<double>(int32_t{o.PlantRate});
  r.Cur_PlRate = static_cast<float>(countedAsStored ? rate : rate / 100.0);
  r.Seed_Count = o.Seed_Count;
}

void ConvertFertilizers(const TMda5Rec& o, TFieldRec& r, const TProjectRefs& refs, TFit& fit) {
  for (int i = 0; i < 5; ++i) {
    r.Fert_Rate[i] = o.Fert_Rate[i];
    r.Fert_Units[i] = fit.Byte(o.Fert_Units[i]);
    r.Fert_N[i] = Tenths(o.Fert_N[i]);
    r.Fert_P2O5[i] = Tenths(o.Fert_P2O5[i]);
    r.Fert_K2O[i] = Tenths(o.Fert_K2O[i]);
    r.Fert_Form[i] = fit.Byte(o.Fert_Form[i]);
    r.Fert_Date[i] = o.Fert_Date[i];
  }
  const uint16_t crop = r.Cur_Crop;
  const uint32_t cropMask = crop >= 1 && crop <= 32 ? 1u << (crop - 1) : 0;
  int otherRows = 0, manureRows = 0;
  for (int i = 0; i < 4; ++i) {
    const uint16_t code = o.Like_Input[i];
    if (code == 0) continue;
    if (refs.InputListPosition(code, 1, cropMask) > 0) {
      const int row = fit.NextRow(otherRows, kOFertRows);
      if (row < 0) continue;
      r.OFert_Input[row] = code;
      r.OFert_Rate[row] = Tenths(o.Like_Rate[i]);
      r.OFert_Units[row] = fit.Byte(o.Like_Units[i]);
      r.OFert_Date[row] = o.Like_Date[i];
      continue;
    }
    const int row = fit.NextRow(manureRows, kManureRows);
    if (row < 0) continue;
    r.Man_Input[row] = code;
    r.Man_Rate[row] = Tenths(o.Like_Rate[i]);
    r.Man_Units[row] = fit.Byte(o.Like_Units[i]);
    r.Man_TotN[row] = Tenths(o.Like_TotN[i]);
    r.Man_P2O5[row] = Tenths(o.Like_P2O5[i]);
    r.Man_K2O[row] = Tenths(o.Like_K2O[i]);
    r.Man_Date[row] = o.Like_Date[i];
    r.Man_Legacy[row] = fit.Byte(o.Like_Extra[i]);
  }
}

void ConvertPesticides(const TMda5Rec& o, TFieldRec& r, TFit& fit) {
  for (int i = 0; i < 10; ++i) {
    uint16_t code = o.Herb_Input[i], units = o.Herb_Units[i];
    MapHerbicide(code, units, r.Cur_Crop);
    r.Herb_Input[i] = code;
    r.Herb_Rate[i] = Hundredths(o.Herb_Rate[i]);
    r.Herb_Units[i] = fit.Byte(units);
    r.Herb_Timing[i] = fit.Byte(o.Herb_Timing[i] == 8 ? uint16_t{10} : uint16_t{o.Herb_Timing[i]});
    r.Herb_Date[i] = o.Herb_Date[i];
  }
  for (int i = 0; i < kInsRows; ++i) {
    r.Ins_Input[i] = o.Ins_Input[i];
    r.Ins_Rate[i] = Hundredths(o.Ins_Rate[i]);
    r.Ins_Units[i] = fit.Byte(o.Ins_Units[i]);
    r.Ins_Method[i] = fit.Byte(o.Ins_Method[i]);
    r.Ins_Date[i] = o.Ins_Date[i];
  }
}

void ConvertOperationsAndOthers(const TMda5Rec& o, TFieldRec& r, TFit& fit) {
  for (int i = 0; i < 10; ++i) {
    r.Oper_Input[i] = MapOperation(o.Oper_Input[i]);
    r.Oper_Trips[i] = Tenths(o.Oper_Trips[i]);
    r.Oper_Date[i] = o.Oper_Date[i];
  }
  int used = 0;
  for (int i = 0; i < 10; ++i) {
    const uint16_t code = o.Othr_Input[i];
    if (code == 0) continue;
    if (code == 7014) {  // this old other input became the first biotech trait
      r.Biotech[0] = 1954;
      continue;
    }
    const int row = fit.NextRow(used, kOtherRows);
    if (row < 0) continue;
    r.Othr_Input[row] = code;
    r.Othr_Rate[row] = Hundredths(o.Othr_Rate[i]);
    r.Othr_Cost[row] = Hundredths(o.Othr_Cost[i]);
  }
}

void ConvertHarvest(const TMda5Rec& o, TFieldRec& r, TFit& fit) {
  r.Cur_Area = Tenths(o.Cur_Area);
  r.Cur_Wt = static_cast<float>(static_cast<double>(int32_t{o.Cur_Wt}) / 1000.0);
  r.Cur_WtUnit = fit.Byte(o.Cur_WtUnit);
  r.Cur_Mois = Tenths(o.Cur_Mois);
  r.Cur_StMois = Tenths(o.Cur_StMois);
  r.Cur_Yield = Tenths(o.Cur_Yield);
  r.Cur_HDate = o.Cur_HDate;
  r.Cur_Yield2 = Tenths(o.Cur_Yield2);
  if (r.Cur_Crop != kSorghum) return;
  // Sorghum yields are recomputed in bushels from the harvest data.
  TYieldInput in;
  in.Crop = kSorghum;
  in.WeightUnit = r.Cur_WtUnit;
  in.UpperLimit = 6500;
  in.Decimals = 1;
  in.StdMoisture = r.Cur_StMois;
  in.Moisture = r.Cur_Mois;
  in.Weight = r.Cur_Wt;
  in.Area = r.Cur_Area;
  float main = r.Cur_Yield, second = r.Cur_Yield2;
  ComputeYield(in, main, second);
  r.Cur_Yield = main;
  r.Cur_Yield2 = second;
}

}  // namespace

bool IsDroppedMda5Record(const TMda5Rec& old) {
  return old.Cur_Crop == 6 || old.Cur_Crop == 7 || old.Cur_Crop == 14;
}

bool ConvertMda5Record(const TMda5Rec& old, const TMdaFile& target, const TProjectRefs& refs, TFieldRec& rec) {
  rec = target.NewRecord(static_cast<int32_t>(uint32_t{old.Field_ID}), old.State);
  TFit fit;
  fit.Require(uint32_t{old.Field_ID} <= 999999999u);
  ConvertGeneral(old, rec);
  ConvertSoils(old, rec, fit);
  ConvertCrops(old, rec);
  ConvertPlanting(old, rec);
  ConvertFertilizers(old, rec, refs, fit);
  ConvertPesticides(old, rec, fit);
  ConvertOperationsAndOthers(old, rec, fit);
  ConvertHarvest(old, rec, fit);
  return fit.Ok();
}
