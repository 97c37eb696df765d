// Record arithmetic shared by the costs, the subsets and the nutrient page: the soils of a field
// and the pounds of fertilizer product applied. All in 32-bit floats.
#pragma once

#include "store/MdaLayout.h"

// Whether a soil row holds a soil: its symbol or its name is not empty.
bool SoilRowDefined(const TFieldRec& rec, int row);
// Index 0..2 of the defined soil row with the largest share of the field (the first on a tie);
// row 0 when none is defined.
int PredominantSoilRow(const TFieldRec& rec);
// Sums of percent x rating / 100 and percent x T value / 100 over the defined soil rows.
float WeightedRating(const TFieldRec& rec);
float WeightedTValue(const TFieldRec& rec);
// The weighted rating when every defined row has a rating and a percent above 0 and the percents
// add up to exactly 100; else -1.
float CompleteSoilRating(const TFieldRec& rec);

// Whether fertilizer row `row` (0-based) is a weight rate: a weight unit, or no unit and a form
// of at most `lastDryForm`.
bool FertRateByWeight(const TFieldRec& rec, int row, int lastDryForm);
// Pounds per acre of a liquid fertilizer rate: rate / units per gallon (gallons without a unit)
// x the density of its analysis; 0 for a unit that is no volume.
float FertLiquidPounds(const TFieldRec& rec, int row);
// Pounds of product per acre of a fertilizer row, for the nutrient sums: a weight rate / units
// per pound (1 without a unit), else the liquid pounds.
float FertProductPounds(const TFieldRec& rec, int row);
// Commercial fertilizer N applied over the ten rows, lb per acre.
float FertilizerNApplied(const TFieldRec& rec);
