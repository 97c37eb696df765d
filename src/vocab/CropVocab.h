// The crop vocabulary: the 22 crops with their agronomic constants, the three crop lists, the
// crop-dependent words of messages and labels, and the price labels of the worksheets.
#pragma once

#include <cstdint>
#include <string>

constexpr int kCropCount = 22;

// Planting classes: the unit a planting rate is entered in.
enum : int32_t { pcNone = 0, pcBushels = 10, pcPounds = 100, pcSeedsOrPounds = 999999 };

// Crop codes the program treats specially.
enum : uint16_t {
  crCorn = 1,
  crSoybeans = 2,
  crSunflowers = 7,
  crNavyBeans = 8,
  crBlackBeans = 9,
  crSugarBeets = 10,
  crCotton = 12,
  crCornSilage = 19,
  crOther = 31,
  crOtherHistory = 102,
};

struct TCropInfo {
  uint16_t Code;
  char Letter;
  const char* Name;
  bool Primary;  // allowed as primary crop
  bool Cover;    // allowed in the cover/first crop slot
  bool First;    // harvested when it is the first crop of a double crop
  bool History;  // allowed as previous or next crop
  int32_t PlantingClass;
  int32_t SeedUnit;      // seeds, pounds or bushels in one purchase unit of seed
  float LbPerSeedUnit;   // pounds in one seed unit, to turn pounds into seeds
  float StdMoisture;     // %
  float LbPerBushel;
  float RemovalN;        // lb per unit of yield
  float RemovalP2O5;
  float RemovalK2O;
  bool Legume;           // N removal is not counted
};

// The three crop lists: primary (P), cover or first (C), previous and next (H).
enum TCropList { clPrimary, clCoverFirst, clPrevNext };

// Row `index` (0 .. kCropCount - 1) of the table, in the order every crop list shows.
const TCropInfo& CropAtIndex(int index);
// The crop's row; for an unknown code a row of zeros with an empty name.
const TCropInfo& CropInfo(int code);
bool IsKnownCrop(int code);
// Allowed as primary, cover or first crop.
bool IsCurrentCrop(int code);
// Counted in seeds: a seed unit of 1000 or more.
bool IsSeedCounted(int code);
std::string CropName(int code);
// The letter, or 0 for an unknown code.
char CropLetter(int code);
// The first crop carrying the letter, without regard to case; 0 when none does.
int CropByLetter(char letter);
// The crop's bit in a crop mask: bit (code - 1); 0 outside codes 1 to 32.
uint32_t CropBit(int code);

int CropListCount(TCropList list);
// 1-based position of the crop in the list, or 0.
int CropListPosition(TCropList list, int code);
// Crop at a 1-based list position, or 0.
int CropAtListPosition(TCropList list, int position);
// The crop display order: the first 19 current crops (primary, cover or first) in table order.
constexpr int kDisplayCropCount = 19;
// The crop at a 1-based display position, or 0.
int CropAtDisplayPosition(int position);
// The bits of the crops of the display order.
uint32_t DisplayCropsMask();
// 19 characters: for each crop of the display order its letter when the mask holds it, else a blank.
std::string CropMaskText(uint32_t mask);
// The letters of CropMaskText without the blanks.
std::string CropMaskLetters(uint32_t mask);

// Crop words.
std::string YieldWord(int crop);           // "lint" for cotton, else "harvest"
std::string SecondaryYieldWord(int crop);  // "seed" for cotton, else empty
std::string MoistureWord(int crop);        // "sugar" for sugar beets, else "moisture"
bool HasHarvestMoisture(int crop);
bool HasSecondaryYield(int crop);

// Planting rate unit texts by planting class: "Seeds/A or Lb/A", "Lb/A", "Bu/A" or empty.
std::string PlantingRateUnit(int crop);
// Short form for a stored rate: "Sd" or "Lb" (seeds or pounds by the rate), "Lb", "Bu" or empty.
std::string PlantingRateShort(int crop, float rate);
// Purchase unit of seed: "Seeds", "Pound" or "Bushel"; for crop 31 by the rate.
std::string SeedCostUnitName(int crop, float rate);

// Price choices of the worksheets and summaries.
enum : int { pcCurrentPrice = 0, pcFiveYearPrice = 1 };

// "lint @ current price" (cotton) or "@ 5-year price".
std::string MainPriceLabel(int crop, int priceChoice);
// "seed @ current price" for cotton, else empty.
std::string SecondaryPriceLabel(int crop, int priceChoice);
// "Moisture deduction @ current price", "Sugar premium @ 5-year price", ...
std::string MoistureLabel(int crop, int priceChoice, bool premium);

// Pounds in a bale of cotton lint.
inline constexpr double kLbPerBale = 480;
// A yield in a yield unit ("Lb", "CWT", "Ton", "Bu" by the crop's bushel weight, "Bale" for cotton
// only) turned into pounds; 0 for any other unit.
double YieldInPounds(double value, const std::string& unit, int crop);
// Pounds turned into a yield unit as above; 0 for any other unit, for bushels of a crop without a
// bushel weight, and for bales unless `bales` allows them (for cotton).
double YieldFromPounds(double pounds, const std::string& unit, int crop, bool bales);
