#include <gtest/gtest.h>

#include "store/CropCalc.h"
#include "vocab/CropVocab.h"
#include "vocab/UnitVocab.h"

namespace {

TYieldInput Harvest(uint16_t crop, float weight, float area, float moisture) {
  TYieldInput in;
  in.Crop = crop;
  in.WeightUnit = unPound;
  in.Weight = weight;
  in.Area = area;
  in.Moisture = moisture;
  return in;
}

TFieldRec Record() { return NewRecordTemplate(1, 2025, 15); }

}  // namespace

TEST(ComputeYield, CornIsCorrectedToStandardMoisture) {
  float main = 0, second = 0;
  ComputeYield(Harvest(crCorn, 56000, 10, 20), main, second);
  EXPECT_FLOAT_EQ(main, 94.1f);  // 80/85 x 1000 bu / 10 A
  EXPECT_EQ(second, 0);
  // A standard moisture given by the user replaces the crop's.
  TYieldInput in = Harvest(crCorn, 56000, 10, 20);
  in.StdMoisture = 20;
  ComputeYield(in, main, second);
  EXPECT_FLOAT_EQ(main, 100);
}

TEST(ComputeYield, WeightUnitsAreTurnedIntoPounds) {
  TYieldInput in = Harvest(crCorn, 28, 10, 15);
  in.WeightUnit = unTon;  // 56 000 lb
  float main = 0, second = 0;
  ComputeYield(in, main, second);
  EXPECT_FLOAT_EQ(main, 100);
  in.WeightUnit = unKilogram;  // 28 kg = 61.73 lb
  ComputeYield(in, main, second);
  EXPECT_FLOAT_EQ(main, 0.1f);
  in.WeightUnit = unBushel;  // not a weight: taken as pounds
  in.Weight = 2800;
  ComputeYield(in, main, second);
  EXPECT_FLOAT_EQ(main, 5);
}

TEST(ComputeYield, NavyBeansShrinkOnlyAboveStandardMoisture) {
  float main = 0, second = 0;
  ComputeYield(Harvest(crNavyBeans, 20000, 10, 16), main, second);
  EXPECT_FLOAT_EQ(main, 20);  // below the standard 18 %: no shrink
  ComputeYield(Harvest(crNavyBeans, 20000, 10, 20), main, second);
  EXPECT_FLOAT_EQ(main, 19.4f);  // 20 - 20 x 2 x 0.016 = 19.36
}

TEST(ComputeYield, CottonGivesLintAndSeed) {
  float main = 0, second = 0;
  ComputeYield(Harvest(crCotton, 5200, 2, 0), main, second);
  EXPECT_FLOAT_EQ(main, 1000);
  EXPECT_FLOAT_EQ(second, 1600);
}

TEST(ComputeYield, TonsSunflowersAndKeptValues) {
  float main = 0, second = 0;
  ComputeYield(Harvest(crSugarBeets, 100000, 2, 0), main, second);
  EXPECT_FLOAT_EQ(main, 25);
  ComputeYield(Harvest(crSunflowers, 30000, 10, 9), main, second);
  EXPECT_FLOAT_EQ(main, 30);
  // Without moisture a grain crop keeps the values it had; so does a crop without a rule.
  main = 88.04f, second = 0;
  ComputeYield(Harvest(crCorn, 56000, 10, 0), main, second);
  EXPECT_FLOAT_EQ(main, 88.0f);
  main = 4.5f;
  ComputeYield(Harvest(18, 9000, 2, 0), main, second);
  EXPECT_FLOAT_EQ(main, 4.5f);
}

TEST(ComputeYield, ResultsAboveTheLimitOrNotPositiveBecomeZero) {
  float main = 0, second = 0;
  ComputeYield(Harvest(crCorn, 56000000, 1, 15), main, second);  // 1 000 000 bu/A
  EXPECT_EQ(main, 0);
  TYieldInput in = Harvest(crCotton, 5200, 2, 0);
  in.UpperLimit = 1200;
  ComputeYield(in, main, second);
  EXPECT_FLOAT_EQ(main, 1000);
  EXPECT_EQ(second, 0);
  in = Harvest(crCorn, 56000, 10, 20);
  in.StdMoisture = 100;  // a division by zero must not come out as a yield
  ComputeYield(in, main, second);
  EXPECT_EQ(main, 0);
  in = Harvest(crCorn, 100, 10, 15);
  in.Decimals = 0;
  ComputeYield(in, main, second);  // 0.18 rounds to 0
  EXPECT_EQ(main, 0);
}

TEST(PlantingRates, SeedCountedCropsTurnPoundsIntoSeeds) {
  TFieldRec rec = Record();
  EXPECT_EQ(PrimaryPlantingRate(rec, prfRate), 0);
  rec.Cur_Crop = crSoybeans;
  rec.Cur_PlRate = 60;  // pounds
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfAsEntered), 60);
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfRate), 60 * 135000.0f / 50);
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfSeedUnits), 1.2f);
  rec.Seed_Count = 2800;
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfRate), 168000);
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfSeedUnits), 1.2f);  // 168000 / (50 x 2800)
  rec.Cur_PlRate = 140000;  // seeds
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfRate), 140000);
  // Corn has no pounds per seed unit: pounds without seed count give no seeds.
  rec.Cur_Crop = crCorn;
  rec.Seed_Count = 0;
  rec.Cur_PlRate = 20;
  EXPECT_EQ(PrimaryPlantingRate(rec, prfRate), 0);
  rec.Cur_PlRate = 32000;
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfSeedUnits), 0.4f);
  // Wheat in bushels; "Other" has no seed unit.
  rec.Cur_Crop = 3;
  rec.Cur_PlRate = 2;
  EXPECT_FLOAT_EQ(PrimaryPlantingRate(rec, prfSeedUnits), 2);
  rec.Cur_Crop = crOther;
  EXPECT_EQ(PrimaryPlantingRate(rec, prfSeedUnits), 0);
}

TEST(PlantingRates, CoverRateAndCalculationYields) {
  TFieldRec rec = Record();
  rec.Cov_PlRate = 100;
  EXPECT_EQ(CoverPlantingRate(rec, prfRate), 0);
  rec.Cov_Crop = 15;  // clover, 50-lb seed unit
  EXPECT_FLOAT_EQ(CoverPlantingRate(rec, prfRate), 100);
  EXPECT_FLOAT_EQ(CoverPlantingRate(rec, prfSeedUnits), 2);
  rec.Cur_Crop = crCotton;
  rec.Cur_Goal = 900;
  EXPECT_FLOAT_EQ(PrimaryCalcYield(rec), 900);
  EXPECT_FLOAT_EQ(PrimaryCalcYield2(rec), 1440);
  rec.Cur_Yield = 1000;
  rec.Cur_Yield2 = 1500;
  EXPECT_FLOAT_EQ(PrimaryCalcYield(rec), 1000);
  EXPECT_FLOAT_EQ(PrimaryCalcYield2(rec), 1500);
  rec.Cur_Crop = crCorn;
  rec.Cur_Yield2 = 0;
  EXPECT_EQ(PrimaryCalcYield2(rec), 0);
  rec.Cov_Goal = 40;
  EXPECT_FLOAT_EQ(CoverCalcYield(rec), 40);
  rec.Cov_Yield = 55;
  EXPECT_FLOAT_EQ(CoverCalcYield(rec), 55);
}
