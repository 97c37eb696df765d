#include "textdb/QriFilDb.h"

#include <cmath>
#include <cstdio>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "textdb/EvalUtil.h"

namespace {

const char* const kCrLf = "\r\n";

// Variables of the formula checks, by the settings that hold the formulas.
const std::vector<std::string> kCecVars = {"K", "Mg", "Ca", "Na", "BufferpH", "SoilpH", "TargetpH"};
const std::vector<std::string> kSoilPVars = {"P", "PTestDef", "OM", "SoilpH", "Al", "NetP2O5", "NumYears", "SurfTex",
                                             "MiscA", "MiscB", "MiscC", "MiscD", "MiscE"};
const std::vector<std::string> kSoilKVars = {"K", "CEC", "OM", "NetK2O", "NumYears", "SurfTex",
                                             "MiscA", "MiscB", "MiscC", "MiscD", "MiscE"};
const std::vector<std::string> kCropVars = {
    "P", "PTestDef", "K", "SoilpH", "BufferpH", "CEC", "OM", "Mg", "Ca", "Al", "Lime", "NO3N", "YldGoal", "PctLegume",
    "RecRegion", "IrrWater", "SurfTex", "Drainage", "CropSeq", "NumCrops", "PrvCropDef", "PrvPctLeg",
    "MiscA", "MiscB", "MiscC", "MiscD", "MiscE"};
const std::vector<std::string> kPctAvailPVars = {"P", "PTestDef", "AnnManured"};
const std::vector<std::string> kNAvailVars = {
    "Year", "TotalN", "NH4N", "PctDM", "AnimalDef", "IsPoultry", "Bedding", "StorageDef", "IsLiquid", "PctMineral",
    "EquipDef", "IsInject", "IsIrrigate", "IsAerial", "DaysToInc", "AppMonth", "AppRegion", "IrrWater", "Drained",
    "AnnManured", "OM", "SurfTex", "Drainage", "Rate", "CovCropGrp", "IsHarvYear"};
const std::vector<std::string> kRateVars = {"IsLiquid", "IsInject", "IsIrrigate", "IsAerial", "DaysToInc",
                                            "AppMonth", "AppRegion", "CovCropGrp", "IsHarvYear", "MaxNut"};
const std::vector<std::string> kPointsVars = {
    "Month", "DistToStor", "DistToWtr", "Slope", "ErosionWtr", "PIndex", "HasRRP", "BufWidth", "IrrWater", "Drained",
    "SurfTex", "RockDepL", "HWT", "Drainage", "AnFlood", "MoFlood", "HydGrp", "Runoff", "TFact", "WEI", "NLI",
    "MiscA", "MiscB", "MiscC", "MiscD", "MiscE", "OM", "P", "PTestDef", "K", "SoilpH", "NO3N", "EC", "NRec", "PRec",
    "KRec", "PctManured", "YrsSince"};
const std::vector<std::string> kAppliesVars = {
    "IsIrrigate", "IsLiquid", "IsInject", "DaysToInc", "Slope", "IsPasture", "IsCovCrop", "IsResidue", "Residue",
    "IsBuffer", "BufWidth", "IsGoodVeg", "IsGradient", "IsOutstWtr", "IsIrrHiPrs", "IsFrozen", "IsWinter", "NLI",
    "IsPMgmt", "Is303dList"};

// Crop formula groups: first and last field, and the earlier setting the whole group may also use.
struct TFormulaGroup {
  int first, last, alsoField;
};
constexpr TFormulaGroup kCropGroups[] = {{88, 89, 0}, {90, 90, 0}, {91, 91, 0}, {92, 102, 88}, {103, 113, 90}, {114, 124, 91}};

const TQriFieldSpec& SpecOf(int field) {
  size_t count = 0;
  const TQriFieldSpec* schema = QriSchema(count);
  for (size_t i = 0; i < count; ++i)
    if (schema[i].Field == field) return schema[i];
  return schema[0];
}

}  // namespace

bool TQriFileDb::Load(const std::string& fileName) {
  Clear();
  TakeError();
  CrcText.clear();
  CrcAsRead.clear();
  if (!LoadFile(fileName)) return false;
  if (!DeclareSchema() || !ValidateAll() || !CheckExpressions()) {
    Clear();
    return false;
  }
  ReorderByRegistry();
  const TFieldLocation crc = FieldLocation(qfCrc);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(Checksum(crc.Section, crc.Column)));
  CrcText = hex;
  CrcAsRead = GetFieldValue(qfCrc, 0);
  if (!SameText(CrcText, CrcAsRead)) SetFieldValue(qfCrc, 0, "");
  return true;
}

bool TQriFileDb::DeclareSchema() {
  ClearRegistry();
  size_t count = 0;
  const TQriFieldSpec* schema = QriSchema(count);
  int section = -1;
  unsigned extra = 0;
  for (size_t i = 0; i < count; ++i) {
    const TQriFieldSpec& spec = schema[i];
    if (spec.Kind == TQriKind::Section) {
      const bool mayBeAbsent = spec.Flags != 0;
      if (!RequireSection(spec.Name, spec.Description, mayBeAbsent, &section) && i == 0)
        SetErrorMessage(ErrorMessage() + " File may not be an initialization file.");
      // A possibly absent section without entries gets its key and required settings added blank.
      extra = mayBeAbsent && RowCount(section) == 0 ? static_cast<unsigned>(dfAdd) : 0u;
    } else if (!DeclareField(spec, section, extra) && spec.Field == qfFileVers) {
      SetErrorMessage(ErrorMessage() + " File is wrong version.");
    }
    if (TakeError()) return false;
  }
  return true;
}

bool TQriFileDb::DeclareField(const TQriFieldSpec& s, int section, unsigned extraFlags) {
  const unsigned flags = s.Flags | extraFlags;
  switch (s.Kind) {
    case TQriKind::Text: return DefineTextField(section, s.Name, s.Description, flags, s.Size, s.Field);
    case TQriKind::Integer:
      return DefineIntegerField(section, s.Name, s.Description, s.Maximum, s.Minimum, flags, s.Field);
    case TQriKind::Number:
      return DefineNumberField(section, s.Name, s.Description, s.Maximum, s.Minimum, flags, s.Size, s.Field);
    case TQriKind::YesNo: return DefineYesNoField(section, s.Name, s.Description, flags, s.Field);
    case TQriKind::Date: return DefineDateField(section, s.Name, s.Description, s.Maximum, s.Minimum, flags, s.Field);
    case TQriKind::Lookup: return DefineLookupField(section, s.Name, s.Description, s.Size, *this, flags, s.Field);
    case TQriKind::Section: break;
  }
  return false;
}

// ---- Value rules ----

bool TQriFileDb::IsField(int field, int section, int column) const {
  const TFieldLocation at = FieldLocation(field);
  return at.Section == section && at.Column == column;
}

bool TQriFileDb::CheckTargetValue(const std::string& value, int targetField, int row) {
  if (value.empty()) return true;
  const int target = GetFieldInteger(targetField, row);
  double v = 0;
  const bool isNumber = ParseReal(value, v);
  if (target == 1 || target == 2) {
    if (isNumber && v >= 0.1 && v <= 999) return true;
    SetErrorMessage("Invalid target factor.");
    return false;
  }
  if (!isNumber || (v == std::trunc(v) && v >= 1 && v <= 999)) return true;  // a formula is checked later
  SetErrorMessage("Invalid target amount.");
  return false;
}

bool TQriFileDb::CheckValue(const std::string& value, int section, int column, int row) {
  if (IsField(qfTargetAmt, section, column)) return CheckTargetValue(value, qfTargetNum, row);
  if (IsField(qfNLmtTarAmt, section, column)) return CheckTargetValue(value, qfNLmtTarNum, row);
  const bool blankRefused = value.empty() && ((IsField(qfNLmtBasNum, section, column) && GetFieldInteger(qfTargetNum, row) == 5) ||
                                              (IsField(qfNLmtTarNum, section, column) && !GetFieldValue(qfNLmtBasNum, row).empty()));
  if (blankRefused) {
    SetErrorMessage("Value cannot be blank.");
    return false;
  }
  if (IsField(qfShape, section, column) && !value.empty() && !SameText(value, "point") && !SameText(value, "line") &&
      !SameText(value, "area")) {
    SetErrorMessage("Invalid GIS shape.");
    return false;
  }
  return true;
}

std::string TQriFileDb::ComputedValue(int section, int, int column) const {
  return IsField(qfInitFile, section, column) ? FileName() : std::string();
}

// ---- Formula checks ----

bool TQriFileDb::CheckExpression(int field, int row, const std::vector<std::string>& names) {
  std::vector<TExprVar> vars;
  vars.reserve(names.size());
  for (const std::string& name : names) vars.push_back({name, 0, true});
  double value = 0;
  const int code = EvaluateExpression(GetFieldValue(field, row), vars, value);
  if (code == exNone || code == exEmpty || code == exNullResult) return true;
  return Fail(FieldName(field) + " expression in " + SectionDisplay(FieldLocation(field).Section, row) +
              " section is invalid." + kCrLf + ExpressionErrorText(code));
}

bool TQriFileDb::CheckExpressions() {
  if (!CheckExpression(18, 0, kCecVars) || !CheckExpression(19, 0, kSoilPVars) || !CheckExpression(20, 0, kSoilKVars))
    return false;
  for (int row = 0; row < FieldRowCount(qfCropDef); ++row) {
    for (const TFormulaGroup& g : kCropGroups) {
      std::vector<std::string> names = kCropVars;
      if (g.alsoField) names.push_back(SpecOf(g.alsoField).Name);
      for (int f = g.first; f <= g.last; ++f) {
        if (!CheckExpression(f, row, names)) return false;
        names.push_back(SpecOf(f).Name);
      }
    }
  }
  for (int row = 0; row < FieldRowCount(qfCropDef); ++row)
    if (!CheckExpression(86, row, {"TessCrop"})) return false;
  for (int row = 0; row < FieldRowCount(151); ++row)
    if (!CheckExpression(163, row, {"TessManure"})) return false;
  if (!CheckExpression(176, 0, kPctAvailPVars)) return false;
  std::vector<std::string> names = kNAvailVars;
  for (int f = 180; f <= 195; ++f) {
    if (!CheckExpression(f, 0, names)) return false;
    names.push_back(SpecOf(f).Name);
  }
  for (int row = 0; row < FieldRowCount(196); ++row)
    if (!CheckExpression(qfTargetAmt, row, kRateVars) || !CheckExpression(qfNLmtTarAmt, row, kRateVars)) return false;
  for (int row = 0; row < FieldRowCount(205); ++row)
    if (!CheckExpression(207, row, kPointsVars)) return false;
  for (int row = 0; row < FieldRowCount(244); ++row)
    if (!CheckExpression(247, row, kAppliesVars)) return false;
  return true;
}

// ---- Services ----

bool TQriFileDb::SoilTestsInLbPerAcre() const { return SameText(GetFieldValue(qfSoilTests, 0), "lb/a"); }

bool TQriFileDb::NotCoverOnlyCrop(int cropRow) const {
  return !(GetFieldBoolean(qfCanBeCover, cropRow) && !GetFieldBoolean(qfCanBeFirst, cropRow));
}

int TQriFileDb::FindMiscColumn(const std::string& table, const std::string& column) const {
  for (int row = 0; row < FieldRowCount(qfMiscColDef); ++row)
    if (SameText(GetFieldValue(qfMiscColTable, row), table) && SameText(GetFieldValue(qfMiscColColumn, row), column))
      return row;
  return -1;
}
