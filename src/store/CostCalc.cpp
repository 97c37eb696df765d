// The direct inputs of the cost sheet: seed, fertilizers, manure, pesticides, operations and
// other inputs. Indirect costs and income are in CostIncome.cpp.
#include "store/CostCalc.h"

#include "common/Format.h"
#include "reference/MdfFile.h"
#include "store/CostSheetBuild.h"
#include "store/CropCalc.h"
#include "store/FieldCalc.h"
#include "store/MdaFile.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

TCostLine TCostSheetBuilder::PricedLine(int code, float rate) const {
  TCostLine line;
  line.Code = code;
  line.Name = mdf_.InputName(code);
  line.Rate = rate;
  line.UnitCost = mdf_.InputCost(code);
  line.CostUnit = mdf_.InputCostUnitName(code, true);
  return line;
}

TCostLine TCostSheetBuilder::InputLine(int code, float rate, int unit) const {
  TCostLine line = PricedLine(code, rate);
  line.RateUnit = mdf_.RateUnitName(code, unit);
  const float amount = line.UnitCost * rate;
  line.Cost = amount / mdf_.AppToCostFactor(code, unit);
  return line;
}

float TCostSheetBuilder::InputRows(const U16* codes, const F32* rates, const uint8_t* units, int rows,
                                   std::vector<TCostLine>& lines) const {
  float total = 0;
  for (int i = 0; i < rows; ++i) {
    if (codes[i] == 0) continue;
    lines.push_back(InputLine(codes[i], rates[i], units[i]));
    total += lines.back().Cost;
  }
  return total;
}

float TCostSheetBuilder::OtherInputs(int group, std::vector<TCostLine>& lines) const {
  float total = 0;
  for (int i = 0; i < kOtherRows; ++i) {
    const int code = rec_.Othr_Input[i];
    if (code == 0 || mdf_.InputKind(code) != group) continue;
    TCostLine line;
    line.Code = code;
    line.Name = rec_.Othr_Desc[i].Empty() ? mdf_.InputName(code) : rec_.Othr_Desc[i].Str();
    line.Rate = rec_.Othr_Rate[i];
    line.RateUnit = mdf_.RateUnitName(code, rec_.Othr_Units[i]);
    line.Cost = rec_.Othr_Cost[i];
    total += line.Cost;
    lines.push_back(line);
  }
  return total;
}

void TCostSheetBuilder::Seed() {
  const float currentSeedUnits = PrimaryPlantingRate(rec_, prfSeedUnits);
  if (rec_.Cov_Crop != 0) {
    s_.HasCoverSeed = true;
    s_.CoverSeed = PricedLine(TMdfFile::SeedCode(rec_.Cov_Crop), rec_.Cov_PlRate);
    s_.CoverSeed.RateUnit = SeedCostUnitName(rec_.Cov_Crop, rec_.Cov_PlRate);
    s_.CoverSeed.Cost = CoverPlantingRate(rec_, prfSeedUnits) * s_.CoverSeed.UnitCost;
    s_.Seed += s_.CoverSeed.Cost;
  }
  const int seedCode = TMdfFile::SeedCode(rec_.Cur_Crop);
  if (rec_.Cur_Crop != 0) {
    s_.HasCurrentSeed = true;
    s_.CurrentSeed = PricedLine(seedCode, PrimaryPlantingRate(rec_, prfRate));
    s_.CurrentSeed.Name = rec_.Hybrid_Var.Str();
    s_.CurrentSeed.RateUnit = SeedCostUnitName(rec_.Cur_Crop, rec_.Cur_PlRate);
    s_.CurrentSeed.Cost = currentSeedUnits * s_.CurrentSeed.UnitCost;
    s_.Seed += s_.CurrentSeed.Cost;
  }
  for (int i = 0; i < kBiotechSlots; ++i) {
    const int trait = rec_.Biotech[i];
    if (trait == 0) continue;
    TCostLine line = PricedLine(trait, 0);
    line.Name = mdf_.TraitName(trait);
    const bool perSeedUnit = mdf_.InputCostUnit(trait) == mdf_.InputCostUnit(seedCode);
    line.Cost = perSeedUnit ? currentSeedUnits * line.UnitCost : line.UnitCost;
    s_.Seed += line.Cost;
    s_.Traits.push_back(line);
  }
  s_.SeedExtras = rec_.Cov_Crop != 0 || !s_.Traits.empty();
}

void TCostSheetBuilder::NpkRow(int i) {
  const int form = rec_.Fert_Form[i];
  const int nCode = TMdfFile::NutrientPriceCode(form, 0);
  TNpkLine line;
  line.N = rec_.Fert_N[i];
  line.P2O5 = rec_.Fert_P2O5[i];
  line.K2O = rec_.Fert_K2O[i];
  line.Rate = rec_.Fert_Rate[i];
  const int unit = rec_.Fert_Units[i];
  float pounds = 0;
  if (FertRateByWeight(rec_, i, 2)) {
    pounds = line.Rate / mdf_.AppToCostFactor(nCode, unit);
    line.RateUnit = mdf_.RateUnitName(nCode, unit);
  } else {
    pounds = FertLiquidPounds(rec_, i);
    line.RateUnit = UnitMediumName(unit != 0 ? unit : unGallon);
  }
  const float nPrice = mdf_.InputCost(nCode);
  float price = line.N * nPrice;
  price += line.P2O5 * mdf_.InputCost(nCode + 1);
  price += line.K2O * mdf_.InputCost(nCode + 2);
  line.PricePerPound = price / 100.0f;
  line.Cost = pounds * line.PricePerPound;
  s_.NpkTotal += line.Cost;
  const float nPounds = pounds * line.N;
  const float nValue = nPounds * nPrice;
  s_.AppliedN += nValue / 100.0f;
  s_.Npk.push_back(line);
}

void TCostSheetBuilder::Fertilizers() {
  for (int i = 0; i < kFertRows; ++i) {
    const bool analysis = rec_.Fert_N[i] > 0 || rec_.Fert_P2O5[i] > 0 || rec_.Fert_K2O[i] > 0;
    if (analysis && rec_.Fert_Form[i] >= 1 && rec_.Fert_Form[i] <= 5) NpkRow(i);
  }
  const int crop = rec_.Cur_Crop;
  s_.NRemoval = mdf_.NRemovalValue(crop) * s_.YieldUsed;
  const float pk = mdf_.PRemovalValue(crop) + mdf_.KRemovalValue(crop);
  s_.PKRemoval = pk * s_.YieldUsed;
  if (s_.CoverHarvested) {
    const int cover = rec_.Cov_Crop;
    s_.NRemoval += mdf_.NRemovalValue(cover) * s_.CoverYield;
    const float coverPk = mdf_.PRemovalValue(cover) + mdf_.KRemovalValue(cover);
    s_.PKRemoval += coverPk * s_.CoverYield;
  }
  const float nPart = s_.AppliedN > s_.NRemoval ? s_.AppliedN : s_.NRemoval;
  s_.RemovalCost = nPart + s_.PKRemoval;

  s_.OtherFertilizers = InputRows(rec_.OFert_Input, rec_.OFert_Rate, rec_.OFert_Units, kOFertRows, s_.OtherFertRows);
  s_.OtherFertilizers += OtherInputs(3, s_.OtherFertInputs);
  s_.Manure = InputRows(rec_.Man_Input, rec_.Man_Rate, rec_.Man_Units, kManureRows, s_.ManureRows);
}

void TCostSheetBuilder::Pesticides() {
  s_.Pesticides = InputRows(rec_.Herb_Input, rec_.Herb_Rate, rec_.Herb_Units, kHerbRows, s_.HerbRows);
  s_.Pesticides += OtherInputs(4, s_.HerbInputs);
  s_.Pesticides += InputRows(rec_.Ins_Input, rec_.Ins_Rate, rec_.Ins_Units, kInsRows, s_.InsRows);
  s_.Pesticides += OtherInputs(5, s_.InsInputs);
}

void TCostSheetBuilder::FieldOperations() {
  for (int i = 0; i < kOperRows; ++i) {
    const int code = rec_.Oper_Input[i];
    if (code == 0) continue;
    TCostLine line = PricedLine(code, rec_.Oper_Trips[i]);
    line.RateUnit = line.CostUnit;
    line.Cost = line.UnitCost * line.Rate;
    s_.FieldOperations += line.Cost;
    s_.Operations.push_back(line);
  }
  s_.FieldOperations += OtherInputs(6, s_.OperationInputs);
  s_.OtherInputs = OtherInputs(0, s_.OtherInputRows);
}

TCostSummary TMdaFile::CostSummary(const TFieldRec& rec, bool useRemovalCost, bool chargeAnySoilLoss,
                                   bool useFiveYearPrice) const {
  const TMdfFile* mdf = refs_ ? refs_->DefinitionFile() : nullptr;
  if (!mdf) return {};
  return SummarizeCosts(ComputeCosts(rec, *mdf, {useRemovalCost, chargeAnySoilLoss, useFiveYearPrice}));
}

TCostSheet ComputeCosts(const TFieldRec& rec, const TMdfFile& mdf, const TCostOptions& options) {
  TCostSheetBuilder builder(rec, mdf, options);
  return builder.Build();
}

TCostSheet TCostSheetBuilder::Build() {
  s_.Options = options_;
  s_.YieldUsed = PrimaryCalcYield(rec_);
  s_.CoverYield = CoverCalcYield(rec_);
  s_.CoverHarvested = CropInfo(rec_.Cov_Crop).First && s_.CoverYield > 0;
  Seed();
  Fertilizers();
  Pesticides();
  FieldOperations();
  IndirectCosts();
  Income();
  return s_;
}
