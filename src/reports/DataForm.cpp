#include "reports/DataForm.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/Format.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"
#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "reports/PdfRender.h"
#include "reports/RptTemp.h"
#include "store/StateTables.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

using TCell = TDataFormDoc::TCell;

constexpr float kMargin = 0.5f;      // inches, all four sides
constexpr float kLineWidth = 8.5f - 2 * kMargin;
constexpr float kGap = 0.12f;        // between the cells of a line
constexpr float kNumberWidth = 0.3f; // the row number column of a table
constexpr float kEntryLine = 21;     // points from one line to write on to the next
constexpr float kTableLine = 17;
constexpr int kTitleColor = 8;       // dark blue
constexpr int kValueColor = 1;       // blue, like ink
constexpr int kHintColor = 14;       // dark gray

// The widths of the cells of a line scaled to fill `room` inches, gaps included.
std::vector<float> FitWidths(const std::vector<TCell>& cells, float room) {
  float sum = 0;
  for (const TCell& c : cells) sum += c.width;
  const float scale = sum > 0 ? (room - kGap * static_cast<float>(cells.size() - 1)) / sum : 1;
  std::vector<float> widths;
  for (const TCell& c : cells) widths.push_back(c.width * scale);
  return widths;
}

// Numbers as typed: trailing zeros dropped, nothing for 0.
std::string Num(double value, int decimals = 2) { return FormatReal(value, decimals, fmtBlankZero | fmtTrimZeros); }

std::string Date(TDayNum day) {
  int y, m, d;
  if (!DecodeAnyDay(day, y, m, d)) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", m, d, y);
  return text;
}

// "SHORT Long, SHORT Long, ..." of a code list, or only the long names.
std::string CodeHint(TCodeList list, bool withShort) {
  std::string text;
  for (int code = 1; code <= CodeListCount(list); ++code) {
    if (!text.empty()) text += ", ";
    const std::string shortName = CodeShortName(list, code), longName = CodeLongName(list, code);
    text += withShort && shortName != longName ? shortName + " " + longName : longName;
  }
  return text;
}

std::string CropHint(TCropList list) {
  std::string text;
  for (int position = 1; position <= CropListCount(list); ++position)
    text += (text.empty() ? "" : ", ") + CropName(CropAtListPosition(list, position));
  return text;
}

std::string UnitHint(int classMask) {
  std::vector<std::string> names;
  for (int position = 1; position <= UnitCountInMask(classMask); ++position) {
    const std::string name = UnitMediumName(UnitAtListPosition(classMask, position));
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string Code(TCodeList list, int code) { return CodeLongName(list, code); }

// A box to tick, ticked when `on`.
std::string Box(bool on) { return on ? "[X] " : "[  ] "; }

std::string WriteRtfForm(const std::string& path, const std::string& note, const TFormSource* source,
                         const std::string& author) {
  TDataFormDoc form;
  if (form.Open(path, ruInches, author, source ? kSampleFormTitle : kBlankFormTitle)) {
    form.WriteForm(note, source);
    form.Close();
  }
  if (form.Status == wsOk) return {};
  form.Abandon();
  return form.GetErrorText();
}

}  // namespace

void TDataFormDoc::WriteForm(const std::string& note, const TFormSource* source) {
  source_ = source;
  rec_ = source ? source->Rec : NewRecordTemplate(0, 0, 0);
  SetPageLayout(false, kMargin, kMargin, kMargin, kMargin);
  Heading(source ? kSampleFormTitle : kBlankFormTitle, note);
  // A page for each group of entries, as they are gathered in the field.
  Identification();
  Address();
  CropHistory();
  SoilTests();
  NewPage();
  Planting();
  Fertilizer();
  Manure();
  NewPage();
  Pesticides();
  Erosion();
  Harvest();
  NewPage();
  Operations();
  OtherInputs();
  Soils();
}

void TDataFormDoc::Heading(const std::string& title, const std::string& note) {
  SetLineSpacing(0);
  SetFont(2, 18);
  StyleOn(stBold);
  SetColor(kTitleColor);
  WriteText(title);
  StyleOff(stBold);
  NewLine();
  SetFont(2, 9);
  SetColor(kHintColor);
  StyleOn(stItalic);
  WriteText(note);
  StyleOff(stItalic);
  SetColor(0);
  NewLine();
}

void TDataFormDoc::Section(const std::string& title) {
  SetLineSpacing(0);
  SetFont(2, 6);
  NewLine();
  SetFont(2, 12);
  StyleOn(stBold);
  SetColor(kTitleColor);
  WriteText(title);
  SetColor(0);
  StyleOff(stBold);
  NewLine();
}

void TDataFormDoc::SubSection(const std::string& title) {
  SetLineSpacing(0);
  SetFont(2, 4);
  NewLine();
  SetFont(2, 9);
  StyleOn(stBold);
  WriteText(title);
  StyleOff(stBold);
  NewLine();
}

void TDataFormDoc::Hint(const std::string& text) {
  SetLineSpacing(0);
  SetFont(2, 7.5f);
  StyleOn(stItalic);
  SetColor(kHintColor);
  WriteText(text);
  SetColor(0);
  StyleOff(stItalic);
  NewLine();
}

void TDataFormDoc::Entries(const std::vector<TCell>& cells) {
  SetLineSpacing(-kEntryLine);
  const std::vector<float> widths = FitWidths(cells, kLineWidth);
  float x = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) SetTabStop(tkLeft, x);
    SetTabStop(tkLeftDots, x + widths[i]);
    x += widths[i] + kGap;
  }
  SetFont(2, 9);
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) Tab();
    WriteText(cells[i].label + ": ");
    if (!cells[i].value.empty()) {
      SetColor(kValueColor);
      WriteText(cells[i].value + " ");
      SetColor(0);
    }
    Tab();
  }
  NewLine();
}

void TDataFormDoc::CheckBoxes(const std::vector<std::string>& boxes) {
  constexpr int kPerLine = 4;
  constexpr float kStep = 7.5f / kPerLine;
  SetLineSpacing(-kEntryLine);
  for (int i = 1; i < kPerLine; ++i) SetTabStop(tkLeft, i * kStep);
  SetFont(2, 9);
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (i > 0 && i % kPerLine == 0) NewLine();
    else if (i > 0) Tab();
    WriteText(boxes[i]);
  }
  NewLine();
}

template <class RowValues>
void TDataFormDoc::Table(const std::vector<TCell>& columns, int rows, RowValues cells) {
  std::vector<std::string> numbers;
  for (int row = 1; row <= rows; ++row) numbers.push_back(std::to_string(row) + ".");
  Table(columns, numbers, kNumberWidth, cells);
}

template <class RowValues>
void TDataFormDoc::Table(const std::vector<TCell>& columns, const std::vector<std::string>& rowLabels,
                         float labelWidth, RowValues cells) {
  const std::vector<float> widths = FitWidths(columns, kLineWidth - labelWidth);
  SetLineSpacing(0);
  float x = labelWidth;
  for (float width : widths) {
    SetTabStop(tkLeft, x);
    x += width + kGap;
  }
  SetFont(2, 8);
  StyleOn(stBold);
  for (const TCell& c : columns) {
    Tab();
    WriteText(c.label);
  }
  StyleOff(stBold);
  NewLine();
  for (size_t row = 0; row < rowLabels.size(); ++row)
    TableRow(widths, labelWidth, rowLabels[row], cells(static_cast<int>(row)));
}

void TDataFormDoc::TableRow(const std::vector<float>& widths, float labelWidth, const std::string& label,
                            const std::vector<std::string>& values) {
  SetLineSpacing(-kTableLine);
  float x = labelWidth;
  for (float width : widths) {
    SetTabStop(tkLeft, x);
    SetTabStop(tkLeftDots, x + width);
    x += width + kGap;
  }
  SetFont(2, 8);
  WriteText(label);
  for (size_t i = 0; i < widths.size(); ++i) {
    Tab();
    if (i < values.size() && !values[i].empty()) {
      SetColor(kValueColor);
      WriteText(values[i] + " ");
      SetColor(0);
    }
    Tab();
  }
  NewLine();
}

std::string TDataFormDoc::InputName(int code) const {
  return code && source_ && source_->Definitions ? source_->Definitions->InputName(code) : Num(code, 0);
}

std::string TDataFormDoc::RateUnit(int input, int unit) const {
  if (IsUnitCode(unit)) return UnitMediumName(unit);
  return input && source_ && source_->Definitions ? source_->Definitions->RateUnitName(input, unit) : std::string();
}

std::string TDataFormDoc::StateListName(int numberField, int nameField, int number) const {
  TStateTables* tables = source_ ? source_->Tables : nullptr;
  if (!number || !tables || !tables->LoadStateTables(rec_.State)) return Num(number, 0);
  const int row = tables->Db().FindFieldRow(numberField, std::to_string(number));
  return row >= 0 ? tables->Db().GetFieldValue(nameField, row) : Num(number, 0);
}

void TDataFormDoc::Identification() {
  TMcnFile* counties = source_ ? source_->Counties : nullptr;
  const std::string state = counties ? counties->StateName(rec_.State) : Num(rec_.State, 0);
  const std::string county = counties ? counties->CountyName(rec_.County, rec_.State) : Num(rec_.County, 0);
  Section("Identification");
  Entries({{"Field ID", Num(rec_.Field_ID, 0), 1.8f},
           {"Field name", rec_.Field_Name.Str(), 3.3f},
           {"Subfield", rec_.SubFld_Nam.Str(), 2.16f}});
  Entries({{"Harvest year", Num(rec_.Year, 0), 1.8f}, {"State", state, 2.4f}, {"County", county, 3.06f}});
  Entries({{"Field size (acres)", Num(rec_.Field_Size), 2.4f},
           {"Cash rent value ($/acre)", Num(rec_.Rent_Value), 2.4f},
           {"FSA tract", rec_.FSA_Tract.Str(), 1.4f},
           {"FSA field", rec_.FSA_Field.Str(), 1.0f}});
  Entries({{"Watershed name", rec_.Wshed_Name.Str(), 4.2f},
           {"Watershed number (HUC)", rec_.Wshed_Num.Str(), 3.06f}});
  Entries({{"Notes", rec_.Notes.Str(), 7.5f}});
}

void TDataFormDoc::Address() {
  Section("Operator Address");
  Entries({{"Operation", rec_.Operation.Str(), 3.7f}, {"Contact", rec_.Contact.Str(), 3.56f}});
  Entries({{"Street address", rec_.Addr_Road.Str(), 3.7f}, {"Town", rec_.Addr_Town.Str(), 3.56f}});
  Entries({{"State", rec_.Addr_State.Str(), 1.2f},
           {"Zip code", rec_.Addr_Zip.Str(), 1.6f},
           {"Home phone", rec_.Home_Phone.Str(), 2.1f},
           {"Business phone", rec_.Off_Phone.Str(), 2.12f}});
  Entries({{"E-mail address", rec_.Email_Addr.Str(), 7.5f}});
}

void TDataFormDoc::CropHistory() {
  Section("Crop History");
  Hint("Crops: " + CropHint(clPrimary) + ". Previous and next crops also: " + CropName(crOtherHistory) + ".");
  Hint("Tillage: " + CodeHint(TCodeList::Tillage, false) + ". Yields in the crop's unit (bu, tons, lb or cwt per acre).");
  TStateTables* tables = source_ ? source_->Tables : nullptr;
  Table({{"Crop", {}, 1.4f}, {"Tillage", {}, 1.05f}, {"Yield or goal", {}, 0.95f}, {"% legume", {}, 0.65f},
         {"Recommendation used", {}, 1.6f}},
        {"Previous crop", "Cover or first crop", "Primary crop", "Next crop"}, 1.3f, [&](int slot) {
          const int crop = SlotCrop(rec_, slot);
          const bool legume = rec_.HasFlag(rfPrevPctLeg + slot);
          const int row = crop && tables ? tables->CropDefinitionRow(slot, rec_) : -1;
          return std::vector<std::string>{
              CropName(crop), Code(TCodeList::Tillage, SlotTill(rec_, slot)),
              Num(SlotYield(rec_, slot)), legume ? std::to_string(SlotPctLeg(rec_, slot)) : std::string(),
              row >= 0 ? tables->Db().GetFieldValue(qfCropName, row) : Num(SlotCode(rec_, slot), 0)};
        });
  Entries({{"Years in current tillage system", Num(rec_.Till_Years, 0), 3.0f},
           {"Irrigation water nitrate N (ppm)", rec_.HasFlag(rfIrrigN) ? std::to_string(rec_.Irrig_N) : "", 4.26f}});
  auto custom = [this](int flag, uint16_t value) { return rec_.HasFlag(flag) ? std::to_string(value) : std::string(); };
  Entries({{"Custom N recommendation (lb/A)", custom(rfCustN, rec_.Cust_NRec), 2.6f},
           {"P2O5 (lb/A)", custom(rfCustP, rec_.Cust_PRec), 2.2f},
           {"K2O (lb/A)", custom(rfCustK, rec_.Cust_KRec), 2.26f}});
  Entries({{"Source of fertilizer recommendations", rec_.Cust_Source.Str(), 7.5f}});
}

void TDataFormDoc::SoilTests() {
  auto unit = [](uint8_t code) { return Code(TCodeList::SoilTestUnits, code); };
  Section("Soil Tests");
  Hint("Levels in Lb/A or ppm: give the unit with each level.");
  Entries({{"Year sampled", Num(rec_.SoilTst_Yr, 0), 1.8f},
           {"P test method", StateListName(qfPTestDef, qfPTestName, rec_.P_Test), 5.46f}});
  Entries({{"P", Num(rec_.P), 1.2f}, {"Unit", unit(rec_.P_Units), 1.0f}, {"K", Num(rec_.K), 1.2f},
           {"Unit", unit(rec_.K_Units), 1.0f}, {"Mg", Num(rec_.Mg), 1.2f}, {"Unit", unit(rec_.Mg_Units), 0.94f}});
  Entries({{"Ca", Num(rec_.Ca), 1.2f}, {"Unit", unit(rec_.Ca_Units), 1.0f}, {"Na", Num(rec_.Na), 1.2f},
           {"Unit", unit(rec_.Na_Units), 1.0f}, {"Al", Num(rec_.Al), 1.2f}, {"Unit", unit(rec_.Al_Units), 0.94f}});
  Entries({{"Water pH", Num(rec_.Soil_pH), 1.6f},
           {"Buffer pH", Num(rec_.Buffer_pH), 1.6f},
           {"CEC (meq/100 g)", Num(rec_.CEC), 2.0f},
           {"Organic matter (%)", Num(rec_.OM), 1.94f}});
  Entries({{"Nitrate N (ppm)", Num(rec_.Nitrate_N, 0), 1.8f},
           {"Basal stalk nitrate (ppm)", Num(rec_.Basal_N, 0), 2.2f},
           {"Sulfate S (ppm)", Num(rec_.Sulfate_S), 1.6f},
           {"EC (mmhos/cm)", Num(rec_.EC), 1.5f}});
}

void TDataFormDoc::Planting() {
  Section("Planting");
  Entries({{"Planting date (mm/dd/yyyy)", Date(rec_.Plant_Date), 2.8f},
           {"Planter (name and size)", rec_.Planter.Str(), 4.46f}});
  Entries({{"Row width (in)", Num(rec_.Row_Width), 1.6f},
           {"Hybrid or variety", rec_.Hybrid_Var.Str(), 3.6f},
           {"Maturity (days or group)", Num(rec_.Maturity, 0), 2.06f}});
  Entries({{"Planting rate (seeds/A, lb/A or bu/A)", Num(rec_.Cur_PlRate), 3.3f},
           {"Seeds per pound", Num(rec_.Seed_Count, 0), 1.7f},
           {"Cover or first crop rate", Num(rec_.Cov_PlRate), 2.26f}});
  SubSection("Planter attachments (tick every one used)");
  std::vector<std::string> boxes;
  for (int k = 1; k <= CodeListCount(TCodeList::PlanterAttachments); ++k)
    boxes.push_back(Box((rec_.Attchments & (1u << (k - 1))) != 0) + Code(TCodeList::PlanterAttachments, k));
  CheckBoxes(boxes);
  const TMdfFile* mdf = source_ ? source_->Definitions : nullptr;
  auto trait = [&](int i) { return rec_.Biotech[i] && mdf ? mdf->TraitName(rec_.Biotech[i]) : Num(rec_.Biotech[i], 0); };
  SubSection("Bioengineered seed traits");
  Entries({{"Trait 1", trait(0), 1}, {"Trait 2", trait(1), 1}, {"Trait 3", trait(2), 1}});
  Entries({{"Trait 4", trait(3), 1}, {"Trait 5", trait(4), 2.05f}});
}

void TDataFormDoc::Fertilizer() {
  Section("Fertilizer");
  Hint("Analysis as N-P2O5-K2O percent. Forms: " + CodeHint(TCodeList::FertForm, false) + ".");
  Hint("Rate units: " + UnitHint(ucWeight | ucVolume) + " (per acre).");
  Table({{"N %", {}, 0.6f}, {"P2O5 %", {}, 0.6f}, {"K2O %", {}, 0.6f}, {"Rate/A", {}, 0.8f}, {"Unit", {}, 0.9f},
         {"Form", {}, 0.9f}, {"Date", {}, 0.9f}},
        kFertRows, [this](int i) {
          return std::vector<std::string>{Num(rec_.Fert_N[i]),    Num(rec_.Fert_P2O5[i]),
                                          Num(rec_.Fert_K2O[i]),  Num(rec_.Fert_Rate[i], 3),
                                          UnitMediumName(rec_.Fert_Units[i]),
                                          Code(TCodeList::FertForm, rec_.Fert_Form[i]), Date(rec_.Fert_Date[i])};
        });
  SubSection("Other fertilizers (lime, micronutrients, additives)");
  Table({{"Material", {}, 3.0f}, {"Rate/A", {}, 0.8f}, {"Unit", {}, 0.9f}, {"Date", {}, 0.9f}}, kOFertRows,
        [this](int i) {
          const int code = rec_.OFert_Input[i];
          return std::vector<std::string>{code ? InputName(code) : "", Num(rec_.OFert_Rate[i], 3),
                                          code ? RateUnit(code, rec_.OFert_Units[i]) : "", Date(rec_.OFert_Date[i])};
        });
}

void TDataFormDoc::Manure() {
  Section("Manure");
  Hint("Nutrient contents per unit of manure (lb per ton or per 1000 gallons). Methods: " +
       CodeHint(TCodeList::ManureMethod, false) + ".");
  Table({{"Manure type", {}, 1.5f}, {"Rate/A", {}, 0.55f}, {"Unit", {}, 0.6f}, {"Tot. N", {}, 0.45f},
         {"NH4-N", {}, 0.45f}, {"P2O5", {}, 0.45f}, {"K2O", {}, 0.45f}, {"% DM", {}, 0.4f},
         {"Method", {}, 0.85f}, {"Date", {}, 0.75f}},
        kManureRows, [this](int i) {
          const int code = rec_.Man_Input[i];
          return std::vector<std::string>{code ? InputName(code) : "", Num(rec_.Man_Rate[i], 3),
                                          code ? RateUnit(code, rec_.Man_Units[i]) : "", Num(rec_.Man_TotN[i]),
                                          Num(rec_.Man_NH4N[i]), Num(rec_.Man_P2O5[i]), Num(rec_.Man_K2O[i]),
                                          Num(rec_.Man_PctDM[i]), Code(TCodeList::ManureMethod, rec_.Man_Method[i]),
                                          Date(rec_.Man_Date[i])};
        });
  CheckBoxes({Box(rec_.HasFlag(rfAnnManure)) + "Manure is applied to this field every year"});
}

void TDataFormDoc::Pesticides() {
  Section("Herbicides");
  Hint("Timing: " + CodeHint(TCodeList::HerbTiming, true) + ".");
  Table({{"Herbicide (product)", {}, 3.0f}, {"Rate/A", {}, 0.7f}, {"Unit", {}, 0.8f}, {"Timing", {}, 1.3f},
         {"Date", {}, 0.9f}},
        kHerbRows, [this](int i) {
          const int code = rec_.Herb_Input[i];
          return std::vector<std::string>{code ? InputName(code) : "", Num(rec_.Herb_Rate[i], 3),
                                          code ? RateUnit(code, rec_.Herb_Units[i]) : "",
                                          CodeShortName(TCodeList::HerbTiming, rec_.Herb_Timing[i]),
                                          Date(rec_.Herb_Date[i])};
        });
  Section("Insecticides");
  Hint("Methods: " + CodeHint(TCodeList::InsMethod, false) + ".");
  Table({{"Insecticide (product)", {}, 3.0f}, {"Rate/A", {}, 0.7f}, {"Unit", {}, 0.8f}, {"Method", {}, 1.3f},
         {"Date", {}, 0.9f}},
        kInsRows, [this](int i) {
          const int code = rec_.Ins_Input[i];
          return std::vector<std::string>{code ? InputName(code) : "", Num(rec_.Ins_Rate[i], 3),
                                          code ? RateUnit(code, rec_.Ins_Units[i]) : "",
                                          Code(TCodeList::InsMethod, rec_.Ins_Method[i]), Date(rec_.Ins_Date[i])};
        });
}

void TDataFormDoc::Operations() {
  Section("Field Operations");
  Hint("Every trip over the field: tillage, planting, spraying, fertilizing, harvest and hauling.");
  Table({{"Operation (implement and size)", {}, 4.0f}, {"Trips", {}, 0.7f}, {"Date", {}, 1.0f}}, kOperRows,
        [this](int i) {
          const int code = rec_.Oper_Input[i];
          return std::vector<std::string>{code ? InputName(code) : "", Num(rec_.Oper_Trips[i]),
                                          Date(rec_.Oper_Date[i])};
        });
}

void TDataFormDoc::OtherInputs() {
  Section("Other Inputs");
  Hint("Custom hire, insurance, scouting, drying, hauling and other costs; a cost per acre when known.");
  Table({{"Input", {}, 2.0f}, {"Description", {}, 1.9f}, {"Rate/A", {}, 0.6f}, {"Unit", {}, 0.7f},
         {"Cost/A ($)", {}, 0.7f}, {"Date", {}, 0.8f}},
        kOtherRows, [this](int i) {
          const int code = rec_.Othr_Input[i];
          return std::vector<std::string>{code ? InputName(code) : "", rec_.Othr_Desc[i].Str(),
                                          Num(rec_.Othr_Rate[i], 3), code ? RateUnit(code, rec_.Othr_Units[i]) : "",
                                          Num(rec_.Othr_Cost[i]), Date(rec_.Othr_Date[i])};
        });
}

void TDataFormDoc::Erosion() {
  TStateTables* tables = source_ ? source_->Tables : nullptr;
  const std::string drainage = rec_.Drain_Type && tables ? tables->DrainageTypeName(rec_) : Num(rec_.Drain_Type, 0);
  Section("Erosion and Drainage");
  Entries({{"Residue cover after planting (%)", rec_.Residue >= 0 ? std::to_string(rec_.Residue) : "", 2.9f},
           {"Water soil loss (t/A/yr)", Num(rec_.Water_Loss), 2.2f},
           {"Wind soil loss (t/A/yr)", Num(rec_.Wind_Loss), 2.16f}});
  Entries({{"Artificial drainage type", drainage, 7.5f}});
}

void TDataFormDoc::Harvest() {
  Section("Harvest");
  const TMdfFile* mdf = source_ ? source_->Definitions : nullptr;
  auto premium = [mdf](int code) { return code && mdf ? mdf->InputName(code) : Num(code, 0); };
  const std::pair<const char*, int> crops[] = {{"Primary crop", csCur}, {"Cover or first crop", csCov}};
  for (const auto& [title, slot] : crops) {
    const bool cur = slot == csCur;
    SubSection(title);
    Entries({{"Harvested area (acres)", Num(cur ? rec_.Cur_Area : rec_.Cov_Area), 2.5f},
             {"Net weight", Num(cur ? rec_.Cur_Wt : rec_.Cov_Wt), 2.4f},
             {"Weight unit", UnitMediumName(cur ? rec_.Cur_WtUnit : rec_.Cov_WtUnit), 2.36f}});
    Entries({{"Moisture or sugar (%)", Num(cur ? rec_.Cur_Mois : rec_.Cov_Mois), 2.5f},
             {"Standard moisture (%)", Num(cur ? rec_.Cur_StMois : rec_.Cov_StMois), 2.4f},
             {"Yield per acre", Num(cur ? rec_.Cur_Yield : rec_.Cov_Yield), 2.36f}});
    Entries({{"Harvest date", Date(cur ? rec_.Cur_HDate : rec_.Cov_HDate), 2.5f},
             {"Seed yield per acre (cotton)", Num(cur ? rec_.Cur_Yield2 : rec_.Cov_Yield2), 2.4f},
             {"Premium", premium(cur ? rec_.Cur_Prem : rec_.Cov_Prem), 2.36f}});
  }
}

void TDataFormDoc::Soils() {
  Section("Soils");
  Hint("Texture: " + CodeHint(TCodeList::SoilTexture, false) + ". Drainage class: " +
       CodeHint(TCodeList::SoilDrainage, false) + ".");
  Hint("Productivity rating in Bu/A (a corn suitability rating, CSR, in Iowa); T value in tons per acre per year; "
       "Misc. 1 and 2: the soil attributes your state's tables list.");
  Table({{"Symbol", {}, 0.55f}, {"Soil name", {}, 1.3f}, {"Slope %", {}, 0.5f}, {"% of field", {}, 0.6f},
         {"T value", {}, 0.5f}, {"Rating", {}, 0.5f}, {"Texture", {}, 0.55f}, {"Drainage class", {}, 1.25f},
         {"Misc. 1", {}, 0.55f}, {"Misc. 2", {}, 0.55f}},
        kSoilRows, [this](int i) {
          const bool present = !rec_.Soil_Sym[i].Str().empty() || !rec_.Soil_Name[i].Str().empty();
          return std::vector<std::string>{
              rec_.Soil_Sym[i].Str(), rec_.Soil_Name[i].Str(),
              present && rec_.Soil_Slope[i] >= 0 ? FormatReal(rec_.Soil_Slope[i], 1, fmtTrimZeros) : "",
              Num(rec_.Soil_FldPct[i], 0), Num(rec_.Soil_TValue[i]), Num(rec_.Soil_Rating[i]),
              Code(TCodeList::SoilTexture, rec_.Soil_Texture[i]), Code(TCodeList::SoilDrainage, rec_.Soil_Drain[i]),
              Num(rec_.Soil_Attr1[i], 0), Num(rec_.Soil_Attr2[i], 0)};
        });
}

std::string WriteDataFormPdf(const std::string& pdfPath, const std::string& note, const TFormSource* source,
                             const std::string& author) {
  return WritePdfThroughRtf(pdfPath, [&](const std::string& rtf) { return WriteRtfForm(rtf, note, source, author); });
}
