// The indirect costs, the income and the cost summary of the cost sheet.
#include <cmath>

#include "common/Format.h"
#include "reference/MdfFile.h"
#include "store/CostCalc.h"
#include "store/CostSheetBuild.h"
#include "store/CropCalc.h"
#include "store/FieldCalc.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"

// Codes of the charges and rates the cost sheet uses.
namespace {
constexpr int kSoilLossCharge = 1001;
constexpr int kInterestRate = 1002;
constexpr int kSecondRentRate = 1007;
}  // namespace

float StandardMoisture(int crop, float recordStandard) {
  return recordStandard > 0 ? recordStandard : CropInfo(crop).StdMoisture;
}

void TCostSheetBuilder::Land() {
  s_.WeightedRating = WeightedRating(rec_);
  if (s_.WeightedRating > 0) {
    const int rateCode = RatingUnitOfState(rec_.State) == 2 ? kSecondRentRate : TMdfFile::RentCode(s_.WeightedRating);
    s_.CalculatedRent = mdf_.InputCost(rateCode) * s_.WeightedRating;
    s_.Land = s_.CalculatedRent;
  } else {
    s_.Land = rec_.Rent_Value;
  }
}

void TCostSheetBuilder::SoilLoss() {
  s_.WeightedT = WeightedTValue(rec_);
  s_.SoilLossTons = rec_.Water_Loss + rec_.Wind_Loss;
  if (s_.SoilLossTons == 0) return;
  s_.SoilLossUnitCost = mdf_.InputCost(kSoilLossCharge);
  if (options_.ChargeAnySoilLoss) {
    s_.SoilLoss = s_.SoilLossTons * s_.SoilLossUnitCost;
  } else if (s_.SoilLossTons > s_.WeightedT) {
    const float aboveT = s_.SoilLossTons - s_.WeightedT;
    s_.SoilLoss = aboveT * s_.SoilLossUnitCost;
  }
}

TCropCharge TCostSheetBuilder::Hauling(int crop, float yield) const {
  TCropCharge charge;
  const int code = TMdfFile::HaulingCode(crop);
  charge.UnitCost = mdf_.InputCost(code);
  if (!(charge.UnitCost > 0)) return charge;
  charge.Present = true;
  charge.CostUnit = mdf_.InputCostUnitName(code, true);
  charge.Charge = charge.UnitCost * yield;
  return charge;
}

TCropCharge TCostSheetBuilder::Drying(int crop, float yield, float moisture, float standard) const {
  TCropCharge charge;
  const int code = TMdfFile::DryingCode(crop);
  charge.UnitCost = mdf_.InputCost(code);
  charge.Moisture = moisture;
  charge.Standard = StandardMoisture(crop, standard);
  if (!(moisture > charge.Standard) || !(charge.UnitCost > 0)) return charge;
  charge.Present = true;
  charge.CostUnit = mdf_.InputCostUnitName(code, true);
  const float perPoint = charge.UnitCost * yield;
  charge.Charge = perPoint * (moisture - charge.Standard);
  return charge;
}

void TCostSheetBuilder::IndirectCosts() {
  Land();
  SoilLoss();
  if (s_.CoverHarvested) {
    s_.CoverHauling = Hauling(rec_.Cov_Crop, s_.CoverYield);
    s_.CoverDrying = Drying(rec_.Cov_Crop, s_.CoverYield, rec_.Cov_Mois, rec_.Cov_StMois);
  }
  if (rec_.Cur_Crop != 0) {
    s_.CurrentHauling = Hauling(rec_.Cur_Crop, s_.YieldUsed);
    s_.CurrentDrying = Drying(rec_.Cur_Crop, s_.YieldUsed, rec_.Cur_Mois, rec_.Cur_StMois);
  }
  s_.Hauling = s_.CoverHauling.Charge + s_.CurrentHauling.Charge;
  s_.Drying = s_.CoverDrying.Charge + s_.CurrentDrying.Charge;
  for (int i = 1; i <= mdf_.CountCropCharges(rec_.Cur_Crop); ++i) {
    TCostLine line = PricedLine(mdf_.CropChargeAt(rec_.Cur_Crop, i), s_.YieldUsed);
    line.Cost = line.UnitCost * s_.YieldUsed;
    s_.CropCharges += line.Cost;
    s_.CropChargeLines.push_back(line);
  }
  // Interest for half a year on the direct costs, always with the applied N-P-K cost.
  float base = s_.Seed + s_.OtherFertilizers;
  for (float part : {s_.Manure, s_.Pesticides, s_.FieldOperations, s_.OtherInputs, s_.Land, s_.NpkTotal})
    base += part;
  s_.InterestBase = base;
  s_.InterestRate = mdf_.InputCost(kInterestRate);
  const float interest = base * s_.InterestRate;
  s_.Interest = interest / 200.0f;

  const float fertilizerUsed = options_.UseRemovalCost ? s_.RemovalCost : s_.NpkTotal;
  float total = s_.Seed + s_.OtherFertilizers;
  for (float part : {s_.Manure, s_.Pesticides, s_.FieldOperations, s_.OtherInputs, s_.Land, fertilizerUsed,
                     s_.SoilLoss, s_.Interest, s_.Hauling, s_.Drying, s_.CropCharges})
    total += part;
  s_.TotalCost = total;
  s_.CostPerUnit = s_.YieldUsed > 0 ? total / s_.YieldUsed : 0;
}

TPriceSet TCostSheetBuilder::PriceSet(bool fiveYear) const {
  TPriceSet p;
  const int crop = rec_.Cur_Crop;
  if (s_.CoverHarvested) {
    p.CoverPrice = mdf_.InputCost(TMdfFile::PriceCode(rec_.Cov_Crop, fiveYear));
    p.CoverIncome = s_.CoverYield * p.CoverPrice;
  }
  p.CropPrice = mdf_.InputCost(TMdfFile::PriceCode(crop, fiveYear));
  p.CropIncome = s_.YieldUsed * p.CropPrice;
  if (HasSecondaryYield(crop)) {
    p.ExtraPrice = mdf_.InputCost(TMdfFile::ExtraPriceCode(crop, fiveYear));
    p.ExtraIncome = s_.ExtraYield * p.ExtraPrice;
  }
  if (rec_.Cur_Mois != 0) {
    const float d = rec_.Cur_Mois - StandardMoisture(crop, rec_.Cur_StMois);
    const float price = p.CropPrice;
    float perUnit = 0;
    if (crop == 6 && d > 0) perUnit = price * d * (d > 3 ? -0.03f : -0.025f);
    else if (crop == crSunflowers && d > 0) perUnit = price * d * -0.02f;
    else if (crop == crSugarBeets) perUnit = price * 0.07f * std::fabs(d) * (d < 0 ? -1.0f : 1.0f);
    p.MoisturePerUnit = static_cast<float>(RoundToDecimals(perUnit, 2));
    p.MoistureAdjustment = s_.YieldUsed * p.MoisturePerUnit;
  }
  p.Total = p.CoverIncome + p.CropIncome;
  p.Total += p.ExtraIncome;
  p.Total += p.MoistureAdjustment;
  return p;
}

float TCostSheetBuilder::Premium(int code, float yield, TCostLine& line) const {
  line = PricedLine(code, yield);
  line.Cost = line.UnitCost * yield;
  return line.Cost;
}

void TCostSheetBuilder::Income() {
  s_.ExtraYield = HasSecondaryYield(rec_.Cur_Crop) ? PrimaryCalcYield2(rec_) : 0;
  s_.Prices[0] = PriceSet(false);
  s_.Prices[1] = PriceSet(true);
  float income = s_.Prices[options_.UseFiveYearPrice ? 1 : 0].Total;
  if (rec_.Cov_Prem != 0 && s_.CoverHarvested) income += Premium(rec_.Cov_Prem, s_.CoverYield, s_.CoverPremium);
  if (rec_.Cur_Prem != 0) income += Premium(rec_.Cur_Prem, s_.YieldUsed, s_.CurrentPremium);
  s_.Income = income;
  s_.Profit = income - s_.TotalCost;
}

TCostSummary SummarizeCosts(const TCostSheet& s) {
  TCostSummary c;
  float* v = c.Values;
  v[TCostSummary::Seed] = s.Seed;
  const float otherAndManure = s.OtherFertilizers + s.Manure;
  v[TCostSummary::AppliedFertilizer] = s.NpkTotal + otherAndManure;
  v[TCostSummary::RemovalFertilizer] = s.RemovalCost + otherAndManure;
  v[TCostSummary::FertilizerUsed] =
      s.Options.UseRemovalCost ? v[TCostSummary::RemovalFertilizer] : v[TCostSummary::AppliedFertilizer];
  v[TCostSummary::Pesticides] = s.Pesticides;
  v[TCostSummary::FieldOperations] = s.FieldOperations;
  v[TCostSummary::OtherInputs] = s.OtherInputs;
  v[TCostSummary::Land] = s.Land;
  v[TCostSummary::SoilLoss] = s.SoilLoss;
  v[TCostSummary::Hauling] = s.Hauling;
  v[TCostSummary::Drying] = s.Drying;
  v[TCostSummary::CropCharges] = s.CropCharges;
  float direct = s.NpkTotal + s.Seed;
  for (float part : {s.OtherFertilizers, s.Manure, s.Pesticides, s.FieldOperations, s.OtherInputs, s.Land})
    direct += part;
  const float interest = s.InterestRate * direct;
  v[TCostSummary::Interest] = interest / 200.0f;
  float indirect = s.Land + s.SoilLoss;
  for (float part : {s.Hauling, s.Drying, s.CropCharges, v[TCostSummary::Interest]}) indirect += part;
  v[TCostSummary::IndirectCosts] = indirect;
  float total = indirect + s.Seed;
  for (float part : {s.OtherFertilizers, s.Manure, s.Pesticides, s.FieldOperations, s.OtherInputs,
                     s.Options.UseRemovalCost ? s.RemovalCost : s.NpkTotal})
    total += part;
  v[TCostSummary::TotalCost] = total;
  v[TCostSummary::CostPerUnit] = s.YieldUsed > 0 ? total / s.YieldUsed : 0;
  v[TCostSummary::Income] = s.Income;
  v[TCostSummary::Profit] = s.Income - total;
  return c;
}

const char* TCostSummary::Name(int i) {
  static const char* const kNames[kCount] = {
      "Seed", "AppliedFertilizer", "RemovalFertilizer", "FertilizerUsed", "Pesticides", "FieldOperations",
      "OtherInputs", "Land", "SoilLossCharge", "Hauling", "Drying", "CropCharges", "Interest", "IndirectCosts",
      "TotalCost", "CostPerYieldUnit", "Income", "Profit"};
  return i >= 0 && i < kCount ? kNames[i] : "";
}
