#include "vocab/UnitVocab.h"

#include <array>

namespace {

struct TUnitInfo {
  const char* Long;
  const char* Medium;
  const char* Short;
  int Class;
  float PerBase;  // units per pound (weight) or per gallon (volume)
};

constexpr TUnitInfo kUnits[kUnitCount + 1] = {
    {"", "", "", 0, 0},
    {"DryOunce", "Ounce", "Oz", ucWeight, 16},
    {"Pound", "Pound", "Lb", ucWeight, 1},
    {"Ton", "Ton", "Ton", ucWeight, 0.0005f},
    {"WetOunce", "Ounce", "Oz", ucVolume, 128},
    {"Pint", "Pint", "Pt", ucVolume, 8},
    {"Quart", "Quart", "Qt", ucVolume, 4},
    {"Gallon", "Gallon", "Gal", ucVolume, 1},
    {"Bushel", "Bushel", "Bu", ucOther, 0},
    {"50Lb Bag", "50Lb Bag", "Bag", ucOther, 0},
    {"80K Bag", "80K Bag", "Bag", ucOther, 0},
    {"Inch", "Inch", "In", ucLength, 0},
    {"Trip", "Trip", "Trp", ucTrips, 0},
    {"Year", "Year", "Yr", ucOther, 0},
    {"Percent", "Percent", "%", ucOther, 0},
    {"%/Bushel", "%/Bushel", "%/", ucOther, 0},
    {"Gram", "Gram", "Gm", ucWeight, 453.597f},
    {"Kilogram", "Kg", "Kg", ucWeight, 0.453597f},
    {"Tonne", "Tonne", "MT", ucWeight, 0.000453597f},
    {"Milliliter", "Ml", "Ml", ucVolume, 3785.3f},
    {"Liter", "Liter", "L", ucVolume, 3.7853f},
    {"Imp Gallon", "ImpGal", "IGa", ucVolume, 0.83264f},
    {"Centimeter", "Cm", "Cm", ucLength, 0},
    {"100K Bag", "100K Bag", "Bag", ucOther, 0},
    {"Cwt", "Cwt", "Cwt", ucWeight, 0.01f},
    {"%/Cwt", "%/Cwt", "%/", ucOther, 0},
    {"Acre", "Acre", "A", ucOther, 0},
};

// A unit's size in the base unit of its class, from the stated factors: 16 ounces per pound,
// 2000 pounds per ton, 453.597 grams per pound, 2.2046 pounds per kilogram, 2204.6 pounds per
// tonne, 100 pounds per hundredweight; 16 ounces per pint, 2 pints per quart, 4 quarts per gallon,
// 3785.3 milliliters and 3.7853 liters per gallon, 1.201 gallons per imperial gallon.
double SizeInBase(int code) {
  switch (code) {
    case unDryOunce: return 1.0 / 16;
    case unPound: return 1;
    case unTon: return 2000;
    case unGram: return 1 / 453.597;
    case unKilogram: return 2.2046;
    case unTonne: return 2204.6;
    case unCwt: return 100;
    case unWetOunce: return 1.0 / 128;
    case unPint: return 1.0 / 8;
    case unQuart: return 1.0 / 4;
    case unGallon: return 1;
    case unMilliliter: return 1 / 3785.3;
    case unLiter: return 1 / 3.7853;
    case unImpGallon: return 1.201;
    default: return 0;
  }
}

// Factors stated directly rather than through the base unit.
double StatedFactor(int from, int to) {
  if (from == unLiter && to == unImpGallon) return 4.546;
  if (from == unImpGallon && to == unLiter) return 1 / 4.546;
  if (from == unInch && to == unCentimeter) return 0.3937;
  if (from == unCentimeter && to == unInch) return 2.54;
  return 0;
}

struct TFactorPair {
  int To = 0;
  float Factor = 1;
};
using TFactorRow = std::array<TFactorPair, 7>;

// Row of each unit: up to 7 (target, how many of this unit make one target) pairs.
std::array<TFactorRow, kUnitCount + 1> BuildFactorTable() {
  std::array<TFactorRow, kUnitCount + 1> table{};
  for (int from = 1; from <= kUnitCount; ++from) {
    size_t n = 0;
    for (int to = 1; to <= kUnitCount && n < 7; ++to) {
      double factor = StatedFactor(from, to);
      const bool convertible = kUnits[from].Class == kUnits[to].Class && SizeInBase(from) > 0 &&
                               SizeInBase(to) > 0;
      if (factor == 0 && convertible) factor = SizeInBase(to) / SizeInBase(from);
      if (factor != 0) table[from][n++] = {to, static_cast<float>(factor)};
    }
  }
  return table;
}

bool InMask(int code, int classMask) { return (kUnits[code].Class & classMask) != 0; }

}  // namespace

bool IsUnitCode(int code) { return code >= 1 && code <= kUnitCount; }

std::string UnitLongName(int code) { return IsUnitCode(code) ? kUnits[code].Long : ""; }
std::string UnitMediumName(int code) { return IsUnitCode(code) ? kUnits[code].Medium : ""; }
std::string UnitShortName(int code) { return IsUnitCode(code) ? kUnits[code].Short : ""; }
int UnitClass(int code) { return IsUnitCode(code) ? kUnits[code].Class : 0; }

float UnitsPerPound(int code) { return UnitClass(code) == ucWeight ? kUnits[code].PerBase : 0; }
float UnitsPerGallon(int code) { return UnitClass(code) == ucVolume ? kUnits[code].PerBase : 0; }

float UnitFactor(int from, int to) {
  static const std::array<TFactorRow, kUnitCount + 1> table = BuildFactorTable();
  if (!IsUnitCode(from)) return 1;
  for (const TFactorPair& pair : table[from])
    if (pair.To == to) return pair.Factor;
  return 1;
}

int UnitCountInMask(int classMask) {
  int n = 0;
  for (int code = 1; code <= kUnitCount; ++code) n += InMask(code, classMask) ? 1 : 0;
  return n;
}

int UnitListPosition(int classMask, int code) {
  if (!IsUnitCode(code) || !InMask(code, classMask)) return 0;
  int position = 0;
  for (int c = 1; c <= code; ++c) position += InMask(c, classMask) ? 1 : 0;
  return position;
}

int UnitAtListPosition(int classMask, int position) {
  if (position < 1) return 0;
  for (int code = 1; code <= kUnitCount; ++code)
    if (InMask(code, classMask) && --position == 0) return code;
  return 0;
}
