#include "interchange/ImportCols.h"

#include <algorithm>
#include <cmath>

#include "common/Cp1252.h"
#include "common/Format.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "store/StateTables.h"
#include "vocab/CropVocab.h"

namespace {

struct TColumnDef {
  const char* Name;
  const char* Alternative;  // used when Name is absent
};

const TColumnDef kColumns[icCount] = {
    {"FIELD_NAME", nullptr}, {"SUBFLD_NAM", nullptr}, {"CROP_YEAR", nullptr}, {"COUNTY", nullptr},
    {"ACRES", nullptr},      {"NOTES", nullptr},      {"FSA_TRACT", nullptr}, {"FSA_FIELD", nullptr},
    {"SOILTESTYR", nullptr}, {"OM_W_H", "OM"},        {"TEST_UNITS", nullptr}, {"P_BRAY1", "P"},
    {"P_TEST", nullptr},     {"K_NH4OAC", "K"},       {"MG_NH4OAC", "MG"},   {"CA_NH4OAC", "CA"},
    {"NA", nullptr},         {"AL", nullptr},         {"PH_CACL2", "SOIL_PH"}, {"NEUT_ACID", "BUFFER_PH"},
    {"CEC", nullptr},        {"NO3N", nullptr},       {"EC", nullptr},       {"SO4S", nullptr},
    {"CROP_CODE", nullptr},  {"CROP_DESCR", nullptr}, {"YLD_GOAL1", "YLD_GOAL"}, {"IRRIGATED", nullptr},
    {"DRAINED", nullptr},    {"SLOPE", nullptr},      {"SOIL1", nullptr},    {"SOIL2", nullptr},
    {"SOIL3", nullptr},      {"PCT1", "SOIL1_PCT"},   {"PCT2", "SOIL2_PCT"}, {"PCT3", "SOIL3_PCT"},
    {"SOIL_EROS", nullptr},  {"WTRSHD_HUC", nullptr},
};

enum : int { kLbPerAcre = 1, kPpm = 2 };  // soil test unit codes
constexpr uint16_t kIrrigationInput = 7002;
constexpr int kPTestDef = 77;

bool IsYes(const std::string& v) { return SameText(v, "Y") || SameText(v, "T"); }
bool IsNo(const std::string& v) { return SameText(v, "N") || SameText(v, "F"); }

}  // namespace

bool ParseWholeValue(const std::string& text, int64_t& value) {
  double v = 0;
  value = 0;
  if (!ParseReal(text, v) || v != std::floor(v) || std::fabs(v) > 2147483647.0) return false;
  value = static_cast<int64_t>(v);
  return true;
}

void TImportColumns::Find(const TDbfFile& table, bool utf8) {
  utf8_ = utf8;
  for (int col = 0; col < icCount; ++col) {
    index_[col] = table.FindField(kColumns[col].Name);
    second_[col] = index_[col] == 0 && kColumns[col].Alternative != nullptr;
    if (second_[col]) index_[col] = table.FindField(kColumns[col].Alternative);
    if (index_[col] > 0) table.GetFieldInfo(index_[col], fields_[col]);
  }
}

std::string TImportColumns::Name(int col) const {
  return second_[col] && Has(col) ? kColumns[col].Alternative : kColumns[col].Name;
}

std::string TImportColumns::Text(const char* row, int col) const {
  if (!Has(col)) return {};
  const std::string text = Trim(TDbfFile::FieldText(row, fields_[col]));
  return utf8_ ? Utf8ToCp1252(text) : text;
}

bool TImportColumns::StoredText(const char* row, int col, TTextImport& mode, std::string& text,
                                std::string& why) const {
  text.clear();
  why.clear();
  if (!Has(col)) return true;
  std::string raw = Trim(TDbfFile::FieldText(row, fields_[col]));
  if (col == icNotes)  // white space of a memo-like text
    std::replace_if(raw.begin(), raw.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
  if (!utf8_) text = std::move(raw);
  else if (!ImportUtf8(raw, text, mode, why)) return false;
  why = ControlCharRule(text);
  if (why.empty()) return true;
  text.clear();
  return false;
}

TRowApplier::TRowApplier(const TImportColumns& cols, TMdaFile& project, const TProjectRefs& refs,
                         TValidationInfo& info)
    : cols_(cols), project_(project), info_(info), ctx_{refs} {}

void TRowApplier::Prepare() {
  ctx_.Tables = project_.StateTables();
  ctx_.ProjectState = project_.ProjectState();
  ctx_.ProjectYear = project_.ProjectYear();
  tablesLoaded_ = ctx_.Tables->LoadStateTables(project_.ProjectState());
  cropDefRows_.clear();
  yieldUnits_.clear();
  if (tablesLoaded_) {
    const TQriFileDb& db = ctx_.Tables->Db();
    for (int row = 0; row < db.FieldRowCount(qfCropDef); ++row) cropDefRows_.emplace(db.GetFieldInteger(qfCropDef, row), row);
  }
  // Without TEST_UNITS: Bray P values are in Lb/A; plain P values in the state's soil test units.
  if (cols_.Has(icP) && cols_.Name(icP) == "P_BRAY1") defaultUnits_ = kLbPerAcre;
  else if (cols_.Has(icP) && tablesLoaded_) defaultUnits_ = ctx_.Tables->Db().SoilTestsInLbPerAcre() ? kLbPerAcre : kPpm;
}

void TRowApplier::Warn(int col, const std::string& value, const std::string& rule) {
  info_.Warn("Row " + std::to_string(rowNumber_) + ": " + cols_.Name(col) + " value \"" + ShownText(value) +
             "\" not imported: " + rule + ".");
}

std::string TRowApplier::StoredText(int col) {
  std::string text, why;
  if (!cols_.StoredText(row_, col, info_.Text, text, why)) Warn(col, cols_.Text(row_, col), why);
  return text;
}

bool TRowApplier::ParseValue(int col, const std::string& value, double& number) {
  if (ParseReal(value, number)) return true;
  Warn(col, value, "not a number");
  return false;
}

bool TRowApplier::Number(int col, const char* field, int index) {
  const std::string value = cols_.Text(row_, col);
  double number = 0;
  if (value.empty() || !ParseValue(col, value, number)) return false;
  const std::string rule = SetCheckedNumber(*rec_, field, index, number, ctx_);
  if (!rule.empty()) Warn(col, value, rule);
  return rule.empty();
}

void TRowApplier::SoilTest(int col, const char* field) {
  if (Number(col, field) && units_ != 0) SetFieldNumber(*rec_, *RecordField(std::string(field) + "_Units"), units_);
}

void TRowApplier::PTest() {
  const std::string value = cols_.Text(row_, icPTest);
  if (value.empty()) return;
  int64_t number = 0;
  if (!ParseWholeValue(value, number) || number < 1 || number > 99) return Warn(icPTest, value, "must be from 1 to 99");
  if (!tablesLoaded_) return;
  const std::string rule = SetCheckedNumber(*rec_, "P_Test", 0, static_cast<double>(number), ctx_);
  if (!rule.empty()) Warn(icPTest, value, rule);
}

bool TRowApplier::SetPrimaryCrop(int row, bool quietWhenNotPrimary, std::string& rule) {
  const TQriFileDb& db = ctx_.Tables->Db();
  int64_t crop = 0;
  if (!ParseWholeValue(db.GetFieldValue(qfToTessCrop, row), crop) || crop == 0) {
    rule = "its crop definition names no crop of this program";
    return false;
  }
  if (crop == crOtherHistory) crop = crOther;
  if (!IsKnownCrop(static_cast<int>(crop)) || !CropInfo(static_cast<int>(crop)).Primary) {
    if (!quietWhenNotPrimary) rule = "its crop is not allowed as primary crop";
    return false;
  }
  const auto code = static_cast<uint16_t>(crop);
  if (rec_->Cur_Crop != 0 && rec_->Cur_Crop != code && project_.PrimaryCropChangeLosesData(*rec_, code)) {
    rule = "the record's crop-specific inputs do not suit its crop";
    return false;
  }
  rec_->Cur_Crop = code;
  rec_->Cur_Code = static_cast<uint16_t>(db.GetFieldInteger(qfCropDef, row));
  return true;
}

void TRowApplier::CropCode() {
  const std::string value = cols_.Text(row_, icCropCode);
  if (value.empty() || !tablesLoaded_) return;
  int64_t number = 0;
  int found = -1;
  if (ParseWholeValue(value, number))
    if (const auto it = cropDefRows_.find(number); it != cropDefRows_.end()) found = it->second;
  std::string rule = "must be a crop definition number of the state's tables";
  if (found < 0 || !SetPrimaryCrop(found, false, rule)) Warn(icCropCode, value, rule);
}

void TRowApplier::CropDescription() {
  const std::string value = Trim(cols_.Text(row_, icCropDescr).substr(0, 25));
  if (value.empty() || !tablesLoaded_ || rec_->Cur_Crop != 0) return;
  const TQriFileDb& db = ctx_.Tables->Db();
  const int rows = db.FieldRowCount(qfCropName);
  int found = -1;
  for (int row = 0; row < rows && found < 0; ++row)
    if (SameText(db.GetFieldValue(qfCropName, row), value)) found = row;
  for (int row = 0; row < rows && found < 0; ++row) {  // else the first name agreeing over the shorter length
    const std::string name = db.GetFieldValue(qfCropName, row);
    const size_t n = std::min(name.size(), value.size());
    if (n > 0 && SameText(name.substr(0, n), value.substr(0, n))) found = row;
  }
  std::string rule = "must name a crop definition of the state's tables";
  if (found >= 0) {
    rule.clear();
    SetPrimaryCrop(found, true, rule);
  }
  if (!rule.empty()) Warn(icCropDescr, value, rule);
}

void TRowApplier::YieldGoal() {
  if (!Number(icYldGoal, "Cur_Goal")) return;
  // Converted from the crop definition's yield unit to the crop's own unit.
  const int crop = rec_->Cur_Crop;
  if (crop == 0 || rec_->Cur_Code == 0 || !tablesLoaded_) return;
  const uint32_t key = static_cast<uint32_t>(crop) << 16 | rec_->Cur_Code;
  auto units = yieldUnits_.find(key);
  if (units == yieldUnits_.end()) {
    const TQriFileDb& db = ctx_.Tables->Db();
    const int row = db.FindFieldRow(qfCropDef, std::to_string(rec_->Cur_Code));
    const std::string from = row < 0 ? std::string() : db.GetFieldValue(qfYldUnit, row);
    const std::string to = row < 0 ? std::string()
                                   : ctx_.Refs.InputUnitAbbrev(static_cast<uint16_t>(TMdfFile::PriceCode(crop, true)), true);
    units = yieldUnits_.emplace(key, std::make_pair(from, to)).first;
  }
  const auto& [from, to] = units->second;
  if (to.empty() || SameText(to, from)) return;
  // The dBASE import converts into bushels, hundredweights, tons and pounds only.
  const double converted =
      RoundToDecimals(YieldFromPounds(YieldInPounds(rec_->Cur_Goal, from, crop), to, crop, false), 1);
  rec_->Cur_Goal = static_cast<float>(converted > 9999 ? 0 : converted);
}

void TRowApplier::Irrigated() {
  if (rec_->Cur_Crop == 0 || !IsYes(cols_.Text(row_, icIrrigated))) return;
  for (int i = 0; i < kOtherRows; ++i)
    if (rec_->Othr_Input[i] == kIrrigationInput) return;
  for (int i = 0; i < kOtherRows; ++i) {
    if (rec_->Othr_Input[i] == 0 && rec_->Othr_Desc[i].Empty()) {
      rec_->Othr_Input[i] = kIrrigationInput;
      return;
    }
  }
}

void TRowApplier::Drained() {
  const std::string value = cols_.Text(row_, icDrained);
  if (IsYes(value) && rec_->Drain_Type == 0)
    rec_->Drain_Type = static_cast<uint8_t>(ctx_.Tables->DefaultDrainageType(*rec_));
  else if (IsNo(value))
    rec_->Drain_Type = 0;
}

void TRowApplier::Soils() {
  const std::string slopeText = cols_.Text(row_, icSlope);
  bool slopeValid = !slopeText.empty(), slopeRead = false;
  double slope = 0;
  for (int k = 0; k < kSoilRows; ++k) {
    const std::string value = StoredText(icSoil1 + k);
    if (value.empty()) continue;
    // The symbol follows three leading characters (the survey area) and its leading zeros.
    const size_t start = value.find_first_not_of('0', std::min<size_t>(3, value.size()));
    rec_->Soil_Sym[k] = start == std::string::npos ? std::string() : value.substr(start);
    if (slopeValid && !slopeRead) slopeValid = ParseValue(icSlope, slopeText, slope);
    slopeRead = true;
    if (slopeValid) {
      const std::string rule = SetCheckedNumber(*rec_, "Soil_Slope", k, slope, ctx_);
      if (!rule.empty()) Warn(icSlope, slopeText, rule);
      slopeValid = rule.empty();  // an invalid slope is reported once
    }
    Number(icPct1 + k, "Soil_FldPct", k);
  }
}

void TRowApplier::Watershed() {
  std::string value = StoredText(icWatershed);
  if (value.empty()) return;
  std::erase(value, ' ');
  const TShortStr<16> before = rec_->Wshed_Num;
  rec_->Wshed_Num = value;
  const std::string rule = value.size() > 16 ? "must be 11, 12 or 14 characters long"
                                             : CheckFieldValue(*rec_, *RecordField("Wshed_Num"), 0, ctx_);
  if (rule.empty()) return;
  rec_->Wshed_Num = before;
  Warn(icWatershed, cols_.Text(row_, icWatershed), rule);
}

void TRowApplier::Apply(const char* row, uint32_t rowNumber, TFieldRec& rec) {
  row_ = row;
  rowNumber_ = rowNumber;
  rec_ = &rec;
  units_ = defaultUnits_;
  if (cols_.Has(icTestUnits)) {
    const std::string units = cols_.Text(row, icTestUnits);
    units_ = SameText(units, "ppm") ? kPpm : SameText(units, "lb/a") ? kLbPerAcre : 0;
    if (units_ == 0 && !units.empty()) Warn(icTestUnits, units, "must be ppm or lb/a");
  }
  Number(icAcres, "Field_Size");
  if (const std::string notes = Trim(StoredText(icNotes)); !notes.empty()) rec.Notes = Trim(notes.substr(0, 60));
  if (const std::string tract = StoredText(icFsaTract); !tract.empty()) rec.FSA_Tract = Trim(tract.substr(0, 10));
  if (const std::string field = StoredText(icFsaField); !field.empty()) rec.FSA_Field = Trim(field.substr(0, 4));
  Number(icSoilTstYr, "SoilTst_Yr");
  Number(icOM, "OM");
  SoilTest(icP, "P");
  PTest();
  SoilTest(icK, "K");
  SoilTest(icMg, "Mg");
  SoilTest(icCa, "Ca");
  SoilTest(icNa, "Na");
  SoilTest(icAl, "Al");
  Number(icSoilPH, "Soil_pH");
  Number(icBufferPH, "Buffer_pH");
  Number(icCEC, "CEC");
  Number(icNO3N, "Nitrate_N");
  Number(icEC, "EC");
  if (Number(icSO4S, "Sulfate_S")) rec.Sulfate_S = std::round(float{rec.Sulfate_S});  // kept as a whole number
  CropCode();
  CropDescription();
  YieldGoal();
  Irrigated();
  Drained();
  Soils();
  Number(icSoilEros, "Water_Loss");
  Watershed();
}
