// Calculations on a record's crops: planting rates in their three forms, the yields used in
// calculations, and the yield computed from harvest data.
#pragma once

#include <cstdint>

#include "store/MdaLayout.h"

// Forms of a planting rate: 0 seeds (or the class's unit), 1 as entered, 2 seed units per acre.
enum : int { prfRate = 0, prfAsEntered = 1, prfSeedUnits = 2 };

// The primary crop's planting rate in the asked form; 0 without primary crop.
float PrimaryPlantingRate(const TFieldRec& rec, int form);
// The cover crop's planting rate: form 2 in seed units, other forms as entered; 0 without cover crop.
float CoverPlantingRate(const TFieldRec& rec, int form);

// Yields used in calculations: the harvested yield when above 0, else the goal.
float PrimaryCalcYield(const TFieldRec& rec);
float CoverCalcYield(const TFieldRec& rec);
// Secondary yield: the harvested one when above 0, else for cotton 1.6 x the primary yield.
float PrimaryCalcYield2(const TFieldRec& rec);

// Harvest data of one crop, as the Harvest page holds it.
struct TYieldInput {
  uint16_t Crop = 0;
  int WeightUnit = 0;
  float UpperLimit = 9999;  // maximum of the yield entry
  int Decimals = 1;
  float StdMoisture = 0;  // 0 = the crop's standard moisture
  float Moisture = 0;
  float Weight = 0;
  float Area = 0;
};

// Computes the main and secondary yields from harvest data. Crops without a rule keep the given
// yields. Each result is rounded to the decimals and becomes 0 unless it is above 0 and at most
// the upper limit.
void ComputeYield(const TYieldInput& in, float& mainYield, float& secondYield);
