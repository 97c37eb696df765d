// Yields between the planner's yield units ("Lb", "CWT", "Ton", "Bu", "Bale" for cotton) and the
// unit of a crop's price input, by way of pounds.
#pragma once

#include <string>

class TProjectRefs;

// The value in unit `to`: unchanged when both units have the same name (without regard to case),
// otherwise turned into pounds and from pounds into `to`. An unknown unit, a bushel of a crop
// without a bushel weight and a bale of another crop than cotton give 0.
double ConvertYield(double value, const std::string& from, const std::string& to, int crop);
// As ConvertYield, but unchanged when either unit is missing (a crop without a price input, a crop
// definition without a yield unit).
double PlanYield(double value, const std::string& from, const std::string& to, int crop);
// As PlanYield, for a yield read from a plan: rounded to one decimal, and 0 when negative or above
// the yield entry's 9999.
double ImportedYield(double value, const std::string& from, const std::string& to, int crop);
// The crop's own yield unit: the short cost unit of its five-year price input; empty when none.
std::string CropYieldUnit(const TProjectRefs& refs, int crop);
