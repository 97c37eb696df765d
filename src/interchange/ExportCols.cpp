#include "interchange/ExportCols.h"

#include <cmath>
#include <cstdio>

#include "common/Format.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/NutrEngine.h"
#include "store/FieldRules.h"
#include "store/StateTables.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

using TF = TExportColumn<TFieldDataRow>;
using TFn = std::function<TExportValue(const TFieldDataRow&)>;
using TColumns = std::vector<TF>;

TExportValue Num(double v) { return TExportValue::OfNumber(v); }
TExportValue Txt(std::string s) { return TExportValue::OfText(std::move(s)); }
TExportValue NoValue() {
  TExportValue x;
  x.Blank = true;
  return x;
}
TExportValue NumIf(bool present, double v) { return present ? Num(v) : NoValue(); }

// A record field; index is the table row (0-based) of a table column.
TFn Field(const std::string& name, int index = 0) {
  const TFieldDesc* d = RecordField(name);
  return [d, index](const TFieldDataRow& r) {
    return d->kind == TFieldKind::Str ? Txt(GetFieldText(&r.Rec, *d, index)) : Num(FieldNumber(r.Rec, *d, index));
  };
}
// A short name of a code list for a record field.
TFn CodeName(TCodeList list, const char* name, int index = 0, bool longName = false) {
  const TFieldDesc* d = RecordField(name);
  return [=](const TFieldDataRow& r) {
    const int code = static_cast<int>(FieldNumber(r.Rec, *d, index));
    return Txt(longName ? CodeLongName(list, code) : CodeShortName(list, code));
  };
}

TF C(std::string name, int width, TFn f) { return {std::move(name), 'C', width, 0, 0, std::move(f)}; }
TF N(std::string name, int width, int decimals, unsigned flags, TFn f) {
  return {std::move(name), 'N', width, decimals, flags, std::move(f)};
}
TF D(std::string name, TFn f) { return {std::move(name), 'D', 8, 0, 0, std::move(f)}; }

void AddSoilTests(TColumns& c) {
  const char* names[] = {"P", "P_UNITS", "P_TEST", "K", "K_UNITS", "MG", "MG_UNITS", "CA", "CA_UNITS", "NA",
                         "NA_UNITS", "AL", "AL_UNITS"};
  const char* fields[] = {"P", "P_Units", "P_Test", "K", "K_Units", "Mg", "Mg_Units", "Ca", "Ca_Units", "Na",
                          "Na_Units", "Al", "Al_Units"};
  for (int i = 0; i < 13; ++i) {
    const std::string name = names[i];
    if (name == "P_TEST") c.push_back(N(name, 3, 0, xcBlankZero, Field(fields[i])));
    else if (name.ends_with("_UNITS")) c.push_back(C(name, 4, CodeName(TCodeList::SoilTestUnits, fields[i])));
    // Wide enough for the largest value each test accepts (Ca 14999.0, the others 9999.0 or less).
    else c.push_back(N(name, name == "CA" ? 7 : 6, 1, xcBlankZero, Field(fields[i])));
  }
}

void AddSlots(TColumns& c) {
  struct TSlotNames {
    const char* Prefix;
    const char* Yield;
    const char* PctLeg;
    int Flag;
  };
  const TSlotNames slots[4] = {{"PREV_", "PREV_YIELD", "PREV_PCTLG", rfPrevPctLeg},
                               {"COV_", "COV_GOAL", "COV_PCTLEG", rfCovPctLeg},
                               {"CUR_", "CUR_GOAL", "CUR_PCTLEG", rfCurPctLeg},
                               {"NEXT_", "NEXT_GOAL", "NEXT_PCTLG", rfNextPctLeg}};
  for (int slot = csPrev; slot <= csNext; ++slot) {
    const TSlotNames& s = slots[slot];
    const std::string p = s.Prefix;
    c.push_back(C(p + "CROP", 1, [slot](const TFieldDataRow& r) {
      const char letter = CropLetter(SlotCrop(r.Rec, slot));
      return Txt(letter ? std::string(1, letter) : std::string());
    }));
    c.push_back(N(p + "CODE", 4, 0, xcBlankZero, [slot](const TFieldDataRow& r) { return Num(SlotCode(r.Rec, slot)); }));
    c.push_back(C(p + "TILL", 2, [slot](const TFieldDataRow& r) {
      return Txt(CodeShortName(TCodeList::Tillage, SlotTill(r.Rec, slot)));
    }));
    c.push_back(N(s.Yield, 6, 1, xcBlankZero, [slot](const TFieldDataRow& r) { return Num(SlotYield(r.Rec, slot)); }));
    c.push_back(C(p + "UNITS", 10, [slot](const TFieldDataRow& r) {
      return Txt(r.Source.Tables.YieldUnitText(slot, r.Rec));
    }));
    c.push_back(N(s.PctLeg, 3, 0, 0, [slot, flag = s.Flag](const TFieldDataRow& r) {
      return NumIf(r.Rec.HasFlag(flag), SlotPctLeg(r.Rec, slot));
    }));
  }
}

void AddRecommendations(TColumns& c) {
  const char* defaults[] = {"DEF_NREC", "DEF_PREC", "DEF_KREC"};
  const int columns[] = {rcN, rcP2O5, rcK2O};
  for (int i = 0; i < 3; ++i)
    c.push_back(N(defaults[i], 3, 0, 0, [column = columns[i]](const TFieldDataRow& r) {
      double value = 0;
      const bool ok = r.Source.Engine.DefaultRec(column, r.Rec, value);
      return NumIf(ok, std::round(value));
    }));
  const char* custom[] = {"CUST_NREC", "CUST_PREC", "CUST_KREC"};
  const char* fields[] = {"Cust_NRec", "Cust_PRec", "Cust_KRec"};
  const int flags[] = {rfCustN, rfCustP, rfCustK};
  for (int i = 0; i < 3; ++i)
    c.push_back(N(custom[i], 3, 0, 0, [flag = flags[i], f = Field(fields[i])](const TFieldDataRow& r) {
      return r.Rec.HasFlag(flag) ? f(r) : NoValue();
    }));
}

void AddPlanting(TColumns& c) {
  c.push_back(D("PLANT_DATE", Field("Plant_Date")));
  c.push_back(C("PLANTER", 30, Field("Planter")));
  c.push_back(N("ROW_WIDTH", 4, 1, xcBlankZero, Field("Row_Width")));
  c.push_back(C("ATTCHMENTS", 8, [](const TFieldDataRow& r) {
    std::string letters;
    for (int bit = 1; bit <= 8; ++bit)
      letters += (r.Rec.Attchments & (1u << (bit - 1))) ? CodeShortName(TCodeList::PlanterAttachments, bit) : " ";
    return Txt(letters);
  }));
  c.push_back(C("HYBRID_VAR", 30, Field("Hybrid_Var")));
  c.push_back(N("MATURITY", 3, 0, xcBlankZero, Field("Maturity")));
  for (int i = 0; i < kBiotechSlots; ++i)
    c.push_back(C("BIOTECH_" + std::to_string(i + 1), 30, [i](const TFieldDataRow& r) {
      return Txt(r.Rec.Biotech[i] == 0 ? std::string() : r.Source.Definitions.InputName(r.Rec.Biotech[i]));
    }));
  // Seeded crops are planted by the tens of thousands of seeds per acre.
  c.push_back(N("CUR_PLRATE", 9, 2, xcBlankZero, Field("Cur_PlRate")));
  c.push_back(C("CUR_PLUNIT", 3, [](const TFieldDataRow& r) { return Txt(PlantingRateShort(r.Rec.Cur_Crop, r.Rec.Cur_PlRate)); }));
  c.push_back(N("SEED_COUNT", 5, 0, xcBlankZero, Field("Seed_Count")));
  c.push_back(N("COV_PLRATE", 9, 2, xcBlankZero, Field("Cov_PlRate")));
  c.push_back(C("COV_PLUNIT", 3, [](const TFieldDataRow& r) { return Txt(PlantingRateShort(r.Rec.Cov_Crop, r.Rec.Cov_PlRate)); }));
  c.push_back(N("IRRIG_N", 2, 0, 0, [](const TFieldDataRow& r) { return NumIf(r.Rec.HasFlag(rfIrrigN), r.Rec.Irrig_N); }));
}

void AddSoils(TColumns& c) {
  for (int k = 0; k < kSoilRows; ++k) {
    const std::string n = std::to_string(k + 1);
    c.push_back(C("SOILSYM_" + n, 6, Field("Soil_Sym", k)));
    c.push_back(N("SLOPE_" + n, 4, 1, xcBlankNegative, Field("Soil_Slope", k)));
    c.push_back(C("SOILNAME_" + n, 20, Field("Soil_Name", k)));
    c.push_back(N("FIELDPCT_" + n, 3, 0, xcBlankZero, Field("Soil_FldPct", k)));
    c.push_back(C("SURFTEX_" + n, 4, CodeName(TCodeList::SoilTexture, "Soil_Texture", k)));
    c.push_back(C("DRAINAGE_" + n, 18, CodeName(TCodeList::SoilDrainage, "Soil_Drain", k, true)));
    c.push_back(N("TVALUE_" + n, 4, 1, xcBlankZero, Field("Soil_TValue", k)));
    c.push_back(N("RATING_" + n, 5, 1, xcBlankZero, Field("Soil_Rating", k)));
    c.push_back(N("ATTR1_" + n, 3, 0, xcBlankZero, Field("Soil_Attr1", k)));
    c.push_back(N("ATTR2_" + n, 3, 0, xcBlankZero, Field("Soil_Attr2", k)));
  }
  c.push_back(C("RTNG_UNITS", 4, [](const TFieldDataRow& r) {
    return Txt(CodeShortName(TCodeList::RatingUnits, RatingUnitOfState(r.Rec.State)));
  }));
  c.push_back(C("DRAIN_TYPE", 30, [](const TFieldDataRow& r) { return Txt(r.Source.Tables.DrainageTypeName(r.Rec)); }));
  c.push_back({"ANN_MANURE", 'L', 1, 0, 0, [](const TFieldDataRow& r) { return Num(r.Rec.HasFlag(rfAnnManure)); }});
  c.push_back(N("RESIDUE", 3, 0, xcBlankNegative, Field("Residue")));
  c.push_back(N("WATER_LOSS", 4, 1, xcBlankZero, Field("Water_Loss")));
  c.push_back(N("WIND_LOSS", 4, 1, xcBlankZero, Field("Wind_Loss")));
  c.push_back(C("WSHED_NUM", 16, Field("Wshed_Num")));
  c.push_back(C("WSHED_NAME", 30, Field("Wshed_Name")));
}

void AddHarvest(TColumns& c, bool primary) {
  const std::string p = primary ? "CUR_" : "COV_", f = primary ? "Cur_" : "Cov_";
  const auto field = [&f](const char* name) { return Field(f + name); };
  c.push_back(N(p + "AREA", 7, 2, xcBlankZero, field("Area")));
  c.push_back(N(p + "WT", 10, 3, xcBlankZero, field("Wt")));
  c.push_back(C(p + "WTUNIT", 3, [primary](const TFieldDataRow& r) {
    return Txt(UnitShortName(primary ? r.Rec.Cur_WtUnit : r.Rec.Cov_WtUnit));
  }));
  c.push_back(N(p + "MOIS", 5, 1, xcBlankZero, field("Mois")));
  c.push_back(N(p + "STMOIS", 5, 1, xcBlankZero, field("StMois")));
  c.push_back(N(p + "YIELD", 6, 1, xcBlankZero, field("Yield")));
  c.push_back(C(p + "YUNIT", 10, [primary](const TFieldDataRow& r) {
    return Txt(r.Source.Tables.YieldUnitText(primary ? csCur : csCov, r.Rec));
  }));
  c.push_back(D(p + "HDATE", field("HDate")));
  c.push_back(C(p + "PREM", 30, [primary](const TFieldDataRow& r) {
    const int code = primary ? r.Rec.Cur_Prem : r.Rec.Cov_Prem;
    return Txt(code == 0 ? std::string() : r.Source.Definitions.InputName(code));
  }));
  c.push_back(N(p + "YIELD2", 6, 1, xcBlankZero, field("Yield2")));
  c.push_back(C(p + "Y2UNIT", 3, [primary](const TFieldDataRow& r) {
    const int crop = primary ? r.Rec.Cur_Crop : r.Rec.Cov_Crop;
    const int code = TMdfFile::ExtraPriceCode(crop, true);
    return Txt(code == 0 ? std::string() : r.Source.Definitions.InputUnitAbbrev(code, true));
  }));
}

void AddCosts(TColumns& c) {
  const char* names[kCostColumns] = {"SEED_COST",  "FERTA_COST", "FERTR_COST", "PEST_COST", "OPER_COST",
                                     "OTHER_COST", "LAND_COST",  "SOIL_COST",  "HAUL_COST", "DRY_COST",
                                     "MISC_COST",  "INTER_COST", "INDIR_COST", "TOTAL_COST", "UNIT_COST",
                                     "INCOME",     "PROFIT"};
  // The cost per unit is wide enough for the largest total cost over the smallest yield, 0.1:
  // 999999.90, or -99999.99 for a negative one.
  const int widths[kCostColumns] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8, 10, 8, 8};
  for (int i = 0; i < kCostColumns; ++i)
    c.push_back(N(names[i], widths[i], 2, 0, [i](const TFieldDataRow& r) {
      return r.Source.Costs ? Num(r.Source.Costs->Values[i]) : NoValue();
    }));
}

TColumns MakeFieldColumns() {
  TColumns c;
  c.push_back(N("FIELD_ID", 9, 0, 0, Field("Field_ID")));
  c.push_back(C("FIELD_NAME", 15, Field("Field_Name")));
  c.push_back(C("SUBFLD_NAM", 5, Field("SubFld_Nam")));
  c.push_back(N("YEAR", 4, 0, xcLeft, Field("Year")));
  c.push_back(C("STATE", 2, [](const TFieldDataRow& r) { return Txt(r.Source.Counties.StateAbbrev(r.Rec.State)); }));
  c.push_back(N("STATE_CODE", 2, 0, 0, [](const TFieldDataRow& r) { return Num(r.Source.Counties.StateCode(r.Rec.State)); }));
  c.push_back(C("COUNTY", 20, [](const TFieldDataRow& r) {
    return Txt(r.Source.Counties.CountyName(r.Rec.County, r.Rec.State));
  }));
  c.push_back(N("CNTY_CODE", 3, 0, xcBlankZero, [](const TFieldDataRow& r) {
    return Num(r.Source.Counties.CountyCode(r.Rec.County, r.Rec.State));
  }));
  const std::pair<const char*, int> texts[] = {{"Operation", 30}, {"Addr_Road", 30},  {"Addr_Town", 20},
                                               {"Addr_State", 2}, {"Addr_Zip", 10},   {"Contact", 30},
                                               {"Off_Phone", 14}, {"Home_Phone", 14}, {"Email_Addr", 40}};
  for (const auto& [field, width] : texts) {
    std::string name = field;
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    c.push_back(C(name, width, Field(field)));
  }
  // Wide enough for the largest field size, 1000.00 acres.
  c.push_back(N("FIELD_SIZE", 7, 2, xcBlankZero, Field("Field_Size")));
  c.push_back(N("RENT_VALUE", 6, 2, xcBlankZero, Field("Rent_Value")));
  c.push_back(C("FSA_TRACT", 10, Field("FSA_Tract")));
  c.push_back(C("FSA_FIELD", 4, Field("FSA_Field")));
  c.push_back(C("NOTES", 60, Field("Notes")));
  c.push_back(N("SOILTST_YR", 4, 0, xcBlankZero | xcLeft, Field("SoilTst_Yr")));
  c.push_back(N("OM", 5, 1, xcBlankZero, Field("OM")));
  AddSoilTests(c);
  c.push_back(N("SOIL_PH", 5, 1, xcBlankZero, Field("Soil_pH")));
  c.push_back(N("BUFFER_PH", 5, 1, xcBlankZero, Field("Buffer_pH")));
  c.push_back(N("CEC", 5, 1, xcBlankZero, Field("CEC")));
  c.push_back(N("NITRATE_N", 3, 0, xcBlankZero, Field("Nitrate_N")));
  c.push_back(N("EC", 5, 2, xcBlankZero, Field("EC")));
  c.push_back(N("SULFATE_S", 4, 1, xcBlankZero, Field("Sulfate_S")));
  c.push_back(N("BASAL_N", 5, 0, xcBlankZero, Field("Basal_N")));
  AddSlots(c);
  c.push_back(N("TILL_YEARS", 2, 0, xcBlankZero, Field("Till_Years")));
  AddRecommendations(c);
  AddPlanting(c);
  AddSoils(c);
  AddHarvest(c, true);
  AddHarvest(c, false);
  AddCosts(c);
  return c;
}

}  // namespace

const std::vector<TExportColumn<TFieldDataRow>>& FieldDataColumns() {
  static const TColumns columns = MakeFieldColumns();
  return columns;
}

const std::vector<TExportColumn<TAppDataRow>>& AppDataColumns() {
  using TA = TExportColumn<TAppDataRow>;
  static const std::vector<TA> columns = {
      {"FIELD_ID", 'N', 9, 0, 0, [](const TAppDataRow& r) { return Num(r.Rec.Field_ID); }},
      {"YEAR", 'N', 4, 0, xcLeft, [](const TAppDataRow& r) { return Num(r.Rec.Year); }},
      {"INPUT_NAME", 'C', 30, 0, 0, [](const TAppDataRow& r) { return Txt(r.App.InputName); }},
      {"TYPE", 'C', 1, 0, 0, [](const TAppDataRow& r) { return Txt(std::string(1, r.App.Type)); }},
      // Wide enough for the largest manure rate, 99999.00.
      {"RATE", 'N', 8, 2, xcBlankZero, [](const TAppDataRow& r) { return Num(r.App.Rate); }},
      {"UNITS", 'C', 3, 0, 0, [](const TAppDataRow& r) { return Txt(r.App.Units); }},
      {"DATE", 'D', 8, 0, 0, [](const TAppDataRow& r) { return Num(r.App.Date); }},
      {"MISC", 'C', 7, 0, 0, [](const TAppDataRow& r) { return Txt(r.App.Misc); }},
  };
  return columns;
}

std::string DbfValueText(char type, int width, int decimals, unsigned flags, const TExportValue& value) {
  const size_t w = static_cast<size_t>(width);
  if (value.Blank) return std::string(w, ' ');
  std::string text;
  switch (type) {
    case 'N':
      text = FormatReal(value.Number, decimals);
      if (text.size() > w) return std::string(w, '*');  // too large for the column
      return (flags & xcLeft) ? Pad(text, w) : PadLeft(text, w);
    case 'D': {
      int y = 0, m = 0, d = 0;
      if (!DecodeDay(static_cast<TDayNum>(value.Number), y, m, d)) return std::string(w, ' ');
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
      return Pad(buf, w).substr(0, w);
    }
    case 'L': return Pad(value.Number != 0 ? "Y" : "N", w);
    default: return Pad(value.Text.substr(0, w), w);
  }
}

namespace {

// The units of an input row: the row's unit, or for 0 the input's own application unit.
std::string RowUnits(const TMdfFile& mdf, int code, int unit) {
  return unit != 0 ? UnitShortName(unit) : mdf.InputUnitAbbrev(code, false);
}

std::string FertilizerName(float n, float p, float k) {
  return FormatReal(n, 1, fmtTrimZeros) + "-" + FormatReal(p, 1, fmtTrimZeros) + "-" + FormatReal(k, 1, fmtTrimZeros);
}

// The other-input rows whose input's cost group is `kind`, as rows of type `type`.
void AddOtherInputs(std::vector<TAppRow>& rows, const TFieldRec& r, const TMdfFile& mdf, int kind, char type) {
  for (int i = 0; i < kOtherRows; ++i) {
    const int code = r.Othr_Input[i];
    if (code == 0 || mdf.InputKind(code) != kind) continue;
    const float cost = r.Othr_Cost[i];
    rows.push_back({r.Othr_Desc[i].Empty() ? mdf.InputName(code) : r.Othr_Desc[i].Str(), type, r.Othr_Rate[i],
                    RowUnits(mdf, code, r.Othr_Units[i]), r.Othr_Date[i], cost == 0 ? "$" : "$" + FormatReal(cost, 2)});
  }
}

}  // namespace

std::vector<TAppRow> ApplicationRows(const TFieldRec& r, const TMdfFile& mdf) {
  std::vector<TAppRow> rows;
  for (int i = 0; i < kFertRows; ++i) {
    if (r.Fert_N[i] <= 0 && r.Fert_P2O5[i] <= 0 && r.Fert_K2O[i] <= 0) continue;
    const int form = r.Fert_Form[i];
    std::string units = UnitShortName(r.Fert_Units[i]);
    // Without a unit, the application unit of the generic fertilizer input of the row's form.
    if (r.Fert_Units[i] == 0 && form != 0) units = mdf.InputUnitAbbrev(form * 3 + 1998, false);
    rows.push_back({FertilizerName(r.Fert_N[i], r.Fert_P2O5[i], r.Fert_K2O[i]), 'F', r.Fert_Rate[i], units,
                    r.Fert_Date[i], CodeShortName(TCodeList::FertForm, form)});
  }
  for (int i = 0; i < kOFertRows; ++i)
    if (const int code = r.OFert_Input[i])
      rows.push_back({mdf.InputName(code), 'E', r.OFert_Rate[i], RowUnits(mdf, code, r.OFert_Units[i]),
                      r.OFert_Date[i], ""});
  AddOtherInputs(rows, r, mdf, 3, 'E');
  for (int i = 0; i < kManureRows; ++i)
    if (const int code = r.Man_Input[i])
      rows.push_back({mdf.InputName(code), 'M', r.Man_Rate[i], RowUnits(mdf, code, r.Man_Units[i]), r.Man_Date[i],
                      CodeShortName(TCodeList::ManureMethod, r.Man_Method[i])});
  for (int i = 0; i < kHerbRows; ++i)
    if (const int code = r.Herb_Input[i])
      rows.push_back({mdf.InputName(code), 'H', r.Herb_Rate[i], RowUnits(mdf, code, r.Herb_Units[i]),
                      r.Herb_Date[i], CodeShortName(TCodeList::HerbTiming, r.Herb_Timing[i])});
  AddOtherInputs(rows, r, mdf, 4, 'H');
  for (int i = 0; i < kInsRows; ++i)
    if (const int code = r.Ins_Input[i])
      rows.push_back({mdf.InputName(code), 'I', r.Ins_Rate[i], RowUnits(mdf, code, r.Ins_Units[i]), r.Ins_Date[i],
                      CodeShortName(TCodeList::InsMethod, r.Ins_Method[i])});
  AddOtherInputs(rows, r, mdf, 5, 'I');
  for (int i = 0; i < kOperRows; ++i)
    if (const int code = r.Oper_Input[i])
      rows.push_back({mdf.InputName(code), 'O', r.Oper_Trips[i], mdf.InputUnitAbbrev(code, false), r.Oper_Date[i], ""});
  AddOtherInputs(rows, r, mdf, 6, 'O');
  AddOtherInputs(rows, r, mdf, 0, 'X');
  return rows;
}
