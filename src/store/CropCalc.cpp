#include "store/CropCalc.h"

#include <cmath>

#include "common/Format.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

// The yield kept after rounding: above 0 and at most the limit, else 0.
float KeptYield(double value, int decimals, float upperLimit) {
  if (!std::isfinite(value)) return 0;
  const float rounded = static_cast<float>(RoundToDecimals(value, decimals));
  return rounded > 0 && rounded <= upperLimit ? rounded : 0;
}

}  // namespace

float PrimaryPlantingRate(const TFieldRec& rec, int form) {
  if (rec.Cur_Crop == 0) return 0;
  const float stored = rec.Cur_PlRate;
  if (form == prfAsEntered) return stored;
  const TCropInfo& crop = CropInfo(rec.Cur_Crop);
  const bool seedCounted = crop.SeedUnit >= 1000;
  float rate = stored;
  if (seedCounted && stored < 1000) {
    if (rec.Seed_Count > 0) rate = stored * rec.Seed_Count;
    else if (crop.LbPerSeedUnit != 0) rate = stored * crop.SeedUnit / crop.LbPerSeedUnit;
    else rate = 0;
  }
  if (form != prfSeedUnits) return rate;
  if (crop.SeedUnit == 0) return 0;
  if (seedCounted && rec.Seed_Count > 0 && crop.LbPerSeedUnit != 0)
    return rate / (crop.LbPerSeedUnit * rec.Seed_Count);
  return rate / crop.SeedUnit;
}

float CoverPlantingRate(const TFieldRec& rec, int form) {
  if (rec.Cov_Crop == 0) return 0;
  if (form != prfSeedUnits) return rec.Cov_PlRate;
  const int32_t seedUnit = CropInfo(rec.Cov_Crop).SeedUnit;
  return seedUnit == 0 ? 0 : rec.Cov_PlRate / seedUnit;
}

float PrimaryCalcYield(const TFieldRec& rec) { return rec.Cur_Yield > 0 ? rec.Cur_Yield : rec.Cur_Goal; }

float CoverCalcYield(const TFieldRec& rec) { return rec.Cov_Yield > 0 ? rec.Cov_Yield : rec.Cov_Goal; }

float PrimaryCalcYield2(const TFieldRec& rec) {
  if (rec.Cur_Yield2 > 0) return rec.Cur_Yield2;
  return rec.Cur_Crop == crCotton ? 1.6f * PrimaryCalcYield(rec) : 0;
}

void ComputeYield(const TYieldInput& in, float& mainYield, float& secondYield) {
  const TCropInfo& crop = CropInfo(in.Crop);
  const float perPound = UnitsPerPound(in.WeightUnit);
  const double w = perPound > 0 ? in.Weight / static_cast<double>(perPound) : in.Weight;
  const double stdMoisture = in.StdMoisture != 0 ? in.StdMoisture : crop.StdMoisture;
  const bool weighed = in.Area > 0 && in.Weight > 0;
  const bool withMoisture = weighed && in.Moisture > 0;
  double main = mainYield, second = secondYield;
  switch (in.Crop) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 13:
      if (withMoisture)
        main = (100 - in.Moisture) / (100 - stdMoisture) * (w / crop.LbPerBushel) / in.Area;
      break;
    case crSunflowers:
      if (withMoisture) main = w / 100 / in.Area;
      break;
    case crNavyBeans: case crBlackBeans:
      if (withMoisture) {
        const double shrink = in.Moisture > stdMoisture ? (in.Moisture - stdMoisture) * 0.016 : 0;
        const double y = w / 100 / in.Area;
        main = y - y * shrink;
      }
      break;
    case crSugarBeets: case crCornSilage:
      if (weighed) main = w / 2000 / in.Area;
      break;
    case crCotton:
      if (weighed) {
        const double seedCotton = w / in.Area;
        main = seedCotton / 2.6;
        second = seedCotton * 1.6 / 2.6;
      }
      break;
    default: break;
  }
  mainYield = KeptYield(main, in.Decimals, in.UpperLimit);
  secondYield = KeptYield(second, in.Decimals, in.UpperLimit);
}
