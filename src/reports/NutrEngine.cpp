#include "reports/NutrEngine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "common/DayNum.h"
#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "reports/NutrNeeds.h"
#include "vocab/CodeLists.h"
#include "store/CropCalc.h"
#include "store/FieldCalc.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

// Recommendation variables, in the evaluator's order.
enum : int {
  rvP, rvPTestDef, rvK, rvSoilpH, rvBufferpH, rvCEC, rvOM, rvMg, rvCa, rvAl, rvLime, rvNO3N, rvYldGoal, rvPctLegume,
  rvRecRegion, rvIrrWater, rvSurfTex, rvDrainage, rvCropSeq, rvNumCrops, rvPrvCropDef, rvPrvPctLeg,
  rvMiscA, rvMiscB, rvMiscC, rvMiscD, rvMiscE,
};
const char* const kRecVarNames[kRecVarCount] = {
    "P", "PTestDef", "K", "SoilpH", "BufferpH", "CEC", "OM", "Mg", "Ca", "Al", "Lime", "NO3N", "YldGoal", "PctLegume",
    "RecRegion", "IrrWater", "SurfTex", "Drainage", "CropSeq", "NumCrops", "PrvCropDef", "PrvPctLeg",
    "MiscA", "MiscB", "MiscC", "MiscD", "MiscE"};

// Manure availability variables, in the evaluator's order.
enum : int {
  mvYear, mvTotalN, mvNH4N, mvPctDM, mvAnimalDef, mvIsPoultry, mvBedding, mvStorageDef, mvIsLiquid, mvPctMineral,
  mvEquipDef, mvIsInject, mvIsIrrigate, mvIsAerial, mvDaysToInc, mvAppMonth, mvAppRegion, mvIrrWater, mvDrained,
  mvAnnManured, mvOM, mvSurfTex, mvDrainage, mvRate, mvCovCropGrp, mvIsHarvYear,
};
const char* const kManureVarNames[kManureVarCount] = {
    "Year", "TotalN", "NH4N", "PctDM", "AnimalDef", "IsPoultry", "Bedding", "StorageDef", "IsLiquid", "PctMineral",
    "EquipDef", "IsInject", "IsIrrigate", "IsAerial", "DaysToInc", "AppMonth", "AppRegion", "IrrWater", "Drained",
    "AnnManured", "OM", "SurfTex", "Drainage", "Rate", "CovCropGrp", "IsHarvYear"};

constexpr int kMaxChain = kMaxChainSteps;
constexpr int kIrrigationWater = 7002;
constexpr double kTrue = -1;

// The variable a chain step appends: the name of its column.
const std::string& ChainVarName(int column) {
  static const std::array<std::string, qfNAvail + 1> names = [] {
    std::array<std::string, qfNAvail + 1> n;
    n[qfNCredit] = "NCredit";
    n[qfPRemoved] = "PRemoved";
    n[qfKRemoved] = "KRemoved";
    for (int k = 1; k <= 10; ++k) {
      n[qfNVar1 + k - 1] = "NVar" + std::to_string(k);
      n[qfPVar1 + k - 1] = "PVar" + std::to_string(k);
      n[qfKVar1 + k - 1] = "KVar" + std::to_string(k);
    }
    for (int k = 1; k <= 15; ++k) n[qfNAvailVar1 + k - 1] = "NVar" + std::to_string(k);
    n[qfNRec] = "NRec";
    n[qfPRec] = "PRec";
    n[qfKRec] = "KRec";
    n[qfNAvail] = "NAvail";
    return n;
  }();
  static const std::string kNone;
  return column >= 0 && column <= qfNAvail ? names[column] : kNone;
}

// Gives a variable its name; a list used again mostly has it already, and comparing is cheaper.
void Name(TExprVar& var, const std::string& name) {
  if (var.Name != name) var.Name = name;
}

constexpr uint64_t Bit(int variable) { return uint64_t{1} << variable; }

void Set(TExprVar& var, double value) {
  var.Value = value;
  var.IsNull = false;
}
void SetIf(TExprVar& var, double value, bool condition) {
  if (condition) Set(var, value);
}
void SetFlag(TExprVar& var, bool on) { Set(var, on ? kTrue : 0); }

// Names every variable and makes it null.
void ResetVars(TExprVar* vars, const char* const* names, int count) {
  for (int i = 0; i < count; ++i) {
    if (vars[i].Name != names[i]) vars[i].Name = names[i];
    vars[i].Value = 0;
    vars[i].IsNull = true;
  }
}

// Yield used for a slot: previous yield, cover and primary yields used in calculations, next goal.
double SlotYieldUsed(const TFieldRec& rec, int slot) {
  switch (slot) {
    case csPrev: return rec.Prev_Yield;
    case csCov: return CoverCalcYield(rec);
    case csCur: return PrimaryCalcYield(rec);
    default: return rec.Next_Goal;
  }
}

// A setting's number, or null when it is blank.
void SetFromCell(TExprVar& var, const TQriFileDb& db, int field, int row) {
  if (row >= 0 && !db.GetFieldValue(field, row).empty()) Set(var, db.GetFieldNumber(field, row));
}

// Days to incorporation by manure application method; -1 for none.
int DaysToIncorporation(int method) {
  switch (method) {
    case 2: return 0;
    case 3: return 1;
    case 8: return 2;
    case 4: return 3;
    case 9: return 4;
    case 5: return 5;
    case 10: return 6;
    case 11: return 7;
    default: return -1;
  }
}

int CoverCropGroup(const TFieldRec& rec) {
  if (rec.Cov_Crop != 0) {
    if (rec.Cov_Goal == 0) return 5;
    return rec.Cov_Crop != 14 && rec.Cov_Crop != 15 && rec.Cov_Goal >= 10 ? 2 : 4;
  }
  const int crop = rec.Cur_Crop;
  if (crop == 3 || crop == 4 || crop == 5 || crop == 13) return 2;
  if ((crop >= 15 && crop <= 18) || crop == 101 || crop == 103) return 3;
  return 1;
}

}  // namespace

double TNutrEngine::ToPlannerUnits(double value, int unit) const {
  if (value <= 0) return value;
  const bool lbPerAcre = Tables.Db().SoilTestsInLbPerAcre();
  if (lbPerAcre && unit == 2) return value * 2;
  if (!lbPerAcre && unit < 2) return value / 2;
  return value;
}

double TNutrEngine::ToYieldUnit(int crop, double yield, const std::string& unit) const {
  const std::string source =
      Tables.Refs().InputUnitAbbrev(static_cast<uint16_t>(TMdfFile::PriceCode(crop, true)), true);
  if (source.empty() || unit.empty() || SameText(source, unit)) return yield;
  // A yield in bales as the crop's own unit is not converted (0).
  const double pounds = SameText(source, "Bale") ? 0 : YieldInPounds(yield, source, crop);
  return YieldFromPounds(pounds, unit, crop, true);
}

int TNutrEngine::PrecedingSlot(int slot, const TFieldRec& rec) {
  switch (slot) {
    case csCov: return csPrev;
    case csCur: return rec.Cov_Crop != 0 ? csCov : csPrev;
    case csNext: return csCur;
    default: return -1;
  }
}

int TNutrEngine::PredominantSoil(const TFieldRec& rec) { return PredominantSoilRow(rec); }

double TNutrEngine::IrrigationWater(const TFieldRec& rec) const {
  bool found = false;
  double sum = 0;
  for (int i = 0; i < kOtherRows; ++i) {
    if (rec.Othr_Input[i] != kIrrigationWater) continue;
    found = true;
    sum += rec.Othr_Rate[i];
  }
  if (!found) return 0;
  return sum == 0 ? kTrue : sum;
}

double TNutrEngine::EstimatedCEC(const TFieldRec& rec) {
  if (!Tables.LoadStateTables(rec.State)) return 0;
  static const char* const kNames[] = {"K", "Mg", "Ca", "Na", "BufferpH", "SoilpH", "TargetpH"};
  std::array<TExprVar, 7> vars;
  ResetVars(vars.data(), kNames, 7);
  SetIf(vars[0], ToPlannerUnits(rec.K, rec.K_Units), rec.K > 0);
  SetIf(vars[1], ToPlannerUnits(rec.Mg, rec.Mg_Units), rec.Mg > 0);
  SetIf(vars[2], ToPlannerUnits(rec.Ca, rec.Ca_Units), rec.Ca > 0);
  SetIf(vars[3], ToPlannerUnits(rec.Na, rec.Na_Units), rec.Na > 0);
  SetIf(vars[4], rec.Buffer_pH, rec.Buffer_pH > 0);
  SetIf(vars[5], rec.Soil_pH, rec.Soil_pH > 0);
  double value = 0;
  if (Tables.Formula(qfCecFormula, 0, vars.data(), 6).Evaluate(vars.data(), value) != exNone) return 0;
  value = std::round(value * 10) / 10;
  return value > 0 && value <= 999 ? value : 0;
}

void TNutrEngine::FillStateVars(const TFieldRec& rec, TExprVar* vars) const {
  const int soil = PredominantSoil(rec);
  const int a1 = rec.Soil_Attr1[soil];
  const int a2 = rec.Soil_Attr2[soil];
  const std::string& state = Tables.StateAbbr();
  if (SameText(state, "AL")) {
    SetIf(vars[rvMiscA], a1, a1 >= 1 && a1 <= 4);
  } else if (SameText(state, "GA")) {
    SetIf(vars[rvMiscA], a1, a1 == 1 || a1 == 2);
  } else if (SameText(state, "IA")) {
    SetIf(vars[rvMiscA], a1, a1 == 1 || a1 == 2);
    SetIf(vars[rvMiscB], a2, a2 == 1 || a2 == 2);
    const float rating = rec.Soil_Rating[soil];
    SetIf(vars[rvMiscD], rating, rating > 0 && rating <= 100 && RatingUnitOfState(rec.State) == 2);
  } else if (SameText(state, "IL")) {
    SetIf(vars[rvMiscA], a1, a1 >= 1 && a1 <= 3);
    SetIf(vars[rvMiscB], a2, a2 == 1 || a2 == 3);
  } else if (SameText(state, "WI")) {
    SetIf(vars[rvMiscA], a1, a1 >= 1 && a1 <= 6);
    SetIf(vars[rvMiscB], a2, a2 >= 1 && a2 <= 4);
  }
}

void TNutrEngine::FillRecVars(int slot, int defRow, const TFieldRec& rec, TExprVar* vars) {
  const TQriFileDb& db = Tables.Db();
  ResetVars(vars, kRecVarNames, kRecVarCount);
  SetIf(vars[rvP], ToPlannerUnits(rec.P, rec.P_Units), rec.P > 0);
  SetIf(vars[rvPTestDef], rec.P_Test, rec.P_Test != 0);
  SetIf(vars[rvK], ToPlannerUnits(rec.K, rec.K_Units), rec.K > 0);
  SetIf(vars[rvSoilpH], rec.Soil_pH, rec.Soil_pH > 0);
  SetIf(vars[rvBufferpH], rec.Buffer_pH, rec.Buffer_pH > 0);
  const double cec = rec.CEC > 0 ? static_cast<double>(rec.CEC) : EstimatedCEC(rec);
  SetIf(vars[rvCEC], cec, cec > 0);
  SetIf(vars[rvOM], rec.OM, rec.OM > 0);
  SetIf(vars[rvMg], ToPlannerUnits(rec.Mg, rec.Mg_Units), rec.Mg > 0);
  SetIf(vars[rvCa], ToPlannerUnits(rec.Ca, rec.Ca_Units), rec.Ca > 0);
  SetIf(vars[rvAl], ToPlannerUnits(rec.Al, rec.Al_Units), rec.Al > 0);
  SetIf(vars[rvNO3N], rec.Nitrate_N, rec.Nitrate_N != 0);
  const double goal = ToYieldUnit(SlotCrop(rec, slot), SlotYieldUsed(rec, slot), db.GetFieldValue(qfYldUnit, defRow));
  SetIf(vars[rvYldGoal], goal, goal > 0);
  SetIf(vars[rvPctLegume], SlotPctLeg(rec, slot), rec.HasFlag(rfPrevPctLeg + slot));
  SetFromCell(vars[rvRecRegion], db, qfRecRegion, Tables.CountyRow(rec));
  const double water = IrrigationWater(rec);
  SetIf(vars[rvIrrWater], water, water != 0);
  const int soil = PredominantSoil(rec);
  SetIf(vars[rvSurfTex], rec.Soil_Texture[soil], rec.Soil_Texture[soil] != 0);
  SetIf(vars[rvDrainage], rec.Soil_Drain[soil], rec.Soil_Drain[soil] != 0);
  const bool secondCrop = slot == csCur && rec.Cov_Crop != 0;
  Set(vars[rvCropSeq], secondCrop ? 2 : 1);
  Set(vars[rvNumCrops], slot == csCov || secondCrop ? 2 : 1);
  const int preceding = PrecedingSlot(slot, rec);
  if (preceding >= 0) {
    // The preceding crop's definition is passed as its row in the loaded tables, not its number.
    const int prevRow = Tables.CropDefinitionRow(preceding, rec);
    SetIf(vars[rvPrvCropDef], prevRow, prevRow >= 0);
    SetIf(vars[rvPrvPctLeg], SlotPctLeg(rec, preceding), rec.HasFlag(rfPrevPctLeg + preceding));
  }
  FillStateVars(rec, vars);
}

TRecResult TNutrEngine::RunChain(const int* columns, int count, int row, TExprVar* vars, int base,
                                 int takenColumn, const TRecResult& taken) {
  TRecResult last;
  std::array<uint64_t, kMaxChain> stepCauses{};
  const uint64_t baseBits = (uint64_t{1} << base) - 1;
  for (int k = 0; k < count; ++k) {
    const int column = columns[k];
    TRecResult step = taken;
    if (column != takenColumn) {
      const TCompiledExpression& formula = Tables.Formula(column, row, vars, base + k - 1);
      step.NullCauses = 0;
      step.Error = formula.Evaluate(vars, step.Value);
      if (step.Error == exNullResult) {
        // Only a null result is traced again, so the ordinary run pays nothing for it.
        uint64_t bits = 0;
        double ignored = 0;
        formula.EvaluateTracingNulls(vars, ignored, bits);
        step.NullCauses = bits & baseBits;
        for (int j = 0; j < k; ++j)
          if (bits >> (base + j) & 1) step.NullCauses |= stepCauses[j];
      }
    }
    if (step.Error != exNone && step.Error != exEmpty && step.Error != exNullResult) return {0, step.Error};
    stepCauses[k] = step.NullCauses;
    TExprVar& var = vars[base + k];
    Name(var, ChainVarName(column));
    var.Value = step.Error == exNone ? step.Value : 0;
    var.IsNull = step.Error != exNone;
    last = step;
  }
  return last;
}

TRecResult TNutrEngine::NutrientRec(int column, int slot, const TFieldRec& rec) {
  if (slot < csPrev || slot > csNext || SlotCrop(rec, slot) == 0) return {0, exNullResult};
  const int defRow = Tables.CropDefinitionRow(slot, rec);
  if (defRow < 0) return {0, 1};
  // The variable lists are kept from call to call with their names (a credit's list is the second).
  std::unique_ptr<TRecVars> local;
  TRecVars* list = &recVars_[0];
  if (recDepth_ < static_cast<int>(recVars_.size())) list = &recVars_[static_cast<size_t>(recDepth_)];
  else list = (local = std::make_unique<TRecVars>()).get();
  const TDepth depth(recDepth_);
  TExprVar* vars = list->data();
  FillRecVars(slot, defRow, rec, vars);

  std::array<int, kMaxChain> chain{};
  int count = 0;
  int first = 0;
  switch (column) {
    case rcN: chain[count++] = qfNCredit; first = qfNVar1; break;
    case rcP2O5: chain[count++] = qfPRemoved; first = qfPVar1; break;
    case rcK2O: chain[count++] = qfKRemoved; first = qfKVar1; break;
    case rcNCredit: chain[count++] = qfNCredit; break;
    default: return {0, 1};
  }
  if (first != 0)
    for (int c = first; c <= column; ++c) chain[count++] = c;

  // The N chain starts with the credit that the preceding crop leaves.
  TRecResult credit{0, exNullResult};
  const int taken = column == rcN ? qfNCredit : 0;
  if (taken != 0 && PrecedingSlot(slot, rec) >= 0) credit = CreditLeft(PrecedingSlot(slot, rec), rec);
  TRecResult result = RunChain(chain.data(), count, defRow, vars, kRecVarCount, taken, credit);
  const unsigned bit = column == rcN ? prN : column == rcP2O5 ? prP2O5 : column == rcK2O ? prK2O : prNCredit;
  result.Provisional = (Tables.ProvisionalRates(defRow) & bit) != 0 || (credit.Error == exNone && credit.Provisional);
  return result;
}

TRecResult TNutrEngine::CreditLeft(int slot, const TFieldRec& rec) {
  TRecResult credit = NutrientRec(rcNCredit, slot, rec);
  if (credit.Error == 1) credit.NullCauses = Bit(rvPrvCropDef);  // no definition applies to the crop
  if (credit.Error == 1 || credit.NullCauses == 0) return credit;
  // The crop's own yield and % legume are the preceding crop's to the next one; what the crop
  // itself follows is not the next crop's concern.
  const uint64_t own = Bit(rvYldGoal) | Bit(rvPctLegume) | Bit(rvPrvCropDef) | Bit(rvPrvPctLeg);
  const uint64_t causes = credit.NullCauses;
  credit.NullCauses = causes & ~own;
  if ((causes & Bit(rvYldGoal)) != 0) credit.NullCauses |= Bit(kPrvYieldCause);
  if ((causes & Bit(rvPctLegume)) != 0) credit.NullCauses |= Bit(rvPrvPctLeg);
  return credit;
}

bool TNutrEngine::DefaultRec(int column, const TFieldRec& rec, double& value, bool* provisional) {
  value = 0;
  if (provisional) *provisional = false;
  if (!Tables.LoadStateTables(rec.State)) return false;
  double sum = 0;
  bool unchecked = false;
  if (rec.Cov_Crop != 0 && CropInfo(rec.Cov_Crop).First && CoverCalcYield(rec) > 0) {
    const TRecResult cover = NutrientRec(column, csCov, rec);
    if (cover.Error != exNone) return false;
    sum += cover.Value;
    unchecked = cover.Provisional;
  }
  const TRecResult current = NutrientRec(column, csCur, rec);
  if (current.Error != exNone) return false;
  sum += current.Value;
  if (sum > 999) return false;
  value = sum;
  if (provisional) *provisional = unchecked || current.Provisional;
  return true;
}

std::string TNutrEngine::RecNeeds(int column, int slot, const TFieldRec& rec) {
  if (!Tables.LoadStateTables(rec.State)) return {};
  const TRecResult r = NutrientRec(column, slot, rec);
  return r.Error != exNone && r.NullCauses != 0 ? RecNeedsText(r.NullCauses, Tables.Db()) : std::string();
}

int TNutrEngine::ManureRow(int code) { return Tables.ManureDefinitionRow(code); }

bool TNutrEngine::ManurePAvailability(const TFieldRec& rec, double& percent) {
  percent = 0;
  if (!Tables.LoadStateTables(rec.State)) return false;
  static const char* const kNames[] = {"P", "PTestDef", "AnnManured"};
  std::array<TExprVar, 3> vars;
  ResetVars(vars.data(), kNames, 3);
  SetIf(vars[0], rec.P_Units == 2 ? static_cast<float>(rec.P) : rec.P / 2, rec.P > 0);
  SetIf(vars[1], rec.P_Test, rec.P_Test != 0);
  SetFlag(vars[2], rec.HasFlag(rfAnnManure));
  return Tables.Formula(qfPctAvailP, 0, vars.data(), 2).Evaluate(vars.data(), percent) == exNone;
}

double TNutrEngine::ManureTons(int row, const TFieldRec& rec) const {
  const TProjectRefs& refs = Tables.Refs();
  const uint16_t code = rec.Man_Input[row];
  const int unit = rec.Man_Units[row] != 0 ? rec.Man_Units[row] : refs.InputAppUnit(code);
  const double rate = rec.Man_Rate[row];
  if (UnitClass(refs.InputAppUnit(code)) == ucVolume) {
    const double perGallon = UnitsPerGallon(unit);
    return perGallon > 0 ? rate / perGallon / 1000 : 0;
  }
  const double perPound = UnitsPerPound(unit);
  return perPound > 0 ? rate / perPound / 2000 : 0;
}

bool TNutrEngine::ManureNitrogen(int row, int defRow, const TFieldRec& rec, double& total, double& nh4) const {
  const TQriFileDb& db = Tables.Db();
  const double defTotal = db.GetFieldNumber(qfManTotalN, defRow);
  const double defNh4 = db.GetFieldNumber(qfManNH4N, defRow);
  total = rec.Man_TotN[row];
  nh4 = rec.Man_NH4N[row];
  if (total == 0 && nh4 == 0) {
    total = defTotal;
    nh4 = defNh4;
  } else if (nh4 == 0) {
    if (defTotal == 0) return false;
    nh4 = defNh4 * total / defTotal;
  } else if (total == 0) {
    if (defNh4 == 0) return false;
    total = defTotal * nh4 / defNh4;
  }
  nh4 = std::min(nh4, total);
  return true;
}

TManureNutrients TNutrEngine::ManureNutrients(int row, const TFieldRec& rec) {
  TManureNutrients result;
  if (row < 1 || row > kManureRows) return result;
  const int i = row - 1;
  const double tons = rec.Man_Input[i] != 0 ? ManureTons(i, rec) : 0;
  if (tons <= 0) return result;

  double pAvail = 100, kAvail = 100;
  int defRow = -1;
  const TQriFileDb& db = Tables.Db();
  if (Tables.LoadStateTables(rec.State)) {
    if (!ManurePAvailability(rec, pAvail) || pAvail < 1 || pAvail > 100) pAvail = 100;
    kAvail = db.GetFieldNumber(qfPctAvailK, 0);
    defRow = ManureRow(rec.Man_Input[i]);
  }
  if (defRow >= 0 && db.GetFieldBoolean(qfUseNModel, 0)) {
    double total = 0, nh4 = 0;
    if (!ManureNitrogen(i, defRow, rec, total, nh4)) return result;
    const double mineral = db.GetFieldNumber(qfManPctMineral, defRow);
    result.N = (nh4 + mineral * (total - nh4) / 100) * tons;
  } else if (defRow >= 0) {
    // The chain takes the row's rate in its own terms (gallons for liquid manure).
    const TRecResult n = ManureNChain(row, defRow, 0, rec);
    if (n.Error == exNone) result.N = n.Value;
  }
  if (rec.Man_P2O5[i] > 0) result.P2O5 = rec.Man_P2O5[i] * tons * pAvail / 100;
  else if (defRow >= 0) result.P2O5 = db.GetFieldNumber(qfManP2O5, defRow) * tons * pAvail / 100;
  if (rec.Man_K2O[i] > 0) result.K2O = rec.Man_K2O[i] * tons * kAvail / 100;
  else if (defRow >= 0) result.K2O = db.GetFieldNumber(qfManK2O, defRow) * tons * kAvail / 100;
  return result;
}

void TNutrEngine::FillManureVars(int i, int defRow, double rate, const TFieldRec& rec, TExprVar* vars) {
  const TQriFileDb& db = Tables.Db();
  ResetVars(vars, kManureVarNames, kManureVarCount);
  Set(vars[mvYear], 1);
  double total = 0, nh4 = 0;
  if (ManureNitrogen(i, defRow, rec, total, nh4)) {
    Set(vars[mvTotalN], total);
    Set(vars[mvNH4N], nh4);
  }
  SetIf(vars[mvPctDM], rec.Man_PctDM[i], rec.Man_PctDM[i] > 0);
  SetFromCell(vars[mvAnimalDef], db, qfManAnimalDef, defRow);
  SetFlag(vars[mvIsPoultry], db.GetFieldBoolean(qfManIsPoultry, defRow));
  SetFlag(vars[mvBedding], ContainsText(db.GetFieldValue(qfManureName, defRow), "with bed"));
  SetFromCell(vars[mvStorageDef], db, qfManStorageDef, defRow);
  SetFlag(vars[mvIsLiquid], db.GetFieldBoolean(qfManIsLiquid, defRow));
  SetFromCell(vars[mvPctMineral], db, qfManPctMineral, defRow);
  const int method = rec.Man_Method[i];
  SetFlag(vars[mvIsInject], method == 1);
  SetFlag(vars[mvIsIrrigate], method == 7);
  SetFlag(vars[mvIsAerial], method == 7);
  const int days = DaysToIncorporation(method);
  SetIf(vars[mvDaysToInc], days, days >= 0);
  int year = 0, month = 4, day = 0;
  const bool dated = rec.Man_Date[i] != 0 && DecodeDay(rec.Man_Date[i], year, month, day);
  Set(vars[mvAppMonth], dated ? month : 4);
  SetFromCell(vars[mvAppRegion], db, qfAppRegion, Tables.CountyRow(rec));
  const double water = IrrigationWater(rec);
  SetIf(vars[mvIrrWater], water, water != 0);
  SetFlag(vars[mvDrained], rec.Drain_Type != 0);
  SetFlag(vars[mvAnnManured], rec.HasFlag(rfAnnManure));
  SetIf(vars[mvOM], rec.OM, rec.OM > 0);
  const int soil = PredominantSoil(rec);
  SetIf(vars[mvSurfTex], rec.Soil_Texture[soil], rec.Soil_Texture[soil] != 0);
  SetIf(vars[mvDrainage], rec.Soil_Drain[soil], rec.Soil_Drain[soil] != 0);
  Set(vars[mvRate], rate);
  Set(vars[mvCovCropGrp], CoverCropGroup(rec));
  Set(vars[mvIsHarvYear], dated && year < rec.Year ? 0 : kTrue);
}

TRecResult TNutrEngine::ManureNChain(int row, int defRow, double rate, const TFieldRec& rec) {
  if (row < 1 || row > kManureRows || defRow < 0 || !Tables.LoadStateTables(rec.State)) return {0, 1};
  const int i = row - 1;
  const bool liquid = Tables.Db().GetFieldBoolean(qfManIsLiquid, defRow);
  if (rate <= 0) {
    const int unit = rec.Man_Units[i] != 0 ? rec.Man_Units[i] : Tables.Refs().InputAppUnit(rec.Man_Input[i]);
    const double per = liquid ? UnitsPerGallon(unit) : UnitsPerPound(unit);
    rate = per > 0 ? rec.Man_Rate[i] / per / (liquid ? 1 : 2000) : 0;
  }
  // A rate that cannot be put in tons or gallons (a liquid manure entered by weight) gives no N.
  if (rate <= 0) return {0, exNullResult};
  std::array<TExprVar, kManureVarCount + kMaxChain> vars;
  FillManureVars(i, defRow, rate, rec, vars.data());
  std::array<int, kMaxChain> chain{};
  for (int k = 0; k < kMaxChain; ++k) chain[k] = qfNAvailVar1 + k;
  TRecResult result = RunChain(chain.data(), kMaxChain, 0, vars.data(), kManureVarCount, 0, {});
  if (result.Error != exNone) return {0, result.Error};
  result.Value = std::nearbyint(rate * result.Value / (liquid ? 1000 : 1));
  return result;
}
