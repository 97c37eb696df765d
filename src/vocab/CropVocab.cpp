#include "vocab/CropVocab.h"

#include "common/TextUtil.h"

namespace {

constexpr TCropInfo kCrops[kCropCount] = {
    // code letter name P C F H class seedUnit lb/unit moist lb/bu N P2O5 K2O legume
    {1, 'C', "Corn", 1, 0, 0, 1, 999999, 80000, 0, 15, 56, 1.2f, 0.44f, 0.29f, 0},
    {19, 'G', "Corn silage", 1, 0, 0, 1, 999999, 80000, 0, 0, 0, 7.2f, 3.3f, 8.0f, 0},
    {2, 'B', "Soybeans", 1, 0, 0, 1, 999999, 135000, 50, 13, 60, 0, 0.8f, 1.4f, 1},
    {3, 'W', "Wheat", 1, 1, 1, 1, 10, 1, 0, 16, 60, 1.88f, 0.55f, 0.34f, 0},
    {4, 'O', "Oats", 1, 1, 1, 1, 10, 1, 0, 15, 32, 1.3f, 0.25f, 0.2f, 0},
    {5, 'Y', "Barley", 1, 0, 0, 1, 10, 1, 0, 14, 48, 1.5f, 0.4f, 0.35f, 0},
    {13, 'R', "Rye", 0, 1, 1, 0, 10, 1, 0, 14, 56, 1.0f, 0.5f, 0.35f, 0},
    {6, 'M', "Sorghum", 1, 0, 0, 1, 100, 50, 0, 14, 56, 1.66f, 0.42f, 0.21f, 0},
    {7, 'F', "Sunflowers", 1, 0, 0, 1, 999999, 100000, 0, 10, 25, 5.0f, 1.7f, 1.1f, 0},
    {8, 'V', "Navy beans", 1, 0, 0, 1, 100, 100, 0, 18, 0, 0, 1.2f, 1.6f, 1},
    {9, 'K', "Black beans", 1, 0, 0, 1, 100, 100, 0, 18, 0, 0, 1.2f, 1.6f, 1},
    {10, 'U', "Sugar beets", 1, 0, 0, 1, 100, 1, 0, 18, 0, 4.0f, 1.3f, 3.3f, 0},
    {12, 'T', "Cotton", 1, 0, 0, 1, 100, 50, 0, 0, 0, 0.16f, 0.028f, 0.04f, 0},
    {18, 'A', "Alfalfa", 1, 0, 0, 1, 100, 50, 0, 0, 0, 0, 0, 0, 1},
    {15, 'L', "Clover", 1, 1, 0, 1, 100, 50, 0, 0, 0, 0, 0, 0, 1},
    {16, 'H', "Grass-legume", 1, 0, 0, 1, 100, 50, 0, 0, 0, 0, 0, 0, 1},
    {17, 'S', "Grass", 1, 0, 0, 1, 100, 50, 0, 0, 0, 0, 0, 0, 0},
    {101, 'Z', "CRP", 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {103, 'Q', "Fallow", 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {14, 'E', "Vetch", 0, 1, 0, 0, 100, 50, 0, 0, 0, 0, 0, 0, 1},
    {31, 'X', "Other", 1, 1, 1, 0, 999999, 0, 0, 0, 0, 0, 0, 0, 0},
    {102, 'X', "Other", 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

constexpr TCropInfo kNoCrop = {0, 0, "", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

int IndexOf(int code) {
  for (int i = 0; i < kCropCount; ++i)
    if (kCrops[i].Code == code) return i;
  return -1;
}

bool InList(const TCropInfo& crop, TCropList list) {
  switch (list) {
    case clPrimary: return crop.Primary;
    case clCoverFirst: return crop.Cover;
    case clPrevNext: return crop.History;
  }
  return false;
}

std::string PriceWords(int priceChoice) {
  return priceChoice == pcFiveYearPrice ? "5-year price" : "current price";
}

}  // namespace

const TCropInfo& CropAtIndex(int index) {
  return index >= 0 && index < kCropCount ? kCrops[index] : kNoCrop;
}

const TCropInfo& CropInfo(int code) { return CropAtIndex(IndexOf(code)); }

bool IsKnownCrop(int code) { return IndexOf(code) >= 0; }

bool IsCurrentCrop(int code) {
  const TCropInfo& c = CropInfo(code);
  return c.Primary || c.Cover || c.First;
}

bool IsSeedCounted(int code) { return CropInfo(code).SeedUnit >= 1000; }

std::string CropName(int code) { return CropInfo(code).Name; }

char CropLetter(int code) { return CropInfo(code).Letter; }

int CropByLetter(char letter) {
  for (const TCropInfo& c : kCrops)
    if (UpCaseChar(letter) == c.Letter) return c.Code;
  return 0;
}

uint32_t CropBit(int code) { return code >= 1 && code <= 32 ? 1u << (code - 1) : 0; }

int CropListCount(TCropList list) {
  int n = 0;
  for (const TCropInfo& c : kCrops) n += InList(c, list) ? 1 : 0;
  return n;
}

int CropListPosition(TCropList list, int code) {
  int position = 0;
  for (const TCropInfo& c : kCrops) {
    if (!InList(c, list)) continue;
    ++position;
    if (c.Code == code) return position;
  }
  return 0;
}

int CropAtListPosition(TCropList list, int position) {
  if (position < 1) return 0;
  for (const TCropInfo& c : kCrops)
    if (InList(c, list) && --position == 0) return c.Code;
  return 0;
}

int CropAtDisplayPosition(int position) {
  if (position < 1 || position > kDisplayCropCount) return 0;
  for (const TCropInfo& c : kCrops)
    if ((c.Primary || c.Cover || c.First) && --position == 0) return c.Code;
  return 0;
}

uint32_t DisplayCropsMask() {
  uint32_t mask = 0;
  for (int i = 1; i <= kDisplayCropCount; ++i) mask |= CropBit(CropAtDisplayPosition(i));
  return mask;
}

std::string CropMaskText(uint32_t mask) {
  std::string text;
  for (int i = 1; i <= kDisplayCropCount; ++i) {
    const int crop = CropAtDisplayPosition(i);
    text += (mask & CropBit(crop)) ? CropLetter(crop) : ' ';
  }
  return text;
}

std::string CropMaskLetters(uint32_t mask) {
  std::string text = CropMaskText(mask);
  std::erase(text, ' ');
  return text;
}

std::string YieldWord(int crop) { return crop == crCotton ? "lint" : "harvest"; }

std::string SecondaryYieldWord(int crop) { return crop == crCotton ? "seed" : ""; }

std::string MoistureWord(int crop) { return crop == crSugarBeets ? "sugar" : "moisture"; }

bool HasHarvestMoisture(int crop) {
  switch (crop) {
    case 12: case 15: case 16: case 17: case 18: case 19: case 31: return false;
    default: return true;
  }
}

bool HasSecondaryYield(int crop) { return crop == crCotton; }

std::string PlantingRateUnit(int crop) {
  switch (CropInfo(crop).PlantingClass) {
    case pcSeedsOrPounds: return "Seeds/A or Lb/A";
    case pcPounds: return "Lb/A";
    case pcBushels: return "Bu/A";
    default: return {};
  }
}

std::string PlantingRateShort(int crop, float rate) {
  switch (CropInfo(crop).PlantingClass) {
    case pcSeedsOrPounds: return rate >= 1000 ? "Sd" : "Lb";
    case pcPounds: return "Lb";
    case pcBushels: return "Bu";
    default: return {};
  }
}

std::string SeedCostUnitName(int crop, float rate) {
  if (crop == crOther) return rate >= 1000 ? "Seeds" : "Pound";
  switch (CropInfo(crop).PlantingClass) {
    case pcSeedsOrPounds: return "Seeds";
    case pcPounds: return "Pound";
    case pcBushels: return "Bushel";
    default: return {};
  }
}

std::string MainPriceLabel(int crop, int priceChoice) {
  return (crop == crCotton ? "lint @ " : "@ ") + PriceWords(priceChoice);
}

std::string SecondaryPriceLabel(int crop, int priceChoice) {
  return crop == crCotton ? "seed @ " + PriceWords(priceChoice) : std::string();
}

std::string MoistureLabel(int crop, int priceChoice, bool premium) {
  return CapitalizeFirst(MoistureWord(crop)) + (premium ? " premium" : " deduction") + " @ " +
         PriceWords(priceChoice);
}

double YieldInPounds(double value, const std::string& unit, int crop) {
  if (SameText(unit, "CWT")) return value * 100;
  if (SameText(unit, "Ton")) return value * 2000;
  if (SameText(unit, "Bu")) return value * CropInfo(crop).LbPerBushel;
  if (SameText(unit, "Lb")) return value;
  if (SameText(unit, "Bale") && crop == crCotton) return value * kLbPerBale;
  return 0;
}

double YieldFromPounds(double pounds, const std::string& unit, int crop, bool bales) {
  if (SameText(unit, "CWT")) return pounds / 100;
  if (SameText(unit, "Ton")) return pounds / 2000;
  if (SameText(unit, "Bu")) {
    const double lbPerBushel = CropInfo(crop).LbPerBushel;
    return lbPerBushel > 0 ? pounds / lbPerBushel : 0;
  }
  if (SameText(unit, "Lb")) return pounds;
  if (bales && SameText(unit, "Bale") && crop == crCotton) return pounds / kLbPerBale;
  return 0;
}
