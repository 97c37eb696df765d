#include "store/FieldRules.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "common/Cp1252.h"
#include "common/DayNum.h"
#include "common/Format.h"
#include "common/TextUtil.h"
#include "store/ProjectRefs.h"
#include "store/StateTables.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

using K = TRuleKind;

// State table lists by their key field.
enum : int { kPTestDef = 77, kDrainDef = qfDrainDef, kCropDef = qfCropDef };

TFieldRule Num(const char* field, double lower, double upper, int decimals, int empty = 0) {
  return {field, K::Number, lower, upper, decimals, 0, empty};
}
TFieldRule Date(const char* field, int kind) { return {field, K::Date, 0, 0, 0, kind}; }
TFieldRule Crop(const char* field, TCropList list) { return {field, K::Crop, 0, 0, 0, list}; }
TFieldRule Code(const char* field, TCodeList list) { return {field, K::Code, 0, 0, 0, static_cast<int>(list)}; }
TFieldRule Unit(const char* field, int classMask, const char* input = nullptr) {
  return {field, K::Unit, 0, 0, 0, classMask, 0, input};
}
TFieldRule Input(const char* field, int category, int type) { return {field, K::Input, 0, 0, 0, category, type}; }
TFieldRule InputRange(const char* field, int low, int high) { return {field, K::Input, double(low), double(high)}; }
TFieldRule StateList(const char* field, int keyField) { return {field, K::StateList, 0, 0, 0, keyField}; }

// The limits are those of the entry fields and input tables; the soil test year runs to 2078.
const TFieldRule kRules[] = {
    {"Year", K::Year},
    {"State", K::State},
    {"County", K::County},
    Num("Field_Size", 0.01, 1000, 2),
    Num("Rent_Value", 0.01, 999, 2),
    Num("SoilTst_Yr", 1970, 2078, 0),
    Num("P", 0.1, 2000, 1),
    Num("K", 0.1, 2000, 1),
    Num("Mg", 0.1, 9999, 1),
    Num("Ca", 0.1, 14999, 1),
    Num("Na", 0.1, 9999, 1),
    Num("Al", 0.1, 9999, 1),
    Code("P_Units", TCodeList::SoilTestUnits),
    Code("K_Units", TCodeList::SoilTestUnits),
    Code("Mg_Units", TCodeList::SoilTestUnits),
    Code("Ca_Units", TCodeList::SoilTestUnits),
    Code("Na_Units", TCodeList::SoilTestUnits),
    Code("Al_Units", TCodeList::SoilTestUnits),
    StateList("P_Test", kPTestDef),
    Num("Soil_pH", 0.1, 10, 1),
    Num("Buffer_pH", 0.1, 10, 1),
    Num("CEC", 0.1, 999, 1),
    Num("OM", 0.1, 100, 1),
    Num("Nitrate_N", 1, 200, 0),
    Num("Basal_N", 1, 10000, 0),
    Num("EC", 0.01, 99, 2),
    Num("Sulfate_S", 0.1, 99, 1),
    Crop("Prev_Crop", clPrevNext),
    Crop("Cov_Crop", clCoverFirst),
    Crop("Cur_Crop", clPrimary),
    Crop("Next_Crop", clPrevNext),
    Code("Prev_Till", TCodeList::Tillage),
    Code("Cov_Till", TCodeList::Tillage),
    Code("Cur_Till", TCodeList::Tillage),
    Code("Next_Till", TCodeList::Tillage),
    Num("Prev_Yield", 0.1, 9999, 1),
    Num("Cov_Goal", 0.1, 9999, 1),
    Num("Cur_Goal", 0.1, 9999, 1),
    Num("Next_Goal", 0.1, 9999, 1),
    Num("Prev_PctLg", 0, 100, 0),
    Num("Cov_PctLeg", 0, 100, 0),
    Num("Cur_PctLeg", 0, 100, 0),
    Num("Next_PctLg", 0, 100, 0),
    StateList("Prev_Code", kCropDef),
    StateList("Cov_Code", kCropDef),
    StateList("Cur_Code", kCropDef),
    StateList("Next_Code", kCropDef),
    Num("Till_Years", 1, 99, 0),
    Num("Irrig_N", 0, 99, 0),
    Num("Cust_NRec", 0, 999, 0),
    Num("Cust_PRec", 0, 999, 0),
    Num("Cust_KRec", 0, 999, 0),
    Date("Plant_Date", 1),
    Num("Row_Width", 0.1, 99, 1),
    {"Attchments", K::Bits, 0, 0, 0, 8},
    Num("Maturity", 1, 200, 0),
    InputRange("Biotech", 1951, 1999),
    {"Cur_PlRate", K::PlantRate, 0, 0, 2, 0, 0, "Cur_Crop"},
    Num("Seed_Count", 1, 65000, 0),
    {"Cov_PlRate", K::PlantRate, 0, 0, 2, 0, 0, "Cov_Crop"},
    {"Fert_N", K::Analysis, 0, 100, 1},
    {"Fert_P2O5", K::Analysis, 0, 100, 1},
    {"Fert_K2O", K::Analysis, 0, 100, 1},
    Num("Fert_Rate", 0.01, 9999, 2),
    Unit("Fert_Units", ucWeight | ucVolume),
    Code("Fert_Form", TCodeList::FertForm),
    Date("Fert_Date", 2),
    Input("OFert_Input", 3, 1),
    Num("OFert_Rate", 0.01, 9999, 2),
    Unit("OFert_Units", 0, "OFert_Input"),
    Date("OFert_Date", 2),
    Input("Man_Input", 3, 2),
    Num("Man_Rate", 0.01, 99999, 2),
    Unit("Man_Units", 0, "Man_Input"),
    Num("Man_TotN", 0.1, 999, 1),
    Num("Man_NH4N", 0.1, 999, 1),
    Num("Man_P2O5", 0.1, 999, 1),
    Num("Man_K2O", 0.1, 999, 1),
    Num("Man_PctDM", 0.1, 99, 1),
    Date("Man_Date", 2),
    Code("Man_Method", TCodeList::ManureMethod),
    Input("Herb_Input", 4, 0),
    Num("Herb_Rate", 0.01, 999, 2),
    Unit("Herb_Units", 0, "Herb_Input"),
    Code("Herb_Timing", TCodeList::HerbTiming),
    Date("Herb_Date", 3),
    Input("Ins_Input", 5, 0),
    Num("Ins_Rate", 0.01, 999, 2),
    Unit("Ins_Units", 0, "Ins_Input"),
    Code("Ins_Method", TCodeList::InsMethod),
    Date("Ins_Date", 3),
    Input("Oper_Input", 6, 0),
    Num("Oper_Trips", 0.01, 20, 2),
    Date("Oper_Date", 4),
    Input("Othr_Input", 7, 0),
    Num("Othr_Rate", 0.01, 999, 2),
    Unit("Othr_Units", ucWeight | ucVolume | ucLength | ucTrips),
    Num("Othr_Cost", 0.01, 100, 2),
    Date("Othr_Date", 5),
    Num("Soil_Slope", 0, 50, 1, -1),
    Num("Soil_FldPct", 1, 100, 0),
    Code("Soil_Texture", TCodeList::SoilTexture),
    Code("Soil_Drain", TCodeList::SoilDrainage),
    Num("Soil_TValue", 0.1, 99, 1),
    Num("Soil_Rating", 0.1, 500, 1),
    Num("Residue", 0, 100, 0, -1),
    Num("Water_Loss", 0.1, 99, 1),
    Num("Wind_Loss", 0.1, 99, 1),
    {"Wshed_Num", K::Watershed},
    StateList("Drain_Type", kDrainDef),
    Num("Cur_Area", 0.01, 1000, 2),
    Num("Cur_Wt", 0.001, 999999, 3),
    Unit("Cur_WtUnit", ucWeight),
    Num("Cur_Mois", 0.1, 100, 1),
    Num("Cur_StMois", 0.1, 100, 1),
    Num("Cur_Yield", 0.1, 9999, 1),
    Date("Cur_HDate", 6),
    InputRange("Cur_Prem", 1901, 1950),
    Num("Cur_Yield2", 0.1, 9999, 1),
    Num("Cov_Area", 0.01, 1000, 2),
    Num("Cov_Wt", 0.001, 999999, 3),
    Unit("Cov_WtUnit", ucWeight),
    Num("Cov_Mois", 0.1, 100, 1),
    Num("Cov_StMois", 0.1, 100, 1),
    Num("Cov_Yield", 0.1, 9999, 1),
    Date("Cov_HDate", 6),
    InputRange("Cov_Prem", 1901, 1950),
    Num("Cov_Yield2", 0.1, 9999, 1),
};

std::string Shown(double v) { return FormatReal(v, 3, fmtTrimZeros); }

std::string RangeText(double lower, double upper) { return "must be from " + Shown(lower) + " to " + Shown(upper); }

const char* CropListName(int list) {
  switch (list) {
    case clPrimary: return "primary crop";
    case clCoverFirst: return "cover or first crop";
    default: return "previous and next crop";
  }
}

const char* CodeListName(TCodeList list) {
  switch (list) {
    case TCodeList::SoilTestUnits: return "soil test units";
    case TCodeList::Tillage: return "tillage systems";
    case TCodeList::FertForm: return "fertilizer forms";
    case TCodeList::ManureMethod: return "manure application methods";
    case TCodeList::HerbTiming: return "herbicide timings";
    case TCodeList::InsMethod: return "insecticide application methods";
    case TCodeList::SoilTexture: return "surface textures";
    case TCodeList::SoilDrainage: return "drainage classes";
    default: return "codes";
  }
}

const char* InputListName(int category, int type) {
  switch (category) {
    case 3: return type == 1 ? "fertilizer materials" : "manures";
    case 4: return "herbicides";
    case 5: return "insecticides";
    case 6: return "field operations";
    default: return "other inputs";
  }
}

const char* StateListName(int keyField) {
  switch (keyField) {
    case kPTestDef: return "a P test definition number";
    case kDrainDef: return "a drainage type number";
    default: return "a crop definition number";
  }
}

double RelatedNumber(const TFieldRec& rec, const char* field, int index) {
  const TFieldDesc* desc = RecordField(field);
  return desc ? FieldNumber(rec, *desc, desc->count > 1 ? index : 0) : 0;
}

// A number already rounded to the rule's decimals; 0 and the empty value pass when allowed.
std::string NumberError(const TFieldRule& rule, double v, bool f32, bool emptyAllowed) {
  if (emptyAllowed && (v == 0 || v == rule.Empty)) return {};
  // A stored float is compared with the float nearest each limit.
  const double lower = f32 ? float(rule.Lower) : rule.Lower, upper = f32 ? float(rule.Upper) : rule.Upper;
  if (v >= lower && v <= upper) return {};
  return RangeText(rule.Lower, rule.Upper) + (emptyAllowed && rule.Empty < 0 ? ", or -1 for none" : "");
}

std::string CheckNumber(TFieldRec& rec, const TFieldDesc& desc, int index, const TFieldRule& rule) {
  SetFieldNumber(rec, desc, RoundToDecimals(FieldNumber(rec, desc, index), rule.Decimals), index);
  return NumberError(rule, FieldNumber(rec, desc, index), desc.kind == TFieldKind::F32, true);
}

// Whether the field's storage holds the value.
bool Fits(TFieldKind kind, double v) {
  switch (kind) {
    case TFieldKind::U8: return v >= 0 && v <= 255;
    case TFieldKind::U16:
    case TFieldKind::Date: return v >= 0 && v <= 65535;
    case TFieldKind::I16: return v >= -32768 && v <= 32767;
    case TFieldKind::I32: return v >= INT32_MIN && v <= INT32_MAX;
    case TFieldKind::U32: return v >= 0 && v <= UINT32_MAX;
    case TFieldKind::F32: return std::fabs(v) <= FLT_MAX;
    case TFieldKind::Str: return false;
  }
  return false;
}

std::string CheckAnalysis(TFieldRec& rec, const TFieldDesc& desc, int index, const TFieldRule& rule) {
  const double v = RoundToDecimals(FieldNumber(rec, desc, index), rule.Decimals);
  SetFieldNumber(rec, desc, v, index);
  const float sum = rec.Fert_N[index] + rec.Fert_P2O5[index] + rec.Fert_K2O[index];
  if (v >= 0 && sum <= 100.0f) return {};
  return "must be at least 0, with the row's N, P2O5 and K2O adding up to at most 100";
}

std::string CheckPlantRate(TFieldRec& rec, const TFieldDesc& desc, const TFieldRule& rule) {
  double v = RoundToDecimals(FieldNumber(rec, desc), rule.Decimals);
  if (v > 1000) v = std::round(v);
  SetFieldNumber(rec, desc, v);
  if (v == 0) return {};
  const int crop = static_cast<int>(RelatedNumber(rec, rule.Related, 0));
  if (crop == 0) return std::string("needs ") + rule.Related + " entered first";
  const double limit = CropInfo(crop).PlantingClass;
  if (limit == 0) return "must be 0: the crop has no planting rate";
  return v >= 0.01 && v <= limit ? std::string() : RangeText(0.01, limit);
}

std::string CheckDate(const TFieldRec& rec, double v, int kind) {
  const TDateWindow w = DateWindow(kind, rec.Year);
  if (v == 0 || (v >= w.first && v <= w.last)) return {};
  return "must be a date from " + FormatIsoDate(w.first) + " to " + FormatIsoDate(w.last);
}

std::string CheckUnit(const TFieldRec& rec, int index, double v, const TFieldRule& rule, const TRuleContext& ctx) {
  if (v == 0) return {};
  int mask = rule.Arg;
  if (rule.Related) {
    const int input = static_cast<int>(RelatedNumber(rec, rule.Related, index));
    if (input == 0) return "must be 0: the row has no input";
    mask = UnitClass(ctx.Refs.InputAppUnit(static_cast<uint16_t>(input)));
  }
  if (IsUnitCode(static_cast<int>(v)) && (UnitClass(static_cast<int>(v)) & mask) != 0) return {};
  return rule.Related ? "must be a unit of the class of the input's application unit"
                      : "must be a unit code of the field's units list";
}

std::string CheckInput(double v, const TFieldRule& rule, const TRuleContext& ctx) {
  if (v == 0) return {};
  const auto code = static_cast<uint16_t>(v);
  const bool found = ctx.Refs.InputListPosition(code, rule.Empty, 0xFFFFFFFFu) > 0;
  if (rule.Upper > 0) {
    if (found && code >= rule.Lower && code <= rule.Upper) return {};
    return "must be an input code of the definition file from " + Shown(rule.Lower) + " to " + Shown(rule.Upper);
  }
  if (found && code / 1000 == rule.Arg) return {};
  return std::string("must be an input code of the definition file's ") + InputListName(rule.Arg, rule.Empty);
}

std::string CheckStateList(const TFieldRec& rec, double v, int keyField, const TRuleContext& ctx) {
  if (v == 0 || ctx.Tables == nullptr || !ctx.Tables->LoadStateTables(rec.State)) return {};
  if (ctx.Tables->Db().FindFieldRow(keyField, std::to_string(static_cast<int>(v))) >= 0) return {};
  return std::string("must be ") + StateListName(keyField) + " of the state's tables";
}

std::string CheckWatershed(const TFieldRec& rec) {
  std::string digits;
  for (char c : rec.Wshed_Num.Str())
    if (c != ' ') digits += c;
  const size_t n = digits.size();
  return n == 0 || n == 11 || n == 12 || n == 14 ? std::string() : "must be 11, 12 or 14 characters long";
}

std::string CheckRule(TFieldRec& rec, const TFieldDesc& desc, int index, const TFieldRule& rule,
                      const TRuleContext& ctx) {
  const double v = FieldNumber(rec, desc, index);
  switch (rule.Kind) {
    case K::Number: return CheckNumber(rec, desc, index, rule);
    case K::Analysis: return CheckAnalysis(rec, desc, index, rule);
    case K::PlantRate: return CheckPlantRate(rec, desc, rule);
    case K::Date: return CheckDate(rec, v, rule.Arg);
    case K::Crop:
      if (v == 0 || CropListPosition(static_cast<TCropList>(rule.Arg), static_cast<int>(v)) > 0) return {};
      return std::string("must be a crop code of the ") + CropListName(rule.Arg) + " list";
    case K::Code: {
      const auto list = static_cast<TCodeList>(rule.Arg);
      if (v <= CodeListCount(list)) return {};
      return "must be a code from 1 to " + std::to_string(CodeListCount(list)) + " of the " + CodeListName(list);
    }
    case K::Bits:
      return v < (1u << rule.Arg) ? std::string() : "must hold only bits 1 to " + std::to_string(rule.Arg);
    case K::Unit: return CheckUnit(rec, index, v, rule, ctx);
    case K::Input: return CheckInput(v, rule, ctx);
    case K::County:
      if (v == 0 || ctx.Refs.CountyCode(static_cast<int>(v), rec.State) > 0) return {};
      return "must be a county number of the record's state";
    case K::State:
      if (ctx.ProjectState != 0) return v == ctx.ProjectState ? "" : "must be the project's state number";
      return ctx.Refs.StateAbbrev(static_cast<int>(v)).empty() ? "must be a state number of the county names file"
                                                               : "";
    case K::Year: return v == ctx.ProjectYear ? "" : "must be the project's year";
    case K::StateList: return CheckStateList(rec, v, rule.Arg, ctx);
    case K::Watershed: return CheckWatershed(rec);
  }
  return {};
}

}  // namespace

namespace {

// Field names looked up without regard to (ASCII) case and without copying the name.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
struct TNoCaseHash {
  size_t operator()(std::string_view s) const {
    size_t h = 1469598103934665603ull;
    for (const char c : s) h = (h ^ static_cast<unsigned char>(AsciiUpper(c))) * 1099511628211ull;
    return h;
  }
};
struct TNoCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
  }
};
template <class T>
using TByName = std::unordered_map<std::string_view, const T*, TNoCaseHash, TNoCaseEqual>;

}  // namespace

const TFieldRule* FindFieldRule(const std::string& field) {
  static const TByName<TFieldRule> byName = [] {
    TByName<TFieldRule> m;
    for (const TFieldRule& r : kRules) m.insert_or_assign(std::string_view(r.Field), &r);  // a later rule of a name wins
    return m;
  }();
  const auto it = byName.find(field);
  return it == byName.end() ? nullptr : it->second;
}

const TFieldDesc* RecordField(const std::string& field) {
  static const TByName<TFieldDesc> byName = [] {
    TByName<TFieldDesc> m;
    for (const TFieldDesc& d : RecordFields()) m.insert_or_assign(std::string_view(d.name), &d);
    return m;
  }();
  const auto it = byName.find(field);
  return it == byName.end() ? nullptr : it->second;
}

std::string CheckFieldValue(TFieldRec& rec, const TFieldDesc& desc, int index, const TRuleContext& ctx) {
  if (desc.kind == TFieldKind::Str)
    if (std::string rule = ControlCharRule(GetFieldText(&rec, desc, index)); !rule.empty()) return rule;
  const TFieldRule* rule = FindFieldRule(desc.name);
  return rule ? CheckRule(rec, desc, index, *rule, ctx) : std::string();
}

std::string SetCheckedNumber(TFieldRec& rec, const std::string& field, int index, double value,
                             const TRuleContext& ctx) {
  const TFieldDesc* desc = RecordField(field);
  const TFieldRule* rule = FindFieldRule(field);
  if (desc == nullptr || rule == nullptr) return "is not a checked field of the record";
  if (rule->Kind == K::Number) {
    value = RoundToDecimals(value, rule->Decimals);
    std::string error = NumberError(*rule, value, desc->kind == TFieldKind::F32, false);
    if (error.empty()) SetFieldNumber(rec, *desc, value, index);
    return error;
  }
  if (!Fits(desc->kind, value) || value != std::floor(value)) return "is not a whole number the field can hold";
  const double before = FieldNumber(rec, *desc, index);
  SetFieldNumber(rec, *desc, value, index);
  std::string error = CheckRule(rec, *desc, index, *rule, ctx);
  if (!error.empty()) SetFieldNumber(rec, *desc, before, index);
  return error;
}

bool FindControlText(const TFieldRec& rec, std::string& field, std::string& rule) {
  for (const TFieldDesc& d : RecordFields()) {
    if (d.kind != TFieldKind::Str) continue;
    for (int i = 0; i < d.count; ++i) {
      rule = ControlCharRule(GetFieldText(&rec, d, i));
      if (rule.empty()) continue;
      field = d.count == 1 ? d.name : d.name + "[" + std::to_string(i + 1) + "]";
      return true;
    }
  }
  return false;
}

bool CheckChangedRow(TFieldRec& rec, const TFieldRec& before, const std::string& prefix, int row,
                     const TRuleContext& ctx, std::string& field, std::string& rule) {
  for (const TFieldDesc& d : RecordFields()) {
    if (d.count <= row || !d.name.starts_with(prefix) || GetFieldText(&rec, d, row) == GetFieldText(&before, d, row))
      continue;
    rule = CheckFieldValue(rec, d, row, ctx);
    if (rule.empty()) continue;
    field = d.name;
    return false;
  }
  return true;
}
