// The unit vocabulary: 26 units of rates and costs (code 0 = the input's own unit), their names,
// classes and conversion factors, and the unit choice lists by class mask.
#pragma once

#include <string>

constexpr int kUnitCount = 26;

enum : int {
  unDryOunce = 1, unPound, unTon, unWetOunce, unPint, unQuart, unGallon, unBushel, unBag50Lb,
  unBag80K, unInch, unTrip, unYear, unPercent, unPctBushel, unGram, unKilogram, unTonne,
  unMilliliter, unLiter, unImpGallon, unCentimeter, unBag100K, unCwt, unPctCwt, unAcre,
};

// Unit classes (bits of a class mask).
enum : int { ucWeight = 1, ucVolume = 2, ucLength = 4, ucTrips = 8, ucOther = 16 };

bool IsUnitCode(int code);
// Names; empty for a code that is not 1 to 26.
std::string UnitLongName(int code);
std::string UnitMediumName(int code);  // used in lists and exports
std::string UnitShortName(int code);   // up to 3 characters, used in dBASE exports
// Class bit, or 0.
int UnitClass(int code);
// Units in one pound (weight units) or one gallon (volume units); 0 for the others.
float UnitsPerPound(int code);
float UnitsPerGallon(int code);
// How many `from` units make one `to` unit; 1 when the conversion table has no such pair.
float UnitFactor(int from, int to);

// Choice lists: the units whose class bit is in the mask, in code order.
int UnitCountInMask(int classMask);
// 1-based position of the unit in the list of the mask, or 0.
int UnitListPosition(int classMask, int code);
// The unit at a 1-based position, or 0.
int UnitAtListPosition(int classMask, int position);
