#include "TsFields.h"

#include <cstring>

#include "TsCheck.h"
#include "common/Locale.h"
#include "common/Parse.h"

namespace {

using K = TEntryKind;

// Limits are those of the entry rules; Year Tested runs to 2078 so current soil tests pass.
const std::vector<TEntryDef> kDefs = {
    {pgGeneral, "Operation", "Operation Name", "", K::Text, 30, 0},
    {pgGeneral, "Addr_Road", "Address", "", K::Text, 30, 0},
    {pgGeneral, "Addr_Town", "Town", "", K::Text, 20, 0},
    {pgGeneral, "Addr_State", "", "", K::Text, 5, 0},
    {pgGeneral, "Addr_Zip", "", "", K::Text, 10, 0},
    {pgGeneral, "Contact", "Contact", "", K::Text, 30, 0},
    {pgGeneral, "Off_Phone", "Office Phone", "", K::Text, 14, 0},
    {pgGeneral, "Home_Phone", "Home Phone", "", K::Text, 14, 0},
    {pgGeneral, "Email_Addr", "E-mail Address", "", K::Text, 40, 0},
    {pgGeneral, "Field_Size", "Field Size", "Acres", K::Single, 2, 1000},
    {pgGeneral, "FSA_Tract", "FSA Tract Number", "", K::Text, 10, 0},
    {pgGeneral, "FSA_Field", "FSA Field Number", "", K::Text, 4, 0},
    {pgGeneral, "Rent_Value", "Cash Rent Value", "$/Acre", K::Single, 2, 999},
    {pgGeneral, "Notes", "Notes", "", K::Text, 60, 0},
    {pgSoilTests, "SoilTst_Yr", "Year Tested", "", K::Word, 0, kLastSoilTestYear, kFirstSoilTestYear},
    {pgSoilTests, "OM", "Organic Matter", "%", K::Single, 1, 100},
    {pgSoilTests, "P", "Phosphorus", "", K::Single, 1, 2000},
    {pgSoilTests, "K", "Potassium", "", K::Single, 1, 2000},
    {pgSoilTests, "Mg", "Magnesium", "", K::Single, 1, 9999},
    {pgSoilTests, "Ca", "Calcium", "", K::Single, 1, 14999},
    {pgSoilTests, "Na", "Sodium", "", K::Single, 1, 9999},
    {pgSoilTests, "Al", "Aluminum", "", K::Single, 1, 9999},
    {pgSoilTests, "Soil_pH", "Soil pH", "", K::Single, 1, 10},
    {pgSoilTests, "Buffer_pH", "Buffer pH", "", K::Single, 1, 10},
    {pgSoilTests, "CEC", "CEC", "Meq/100g", K::Single, 1, 999},
    {pgSoilTests, "Nitrate_N", "Nitrate N", "ppm", K::Word, 0, 200},
    {pgSoilTests, "EC", "EC", "mmhos/cm", K::Single, 2, 99},
    {pgSoilTests, "Sulfate_S", "Sulfate S", "ppm", K::Single, 1, 99},
    {pgSoilTests, "Basal_N", "Basal N", "ppm", K::Word, 0, 10000},
    {pgCrops, "Till_Years", "Consecutive Years In Current Tillage", "", K::Word, 0, 99},
    {pgCrops, "Cust_NRec", "N", "", K::SmallInt, 0, 999, 1, rfCustN, -1},
    {pgCrops, "Cust_PRec", "P2O5", "", K::SmallInt, 0, 999, 1, rfCustP, -1},
    {pgCrops, "Cust_KRec", "K2O", "", K::SmallInt, 0, 999, 1, rfCustK, -1},
    {pgCrops, "Cust_Source", "Source Of Custom Recommendations", "", K::Text, 50, 0},
    {pgPlanting, "Plant_Date", "Date Planted", "", K::Date, 0, 1},
    {pgPlanting, "Planter", "Planter and Size", "", K::Text, 30, 0},
    {pgPlanting, "Row_Width", "Row Width", "Inches", K::Single, 1, 99},
    {pgPlanting, "Hybrid_Var", "Variety/Hybrid", "", K::Text, 30, 0},
    {pgPlanting, "Maturity", "Maturity", "Group or Days", K::Word, 0, 200},
    {pgPlanting, "Cur_PlRate", "Primary Crop Planting Rate", "", K::PlantRate, 2, 0},
    {pgPlanting, "Seed_Count", "Seed Count", "Seeds/Lb", K::Word, 0, 65000},
    {pgPlanting, "Cov_PlRate", "Cover/First Crop Planting Rate", "", K::PlantRate, 2, 0},
    {pgOther, "Irrig_N", "Irrigation Water Nitrate N", "ppm", K::SmallInt, 0, 99, 1, rfIrrigN, -1},
    {pgErosion, "Residue", "Residue", "%", K::SmallInt, 0, 100, 1, 0, -1},
    {pgErosion, "Water_Loss", "Water Soil Loss", "T/A/Year", K::Single, 1, 99},
    {pgErosion, "Wind_Loss", "Wind Soil Loss", "T/A/Year", K::Single, 1, 99},
    {pgErosion, "Wshed_Num", "Watershed Number", "", K::Watershed, 16, 0},
    {pgErosion, "Wshed_Name", "Watershed Name", "", K::Text, 30, 0},
    {pgHarvest, "Cur_Area", "Harvested Area", "Acres", K::Single, 2, 1000},
    {pgHarvest, "Cur_Wt", "Net Harvested Weight", "", K::Single, 3, 999999},
    {pgHarvest, "Cur_Mois", "", "%", K::Single, 1, 100},
    {pgHarvest, "Cur_StMois", "", "%", K::Single, 1, 100},
    {pgHarvest, "Cur_Yield", "Yield", "", K::Single, 1, 9999},
    {pgHarvest, "Cur_HDate", "Date Harvested", "", K::Date, 0, 6},
    {pgHarvest, "Cur_Yield2", "Additional Yield", "", K::Single, 1, 9999},
    {pgHarvest, "Cov_Area", "Harvested Area", "Acres", K::Single, 2, 1000},
    {pgHarvest, "Cov_Wt", "Net Harvested Weight", "", K::Single, 3, 999999},
    {pgHarvest, "Cov_Mois", "", "%", K::Single, 1, 100},
    {pgHarvest, "Cov_StMois", "", "%", K::Single, 1, 100},
    {pgHarvest, "Cov_Yield", "Yield", "", K::Single, 1, 9999},
    {pgHarvest, "Cov_HDate", "Date Harvested", "", K::Date, 0, 6},
    {pgHarvest, "Cov_Yield2", "Additional Yield", "", K::Single, 1, 9999},
};

bool IsPrimary(const TEntryDef& def) { return std::strcmp(def.field, "Cur_PlRate") == 0; }

}  // namespace

const std::vector<TEntryDef>& PageEntryDefs() { return kDefs; }

const TEntryDef* FindEntryDef(const std::string& field) {
  for (const TEntryDef& d : kDefs)
    if (field == d.field) return &d;
  return nullptr;
}

const TFieldDesc& EntryField(const TEntryDef& def) {
  const TFieldDesc* desc = nullptr;
  int index = 0;
  FindField(RecordFields(), def.field, desc, index);
  return *desc;  // every name of the table is a record field (checked by the tests)
}

std::string EntryText(const TFieldRec& rec, const TEntryDef& def) {
  const TFieldDesc& d = EntryField(def);
  if (def.kind == TEntryKind::Text || def.kind == TEntryKind::Watershed) return GetFieldText(&rec, d, 0);
  const double value = FieldNumber(rec, d);
  if (def.kind == TEntryKind::Date) return FormatShortDate(static_cast<TDayNum>(value));
  if (def.flagBit) return rec.HasFlag(def.flagBit) ? ShownNumber(value, 0) : std::string();
  if (def.emptyValue < 0 && value < 0) return {};
  if (def.kind == TEntryKind::SmallInt) return ShownNumber(value, 0);
  return value == 0 ? std::string() : ShownNumber(value, def.size);
}

namespace {

std::string NumberMessage(const TEntryDef& def, int code, double upper) {
  return NumberEditErrorMsg(code, upper, def.kind == TEntryKind::Word && def.lower > 1 ? def.lower
                                                                                          : SmallestStep(def.size));
}

}  // namespace

TEntryResult AcceptEntry(TFieldRec& rec, const TEntryDef& def, const std::string& text, const TEntryContext& ctx) {
  TEntryResult r;
  r.shownText = text;
  const TFieldDesc& d = EntryField(def);
  double value = 0;
  switch (def.kind) {
    case TEntryKind::Text:
      SetFieldText(&rec, d, 0, text.substr(0, d.maxLength), r.message);
      return r;
    case TEntryKind::Watershed:
      r.code = WatershedNumEditCheck(text);
      if (r.code) r.message = WatershedNumErrorMsg();
      else SetFieldText(&rec, d, 0, text.substr(0, d.maxLength), r.message);
      return r;
    case TEntryKind::Word: {
      uint16_t v = 0;
      r.code = WordEditCheck(text, static_cast<int>(def.limit), def.lower, v);
      value = v;
      break;
    }
    case TEntryKind::SmallInt: {
      int16_t v = 0;
      r.code = SmallIntEditCheck(text, static_cast<int>(def.limit), def.emptyValue, v);
      value = v;
      break;
    }
    case TEntryKind::Single: {
      float v = 0;
      r.code = SingleEditCheck(text, def.limit, def.size, static_cast<float>(def.emptyValue), v);
      value = v;
      break;
    }
    case TEntryKind::PlantRate: {
      const bool primary = IsPrimary(def);
      const double limit = primary ? ctx.primaryPlantClass : ctx.firstPlantClass;
      float v = 0;
      r.code = PlantRateEditCheck(text, primary ? ctx.primaryCropEntered : ctx.firstCropEntered, limit, v);
      if (r.code == ecSpecial) r.message = PlantRateErrorMsg(primary);
      else if (r.code) r.message = NumberMessage(def, r.code, limit);
      value = v;
      break;
    }
    case TEntryKind::Date: {
      TDayNum day = 0;
      r.code = DateEditCheck(text, static_cast<int>(def.limit), ctx.year, day);
      if (r.code) r.message = DateEditErrorMsg(r.code, static_cast<int>(def.limit), ctx.year);
      value = day;
      break;
    }
  }
  if (r.code) {
    if (r.message.empty()) r.message = NumberMessage(def, r.code, def.limit);
    return r;
  }
  const bool empty = Trim(text).empty();
  if (def.flagBit) rec.SetFlag(def.flagBit, !empty);
  SetFieldNumber(rec, d, empty && def.flagBit ? 0 : value);
  if (empty) r.shownText.clear();
  else if (def.kind == TEntryKind::Date) r.shownText = FormatShortDate(static_cast<TDayNum>(value));
  else r.shownText = ShownNumber(value, def.kind == TEntryKind::Single || def.kind == TEntryKind::PlantRate ? def.size : 0);
  return r;
}
