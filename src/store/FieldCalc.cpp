#include "store/FieldCalc.h"

#include <cmath>

#include "common/Density.h"
#include "vocab/UnitVocab.h"

bool SoilRowDefined(const TFieldRec& rec, int row) {
  return !rec.Soil_Sym[row].Empty() || !rec.Soil_Name[row].Empty();
}

int PredominantSoilRow(const TFieldRec& rec) {
  int best = -1;
  for (int i = 0; i < kSoilRows; ++i)
    if (SoilRowDefined(rec, i) && (best < 0 || rec.Soil_FldPct[i] > rec.Soil_FldPct[best])) best = i;
  return best < 0 ? 0 : best;
}

namespace {

float WeightedSum(const TFieldRec& rec, const F32 (&values)[kSoilRows]) {
  float sum = 0;
  for (int i = 0; i < kSoilRows; ++i) {
    if (!SoilRowDefined(rec, i)) continue;
    const float part = static_cast<float>(rec.Soil_FldPct[i]) * values[i];
    sum += part / 100.0f;
  }
  return sum;
}

}  // namespace

float WeightedRating(const TFieldRec& rec) { return WeightedSum(rec, rec.Soil_Rating); }

float WeightedTValue(const TFieldRec& rec) { return WeightedSum(rec, rec.Soil_TValue); }

float CompleteSoilRating(const TFieldRec& rec) {
  int percents = 0;
  float sum = 0;
  for (int i = 0; i < kSoilRows; ++i) {
    if (!SoilRowDefined(rec, i)) continue;
    const float rating = rec.Soil_Rating[i];
    if (!(rating > 0) || rec.Soil_FldPct[i] == 0) return -1;
    percents += rec.Soil_FldPct[i];
    const float part = rating * static_cast<float>(rec.Soil_FldPct[i]);
    sum += part / 100.0f;
  }
  return percents == 100 ? sum : -1;
}

bool FertRateByWeight(const TFieldRec& rec, int row, int lastDryForm) {
  const int unit = rec.Fert_Units[row];
  if (unit != 0) return UnitClass(unit) == ucWeight;
  return rec.Fert_Form[row] <= lastDryForm;
}

float FertLiquidPounds(const TFieldRec& rec, int row) {
  int unit = rec.Fert_Units[row];
  if (unit == 0) unit = unGallon;
  const float perGallon = UnitsPerGallon(unit);
  if (!(perGallon > 0)) return 0;
  const float density = static_cast<float>(LiquidDensity(std::nearbyint(rec.Fert_N[row].Get()),
                                                         std::nearbyint(rec.Fert_P2O5[row].Get()),
                                                         std::nearbyint(rec.Fert_K2O[row].Get())));
  const float gallons = rec.Fert_Rate[row] / perGallon;
  return gallons * density;
}

float FertProductPounds(const TFieldRec& rec, int row) {
  if (!FertRateByWeight(rec, row, 2)) return FertLiquidPounds(rec, row);
  const int unit = rec.Fert_Units[row];
  return unit == 0 ? rec.Fert_Rate[row].Get() : rec.Fert_Rate[row] / UnitsPerPound(unit);
}

float FertilizerNApplied(const TFieldRec& rec) {
  float sum = 0;
  for (int i = 0; i < kFertRows; ++i) {
    if (!(rec.Fert_N[i] > 0) || !(rec.Fert_Rate[i] > 0)) continue;
    const float pounds = FertProductPounds(rec, i);
    const float n = pounds * rec.Fert_N[i];
    sum += n / 100.0f;
  }
  return sum;
}
