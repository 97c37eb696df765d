// The input definition file (.mdf): the read-only catalogue of every input a field record can
// name, loaded whole into memory, with the working cost table that custom cost files overwrite.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/DayNum.h"
#include "reference/RefLayout.h"
#include "filebase/RecFile.h"

// Error of the definition file beside the base's codes.
enum : int32_t { esMdfMemory = 10 };

// Input categories: the thousands digit of an input code.
constexpr int kFirstCategory = 1;
constexpr int kLastCategory = 7;

// Filter types of the input lists: any input, fertilizer materials, manures (category 3 only).
enum : int { itAny = 0, itMaterial = 1, itManure = 2 };

// The category of a code, or 0 when it is not 1 to 7.
int InputCategory(int code);
// Title of a category in the cost listing; empty for an unknown category.
std::string CategoryTitle(int category);
// The definition file beside a county names file: "stnd-" + first 3 characters of its base name.
std::string DefinitionFileName(const std::string& countyFilePath);

class TMdfFile : public TRecFile {
 public:
  TMdfFile() = default;
  ~TMdfFile() override = default;

  bool Load(const std::string& fileName);
  // Load, then the header's country must be `country` (else error 8 and nothing stays loaded).
  bool LoadForCountry(const std::string& fileName, uint16_t country);
  std::string ErrorText() const override;

  TDayNum ReleaseDate() const { return header_.Release; }
  uint16_t Country() const { return header_.Country; }
  int InputCount() const { return static_cast<int>(inputs_.size()); }
  const TMdfHeaderRec& Header() const { return header_; }
  // The whole record of input `index` (1-based); a zero record outside 1..InputCount.
  TMdfInputRec GetInput(int index) const;

  // Lookups by code; the empty value (0 or "") when the code is not found.
  int FindInput(int code) const;
  std::string InputName(int code) const;
  uint32_t InputCropMask(int code) const;
  int InputAppUnit(int code) const;
  int InputCostUnit(int code) const;
  int InputAppUnitClass(int code) const;
  int InputKind(int code) const;
  int InputSubKind(int code) const;
  // Short name of the cost unit (costUnit true) or of the application unit.
  std::string InputUnitAbbrev(int code, bool costUnit) const;
  // Long (longName true) or medium name of the cost unit.
  std::string InputCostUnitName(int code, bool longName) const;
  // Medium name of `unit` when it is a unit code, else of the input's application unit.
  std::string RateUnitName(int code, int unit) const;
  // How many units of the rate make one cost unit; 1 when not found or not convertible.
  float AppToCostFactor(int code, int unit) const;

  // Working costs.
  float InputCost(int code) const;
  void SetInputCost(int code, float cost);
  void ResetCosts();

  // Lists of a category filtered by type and crop mask, in file order.
  int CountInputs(int category, int type, uint32_t cropMask) const;
  int InputListPosition(int code, int type, uint32_t cropMask) const;
  int InputAtListPosition(int position, int category, uint32_t cropMask, int type) const;

  // Codes in [low, high] whose crop mask holds the crop; nothing for an unknown crop.
  int CountInRange(int low, int high, int crop) const;
  int InRangeAt(int low, int high, int crop, int position) const;
  int PositionInRange(int low, int high, int crop, int code) const;
  // Shorthands for the crop charges (1051-1099), premiums (1901-1950) and traits (1951-1999).
  int CountCropCharges(int crop) const { return CountInRange(1051, 1099, crop); }
  int CropChargeAt(int crop, int position) const { return InRangeAt(1051, 1099, crop, position); }
  int CountPremiums(int crop) const { return CountInRange(1901, 1950, crop); }
  int PremiumAt(int crop, int position) const { return InRangeAt(1901, 1950, crop, position); }
  int PremiumPosition(int crop, int code) const { return PositionInRange(1901, 1950, crop, code); }
  int CountTraits(int crop) const { return CountInRange(1951, 1999, crop); }
  int TraitAt(int crop, int position) const { return InRangeAt(1951, 1999, crop, position); }
  int TraitPosition(int crop, int code) const { return PositionInRange(1951, 1999, crop, code); }
  // A trait's name as shown: without a final " FEE".
  std::string TraitName(int code) const;

  // Code formulas; 0 for an unknown crop.
  static int SeedCode(int crop);
  static int DryingCode(int crop);
  static int HaulingCode(int crop);
  static int PriceCode(int crop, bool fiveYear);
  static int ExtraPriceCode(int crop, bool fiveYear);
  static int RentCode(float rating);
  // Price of N (0), P2O5 (1) or K2O (2) in fertilizer form 1 to 5; 0 outside those.
  static int NutrientPriceCode(int form, int nutrient);

  // Value of the nutrients a crop removes per unit of yield, at the working prices.
  float NRemovalValue(int crop) const;
  float PRemovalValue(int crop) const;
  float KRemovalValue(int crop) const;

 private:
  bool ReadAndCheck();
  void Clear();
  void BuildCategoryIndex();
  const TMdfInputRec* Find(int code) const;
  static bool Passes(const TMdfInputRec& rec, int category, int type, uint32_t cropMask);
  float RemovalValue(int priceCode, float removal) const;

  TMdfHeaderRec header_{};
  std::vector<TMdfInputRec> inputs_;  // input i at index i - 1
  std::vector<float> costs_;
  std::array<int, kLastCategory + 1> first_{};  // 1-based record index per category, 0 = none
  std::array<int, kLastCategory + 1> last_{};
};
