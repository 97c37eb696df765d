#include "reports/RecSubset.h"

#include <vector>

#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reference/McnFile.h"
#include "store/FieldCalc.h"
#include "store/MdaFile.h"
#include "vocab/CodeLists.h"
#include "vocab/CropVocab.h"

namespace {

struct TTypeInfo {
  const char* name;  // empty for the two types named by the county names file
  int items;         // 0 for the two types counted from the county names file
  int width;
  std::vector<const char*> itemNames;  // empty for types named from the vocabularies
};

const TTypeInfo kTypes[kSubsetTypes + 1] = {
    {},
    {"", 1, 14, {}},
    {"", 0, 14, {}},
    {"Current crop", 17, 13, {}},
    {"Cover or first crop", 7, 13, {}},
    {"Previous crop", 19, 13, {}},
    {"Current tillage", 6, 12, {}},
    {"Years in current tillage", 3, 9, {"1 Year", "2-5 Years", ">5 Years"}},
    {"Slope", 4, 5, {"0-2%", "3-6%", "7-12%", ">12%"}},
    {"Soil productivity rating", 3, 6, {"Low", "Medium", "High"}},
    {"Residue", 3, 6, {"0-15%", "16-30%", ">30%"}},
    {"Soil loss", 4, 12, {"0-3 T/A/Year", "4-5 T/A/Year", "6-8 T/A/Year", ">8 T/A/Year"}},
    {"Row width", 3, 12, {"<11 Inches", "11-29 Inches", "30+ Inches"}},
    {"Seed type", 2, 17, {"Bioengineered", "Not bioengineered"}},
    {"Phosphorus soil test level", 4, 10, {"1-30 Lb/A", "31-60 Lb/A", "61-70 Lb/A", ">70 Lb/A"}},
    {"Total nitrogen applied", 4, 12, {"0-99 Lb/A", "100-150 Lb/A", "151-200 Lb/A", ">200 Lb/A"}},
    {"Insecticide use", 2, 22, {"Insecticide applied", "No insecticide applied"}},
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

bool ValidType(int type) { return type >= 1 && type <= kSubsetTypes; }

// The class of a value against ascending upper limits (each compared as a 32-bit float): 1 for
// values not above the first limit, ..., one more than the limit count above the last.
int ClassBelow(float value, std::initializer_list<float> limits) {
  int item = 1;
  for (float limit : limits) {
    if (value <= limit) return item;
    ++item;
  }
  return item;
}

int CoverCategory(uint16_t crop) { return crop == 0 ? 7 : CropListPosition(clCoverFirst, crop); }

int SlopeCategory(const TFieldRec& rec) {
  const float slope = rec.Soil_Slope[PredominantSoilRow(rec)];
  return slope < 0 ? 0 : ClassBelow(slope, {2.9f, 6.9f, 12.0f});
}

int RatingCategory(const TFieldRec& rec, int state) {
  const float rating = CompleteSoilRating(rec);
  if (rating < 0) return 0;
  return RatingUnitOfState(state) == 2 ? ClassBelow(rating, {59.9f, 79.9f}) : ClassBelow(rating, {99.9f, 125.0f});
}

int PositiveCategory(float value, std::initializer_list<float> limits) {
  return value > 0 ? ClassBelow(value, limits) : 0;
}

int PTestCategory(const TFieldRec& rec) {
  const float p = rec.P_Units == 2 ? rec.P * 2.0f : rec.P.Get();
  return PositiveCategory(p, {30.9f, 60.9f, 70.0f});
}

bool AnyInsecticide(const TFieldRec& rec, const TProjectRefs* refs) {
  for (int i = 0; i < kInsRows; ++i)
    if (rec.Ins_Input[i] != 0) return true;
  if (!refs) return false;
  for (int i = 0; i < kOtherRows; ++i)
    if (rec.Othr_Input[i] != 0 && refs->InputKind(rec.Othr_Input[i]) == 5) return true;
  return false;
}

}  // namespace

const TProjectRefs* TRecordSubset::Refs() const { return file_ ? file_->Refs() : nullptr; }

void TRecordSubset::Attach(const TMdaFile& file) {
  file_ = &file;
  const int state = file.ProjectState();
  if (stateNumber_ < 0) {
    stateNumber_ = state;
    CheckAllTypes();
  } else if (state != stateNumber_) {
    stateNumber_ = state;
    CheckAll(sdCounty);
  }
}

std::string TRecordSubset::TypeName(int type) const {
  if (!ValidType(type)) return {};
  if (type > sdCounty) return kTypes[type].name;
  const TProjectRefs* refs = Refs();
  const std::string region = refs ? CapitalizeFirst(refs->RegionWord()) : "State";
  if (type == sdCountry) return MultiState() ? "Country" : region;
  return MultiState() ? region : "County";
}

int TRecordSubset::ItemCount(int type) const {
  if (!ValidType(type)) return 0;
  if (type != sdCounty) return kTypes[type].items;
  const TProjectRefs* refs = Refs();
  TMcnFile* mcn = refs ? refs->CountyFile() : nullptr;
  if (!mcn) return 0;
  return MultiState() ? mcn->StateCount() : mcn->CountyCount(stateNumber_);
}

std::string TRecordSubset::ItemName(int type, int item) const {
  if (item < 1 || item > ItemCount(type)) return {};
  const TTypeInfo& info = kTypes[type];
  if (!info.itemNames.empty()) return info.itemNames[item - 1];
  const TProjectRefs* refs = Refs();
  TMcnFile* mcn = refs ? refs->CountyFile() : nullptr;
  switch (type) {
    case sdCountry:
      if (!mcn) return {};
      return MultiState() ? mcn->CountryName() : mcn->StateName(stateNumber_);
    case sdCounty:
      return MultiState() ? mcn->StateName(item) : mcn->CountyName(item, stateNumber_);
    case sdCurCrop: return CropName(CropAtListPosition(clPrimary, item));
    case sdCovCrop: return item == 7 ? "No cover crop" : CropName(CropAtListPosition(clCoverFirst, item));
    case sdPrevCrop: return CropName(CropAtListPosition(clPrevNext, item));
    case sdTillage: return CodeLongName(TCodeList::Tillage, item);
    default: return {};
  }
}

int TRecordSubset::ColumnWidth(int type) const {
  if (type == sdCounty && !MultiState()) return 20;
  return ValidType(type) ? kTypes[type].width : 0;
}

bool TRecordSubset::IsChecked(int type, int item) const {
  if (type == sdCountry) return item == 1;
  return ValidType(type) && item >= 1 && item <= ItemCount(type) && sets_[type].test(item);
}

int TRecordSubset::CheckedCount(int type) const {
  if (type == sdCountry) return 1;
  int n = 0;
  for (int item = 1; item <= ItemCount(type); ++item) n += sets_[type].test(item) ? 1 : 0;
  return n;
}

std::string TRecordSubset::CheckedItemName(int type, int n) const {
  for (int item = 1; item <= ItemCount(type); ++item)
    if (IsChecked(type, item) && --n == 0) return ItemName(type, item);
  return {};
}

void TRecordSubset::Toggle(int type, int item) {
  if (type > sdCountry && type <= kSubsetTypes && item >= 1 && item < 256) sets_[type].flip(item);
}

void TRecordSubset::CheckAll(int type) {
  if (type <= sdCountry || type > kSubsetTypes) return;
  const int count = ItemCount(type);
  sets_[type].reset();
  for (int item = 1; item <= count && item < 256; ++item) sets_[type].set(item);
}

void TRecordSubset::UncheckAll(int type) {
  if (type > sdCountry && type <= kSubsetTypes) sets_[type].reset();
}

void TRecordSubset::CheckAllTypes() {
  for (int type = sdCounty; type <= kSubsetTypes; ++type) CheckAll(type);
}

int TRecordSubset::Category(int type, const TFieldRec& rec) const {
  switch (type) {
    case sdCountry: return 1;
    case sdCounty: {
      const int value = MultiState() ? rec.State : rec.County;
      return value >= 1 && value <= ItemCount(sdCounty) ? value : 0;
    }
    case sdCurCrop: return CropListPosition(clPrimary, rec.Cur_Crop);
    case sdCovCrop: return CoverCategory(rec.Cov_Crop);
    case sdPrevCrop: return CropListPosition(clPrevNext, rec.Prev_Crop);
    case sdTillage: return rec.Cur_Till >= 1 && rec.Cur_Till <= 6 ? rec.Cur_Till.Get() : 0;
    case sdTillYears: return rec.Till_Years == 0 ? 0 : rec.Till_Years == 1 ? 1 : rec.Till_Years <= 5 ? 2 : 3;
    case sdSlope: return SlopeCategory(rec);
    case sdRating: return RatingCategory(rec, rec.State);
    case sdResidue: return rec.Residue < 0 ? 0 : ClassBelow(rec.Residue, {15, 30});
    case sdSoilLoss: return PositiveCategory(rec.Water_Loss + rec.Wind_Loss, {3.9f, 5.9f, 8.0f});
    case sdRowWidth: return PositiveCategory(rec.Row_Width, {10.9f, 29.9f});
    case sdSeedType: {
      for (int i = 0; i < kBiotechSlots; ++i)
        if (rec.Biotech[i] != 0) return 1;
      return 2;
    }
    case sdPTest: return PTestCategory(rec);
    case sdTotalN: return ClassBelow(FertilizerNApplied(rec), {99.9f, 150.9f, 200.0f});
    case sdInsecticide: return AnyInsecticide(rec, Refs()) ? 1 : 2;
    default: return 0;
  }
}

int TRecordSubset::CheckedPosition(int type, const TFieldRec& rec) const {
  const int category = Category(type, rec);
  if (category == 0 || !IsChecked(type, category)) return 0;
  int position = 0;
  for (int item = 1; item <= category; ++item) position += IsChecked(type, item) ? 1 : 0;
  return position;
}

bool TRecordSubset::Contains(const TFieldRec& rec, int rowType, bool checkMembership, int columnType) const {
  for (int type = sdCounty; type <= kSubsetTypes; ++type) {
    const int category = Category(type, rec);
    if (category != 0) {
      if (checkMembership && !sets_[type].test(category)) return false;
    } else {
      if (checkMembership && !FullyChecked(type)) return false;
      if (type == rowType || type == columnType) return false;
    }
  }
  return true;
}

int TRecordSubset::FindType(const std::string& text, int first) const {
  int32_t number = 0;
  if (ParseLongInt(text, number)) return number >= first && number <= kSubsetTypes ? number : 0;
  for (int type = first; type <= kSubsetTypes; ++type)
    if (SameText(TypeName(type), text)) return type;
  return 0;
}

int TRecordSubset::FindItem(int type, const std::string& text) const {
  int32_t number = 0;
  if (ParseLongInt(text, number)) return number >= 1 && number <= ItemCount(type) ? number : 0;
  for (int item = 1; item <= ItemCount(type); ++item)
    if (SameText(ItemName(type, item), text)) return item;
  return 0;
}

bool TRecordSubset::ApplySpec(const std::string& spec, std::string& error) {
  TSets parsed{};
  std::bitset<kSubsetTypes + 1> named;
  for (const std::string& partText : Split(spec, ';')) {
    const std::string part = Trim(partText);
    if (part.empty()) continue;
    const size_t eq = part.find('=');
    const int type = eq == std::string::npos ? 0 : FindType(Trim(part.substr(0, eq)));
    if (type == 0) {
      error = "Unknown data type in \"" + part + "\".";
      return false;
    }
    named.set(type);
    for (const std::string& itemText : Split(part.substr(eq + 1), ',')) {
      const int item = FindItem(type, Trim(itemText));
      if (item == 0) {
        error = "Unknown item \"" + Trim(itemText) + "\" of " + TypeName(type) + ".";
        return false;
      }
      parsed[type].set(item);
    }
  }
  CheckAllTypes();
  for (int type = sdCounty; type <= kSubsetTypes; ++type)
    if (named.test(type)) sets_[type] = parsed[type];
  return true;
}
