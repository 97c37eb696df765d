// Record subsets: records selected by what they are. Each of sixteen data types (county, current
// crop, tillage, slope, ...) sorts a record into one category; the user ticks the categories to
// include. The worksheet, the summaries, extract and export each keep one subset for the run.
#pragma once

#include <array>
#include <bitset>
#include <string>

#include "store/MdaLayout.h"

class TMdaFile;
class TProjectRefs;

// Data types, numbered as the user sees them.
enum : int {
  sdCountry = 1, sdCounty, sdCurCrop, sdCovCrop, sdPrevCrop, sdTillage, sdTillYears, sdSlope, sdRating,
  sdResidue, sdSoilLoss, sdRowWidth, sdSeedType, sdPTest, sdTotalN, sdInsecticide,
};
constexpr int kSubsetTypes = 16;

class TRecordSubset {
 public:
  // Called with the open project by every command that uses the subset. The first attachment
  // ticks everything; a project of another state ticks every county (or state) again.
  void Attach(const TMdaFile& file);
  int StateNumber() const { return stateNumber_; }  // -1 before the first attachment

  std::string TypeName(int type) const;
  int ItemCount(int type) const;
  std::string ItemName(int type, int item) const;
  int ColumnWidth(int type) const;

  bool IsChecked(int type, int item) const;
  int CheckedCount(int type) const;
  // Name of the n-th checked item in item order; empty when there is none.
  std::string CheckedItemName(int type, int n) const;
  void Toggle(int type, int item);
  void CheckAll(int type);
  void UncheckAll(int type);
  void CheckAllTypes();
  void SaveSets() { saved_ = sets_; }
  void RestoreSets() { sets_ = saved_; }

  // The record's category of a type, 0 when it cannot be classified.
  int Category(int type, const TFieldRec& rec) const;
  // Position of the record's category among the checked items (1 = first), 0 when unchecked.
  int CheckedPosition(int type, const TFieldRec& rec) const;
  // Whether the record passes every type's ticks (when checkMembership) and can be placed in the
  // rows and columns of a table by rowType and columnType (0 for none).
  bool Contains(const TFieldRec& rec, int rowType, bool checkMembership, int columnType) const;

  // Applies a selection "TYPE=ITEM,ITEM;TYPE=ITEM": types and items by number or name (without
  // regard to case); each named type holds only its listed items, the others are all ticked.
  // False with a message naming the bad part.
  bool ApplySpec(const std::string& spec, std::string& error);
  // The data type `first`..16 named by number or name (without regard to case), or 0.
  int FindType(const std::string& text, int first = sdCounty) const;

 private:
  bool MultiState() const { return stateNumber_ == 0; }
  bool FullyChecked(int type) const { return CheckedCount(type) == ItemCount(type); }
  const TProjectRefs* Refs() const;
  int FindItem(int type, const std::string& text) const;

  const TMdaFile* file_ = nullptr;
  int stateNumber_ = -1;
  using TSets = std::array<std::bitset<256>, kSubsetTypes + 1>;
  TSets sets_{};
  TSets saved_{};
};
