#include "reference/MdfFile.h"

#include <new>

#include "common/TextUtil.h"
#include "vocab/CropVocab.h"
#include "filebase/FileUtl.h"
#include "vocab/UnitVocab.h"

int InputCategory(int code) {
  const int category = code / 1000;
  return category >= kFirstCategory && category <= kLastCategory ? category : 0;
}

std::string CategoryTitle(int category) {
  switch (category) {
    case 1: return "Miscellaneous inputs";
    case 2: return "Fertilizer analysis components";
    case 3: return "Other fertilizers";
    case 4: return "Herbicides";
    case 5: return "Insecticides and fungicides";
    case 6: return "Field and equipment operations";
    case 7: return "Other inputs";
    default: return {};
  }
}

std::string DefinitionFileName(const std::string& countyFilePath) {
  const std::string folder = ExtractFileDir(countyFilePath);
  const std::string name = "stnd-" + ExtractBaseName(countyFilePath).substr(0, 3) + ".mdf";
  return folder.empty() ? name : AddSlash(folder) + name;
}

bool TMdfFile::Load(const std::string& fileName) {
  Clear();
  if (!Open(fileName, kMdfRecordSize, omReadDenyWrite)) return false;
  const bool ok = ReadAndCheck();
  if (Close() && ok) return true;
  Clear();
  return false;
}

bool TMdfFile::ReadAndCheck() {
  if (!ReadRecords(0, 1, &header_)) return false;
  if (header_.Version != kMdfVersion) {
    ErrorState = esVersion;
    return false;
  }
  const int count = header_.Count;
  if (count > kMaxInputs || FileSize() != static_cast<int64_t>(count + 1) * kMdfRecordSize) {
    ErrorState = esFormat;
    return false;
  }
  try {
    inputs_.resize(count);
    costs_.resize(count);
  } catch (const std::bad_alloc&) {
    ErrorState = esMdfMemory;
    return false;
  }
  if (count > 0 && !ReadRecords(1, count, inputs_.data())) return false;
  ResetCosts();
  BuildCategoryIndex();
  return true;
}

bool TMdfFile::LoadForCountry(const std::string& fileName, uint16_t country) {
  if (!Load(fileName)) return false;
  if (Country() == country) return true;
  Clear();
  ErrorState = esCountry;
  return false;
}

void TMdfFile::Clear() {
  header_ = {};
  inputs_.clear();
  costs_.clear();
  first_.fill(0);
  last_.fill(0);
}

void TMdfFile::BuildCategoryIndex() {
  first_.fill(0);
  last_.fill(0);
  int previous = 0;
  for (int i = 1; i <= InputCount(); ++i) {
    const int category = InputCategory(inputs_[i - 1].Code);
    if (category == 0) continue;
    if (category != previous) first_[category] = i;
    last_[category] = i;
    previous = category;
  }
}

std::string TMdfFile::ErrorText() const {
  if (ErrorState == esMdfMemory) return "Not enough memory to load file.";
  return TRecFile::ErrorText();
}

TMdfInputRec TMdfFile::GetInput(int index) const {
  if (index < 1 || index > InputCount()) return {};
  return inputs_[index - 1];
}

int TMdfFile::FindInput(int code) const {
  const int category = InputCategory(code);
  if (category == 0 || first_[category] == 0) return 0;
  for (int i = first_[category]; i <= last_[category]; ++i)
    if (inputs_[i - 1].Code == code) return i;
  return 0;
}

const TMdfInputRec* TMdfFile::Find(int code) const {
  const int index = FindInput(code);
  return index > 0 ? &inputs_[index - 1] : nullptr;
}

std::string TMdfFile::InputName(int code) const {
  const TMdfInputRec* rec = Find(code);
  return rec ? rec->Name.Str() : std::string();
}

uint32_t TMdfFile::InputCropMask(int code) const {
  const TMdfInputRec* rec = Find(code);
  return rec ? rec->CropMask.Get() : 0;
}

int TMdfFile::InputAppUnit(int code) const {
  const TMdfInputRec* rec = Find(code);
  return rec ? rec->AppUnit.Get() : 0;
}

int TMdfFile::InputCostUnit(int code) const {
  const TMdfInputRec* rec = Find(code);
  return rec ? rec->CostUnit.Get() : 0;
}

int TMdfFile::InputAppUnitClass(int code) const { return UnitClass(InputAppUnit(code)); }

int TMdfFile::InputKind(int code) const {
  const TMdfInputRec* rec = Find(code);
  return rec ? rec->Kind.Get() : 0;
}

int TMdfFile::InputSubKind(int code) const {
  const TMdfInputRec* rec = Find(code);
  return rec ? rec->SubKind.Get() : 0;
}

std::string TMdfFile::InputUnitAbbrev(int code, bool costUnit) const {
  return UnitShortName(costUnit ? InputCostUnit(code) : InputAppUnit(code));
}

std::string TMdfFile::InputCostUnitName(int code, bool longName) const {
  const int unit = InputCostUnit(code);
  return longName ? UnitLongName(unit) : UnitMediumName(unit);
}

std::string TMdfFile::RateUnitName(int code, int unit) const {
  return UnitMediumName(IsUnitCode(unit) ? unit : InputAppUnit(code));
}

float TMdfFile::AppToCostFactor(int code, int unit) const {
  const TMdfInputRec* rec = Find(code);
  if (!rec) return 1;
  const int from = IsUnitCode(unit) ? unit : rec->AppUnit.Get();
  return UnitFactor(from, rec->CostUnit);
}

float TMdfFile::InputCost(int code) const {
  const int index = FindInput(code);
  return index > 0 ? costs_[index - 1] : 0;
}

void TMdfFile::SetInputCost(int code, float cost) {
  const int index = FindInput(code);
  if (index > 0) costs_[index - 1] = cost;
}

void TMdfFile::ResetCosts() {
  costs_.resize(inputs_.size());
  for (size_t i = 0; i < inputs_.size(); ++i) costs_[i] = inputs_[i].Cost;
}

bool TMdfFile::Passes(const TMdfInputRec& rec, int category, int type, uint32_t cropMask) {
  // A stray record of another category inside the range is never listed.
  if (InputCategory(rec.Code) != category || (rec.CropMask & cropMask) == 0) return false;
  if (type == itAny) return true;
  if (category != 3) return false;
  return type == itMaterial ? rec.Kind == 0 : type == itManure && rec.Kind != 0;
}

int TMdfFile::CountInputs(int category, int type, uint32_t cropMask) const {
  if (InputCategory(category * 1000) == 0 || first_[category] == 0) return 0;
  int n = 0;
  for (int i = first_[category]; i <= last_[category]; ++i)
    n += Passes(inputs_[i - 1], category, type, cropMask) ? 1 : 0;
  return n;
}

int TMdfFile::InputListPosition(int code, int type, uint32_t cropMask) const {
  const int category = InputCategory(code);
  if (category == 0 || first_[category] == 0) return 0;
  int position = 0;
  for (int i = first_[category]; i <= last_[category]; ++i) {
    const TMdfInputRec& rec = inputs_[i - 1];
    if (!Passes(rec, category, type, cropMask)) continue;
    ++position;
    if (rec.Code == code) return position;
  }
  return 0;
}

int TMdfFile::InputAtListPosition(int position, int category, uint32_t cropMask, int type) const {
  if (position < 1 || InputCategory(category * 1000) == 0 || first_[category] == 0) return 0;
  for (int i = first_[category]; i <= last_[category]; ++i) {
    const TMdfInputRec& rec = inputs_[i - 1];
    if (Passes(rec, category, type, cropMask) && --position == 0) return rec.Code;
  }
  return 0;
}

int TMdfFile::CountInRange(int low, int high, int crop) const {
  if (!IsKnownCrop(crop)) return 0;
  int n = 0;
  for (const TMdfInputRec& rec : inputs_)
    n += rec.Code >= low && rec.Code <= high && (rec.CropMask & CropBit(crop)) ? 1 : 0;
  return n;
}

int TMdfFile::InRangeAt(int low, int high, int crop, int position) const {
  if (!IsKnownCrop(crop) || position < 1) return 0;
  for (const TMdfInputRec& rec : inputs_)
    if (rec.Code >= low && rec.Code <= high && (rec.CropMask & CropBit(crop)) && --position == 0)
      return rec.Code;
  return 0;
}

int TMdfFile::PositionInRange(int low, int high, int crop, int code) const {
  if (!IsKnownCrop(crop) || code < low || code > high) return 0;
  int position = 0;
  for (const TMdfInputRec& rec : inputs_) {
    if (rec.Code < low || rec.Code > high || !(rec.CropMask & CropBit(crop))) continue;
    ++position;
    if (rec.Code == code) return position;
  }
  return 0;
}

std::string TMdfFile::TraitName(int code) const {
  std::string name = InputName(code);
  if (EndsWithText(name, " FEE")) name.resize(name.size() - 4);
  return name;
}

int TMdfFile::SeedCode(int crop) { return IsKnownCrop(crop) ? 1100 + crop : 0; }
int TMdfFile::DryingCode(int crop) { return IsKnownCrop(crop) ? 1500 + crop : 0; }
int TMdfFile::HaulingCode(int crop) { return IsKnownCrop(crop) ? 1800 + crop : 0; }

int TMdfFile::PriceCode(int crop, bool fiveYear) {
  return IsKnownCrop(crop) ? (fiveYear ? 1600 : 1700) + crop : 0;
}

int TMdfFile::ExtraPriceCode(int crop, bool fiveYear) {
  return IsKnownCrop(crop) ? (fiveYear ? 1300 : 1400) + crop : 0;
}

int TMdfFile::RentCode(float rating) {
  if (rating > 125) return 1004;
  return rating >= 100 ? 1005 : 1006;
}

int TMdfFile::NutrientPriceCode(int form, int nutrient) {
  if (form < 1 || form > 5 || nutrient < 0 || nutrient > 2) return 0;
  return 1998 + 3 * form + nutrient;
}

float TMdfFile::RemovalValue(int priceCode, float removal) const {
  return InputCost(priceCode) / AppToCostFactor(priceCode, unPound) * removal;
}

float TMdfFile::NRemovalValue(int crop) const { return RemovalValue(2001, CropInfo(crop).RemovalN); }
float TMdfFile::PRemovalValue(int crop) const { return RemovalValue(2005, CropInfo(crop).RemovalP2O5); }
float TMdfFile::KRemovalValue(int crop) const { return RemovalValue(2006, CropInfo(crop).RemovalK2O); }
