#include "store/StateTables.h"

#include <filesystem>

#include "common/TextUtil.h"
#include "reference/MdfFile.h"
#include "vocab/CropVocab.h"
#include "filebase/FileUtl.h"

namespace {

constexpr int kCropNameWidth = 13;

// The pr* bits of a Provisional setting's list (words between commas or blanks).
unsigned ParseProvisional(const std::string& list) {
  static const struct {
    const char* word;
    unsigned bit;
  } kWords[] = {{"N", prN}, {"P2O5", prP2O5}, {"K2O", prK2O}, {"NCredit", prNCredit}};
  unsigned rates = 0;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find_first_of(", ", start);
    if (end == std::string::npos) end = list.size();
    const std::string word = list.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    unsigned bit = prAll;
    for (const auto& w : kWords)
      if (SameText(word, w.word)) bit = w.bit;
    rates |= bit;
  }
  return rates;
}

// The size and modification time of a file, "" when it cannot be read: tells whether it changed.
std::string FileStamp(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return {};
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return {};
  return std::to_string(size) + ":" + std::to_string(time.time_since_epoch().count());
}

}  // namespace

TStateTables::TStateTables(const TProjectRefs& refs) : refs_(refs) {}

TStateTables::~TStateTables() = default;

bool TStateTables::LoadStateTables(int state) {
  std::string message;
  return LoadStateTables(state, message);
}

bool TStateTables::LoadStateTables(int state, std::string& message) {
  if (IsLoaded() && state == loadedState_) {  // every record of a report asks again
    message.clear();
    return true;
  }
  const std::string abbrev = refs_.StateAbbrev(state);
  if (IsLoaded() && !abbrev.empty() && SameText(StateAbbr(), abbrev)) {
    loadedState_ = state;
    message.clear();
    return true;
  }
  const std::string fileName = AddSlash(ExtractFileDir(refs_.DefinitionFileName())) + LowerCase(abbrev) + ".qri";
  const std::string stamp = FileStamp(fileName);
  // A state whose file just failed is not read again for every record of a report, but is once the
  // file has changed.
  if (!IsLoaded() && state == failedState_ && stamp == failedStamp_) {
    message = failedMessage_;
    return false;
  }
  ClearCaches();
  if (!Tables.Load(fileName)) {
    message = fileName + "\r\n" + Tables.ErrorMessage();
  } else if (Tables.GetFieldValue(qfCrc, 0).empty()) {
    Tables.Clear();
    message = fileName + "\r\n" + "This is not an \"official\" state initialization file. " +
              "The file may have been damaged or improperly modified " + "since it was installed.";
  } else {
    Tables.SortByFields(qfCropName, 0, 0, 0);
    for (int row = Tables.FieldRowCount(qfCropDef) - 1; row >= 0; --row)
      definitionRows_[Tables.GetFieldInteger(qfCropDef, row)] = row;
    const int section = Tables.FieldLocation(qfCropDef).Section;
    const int column = Tables.FindColumn(section, kProvisionalSetting);
    provisional_.assign(static_cast<size_t>(Tables.FieldRowCount(qfCropDef)), 0);
    if (column >= 0)
      for (int row = 0; row < Tables.FieldRowCount(qfCropDef); ++row)
        provisional_[static_cast<size_t>(row)] = ParseProvisional(Tables.GetValue(section, row, column));
    loadedState_ = state;
    loadedAbbr_ = Tables.GetFieldValue(qfStateAbbr, 0);
    message.clear();
    failedState_ = -1;
    return true;
  }
  failedState_ = state;
  failedStamp_ = stamp;
  failedMessage_ = message;
  return false;
}

void TStateTables::ClearCaches() {
  Tables.Clear();
  loadedState_ = -1;
  loadedAbbr_.clear();
  definitionRows_.clear();
  provisional_.clear();
  conditionRows_.clear();
  countyRows_.clear();
  manureRows_.clear();
  formulas_.clear();
}

int TStateTables::DefinitionRow(int number) const {
  const auto it = definitionRows_.find(number);
  return it == definitionRows_.end() ? -1 : it->second;
}

unsigned TStateTables::ProvisionalRates(int row) const {
  return row >= 0 && static_cast<size_t>(row) < provisional_.size() ? provisional_[static_cast<size_t>(row)] : 0;
}

int TStateTables::OtherDefinitionRow(int slot, const TFieldRec& rec) {
  const int crop = SlotCrop(rec, slot);
  const int number = SlotCode(rec, slot);
  if ((crop != crOther && crop != crOtherHistory) || number == 0 || !LoadStateTables(rec.State)) return -1;
  const int row = DefinitionRow(number);
  return row >= 0 && Tables.GetFieldInteger(qfToTessCrop, row) == crOtherHistory ? row : -1;
}

std::string TStateTables::CropSlotName(int slot, const TFieldRec& rec) {
  const int crop = SlotCrop(rec, slot);
  if (crop == 0) return {};
  const int row = OtherDefinitionRow(slot, rec);
  return row >= 0 ? Tables.GetFieldValue(qfCropName, row).substr(0, kCropNameWidth) : CropName(crop);
}

std::string TStateTables::YieldUnitText(int slot, const TFieldRec& rec) {
  const int crop = SlotCrop(rec, slot);
  if (crop == 0) return {};
  const int row = OtherDefinitionRow(slot, rec);
  if (row >= 0) return Tables.GetFieldValue(qfYldUnit, row);
  return refs_.InputUnitAbbrev(static_cast<uint16_t>(TMdfFile::PriceCode(crop, true)), true);
}

int TStateTables::CropDefinitionRow(int slot, const TFieldRec& rec) {
  if (slot < csPrev || slot > csNext || SlotCrop(rec, slot) == 0 || !LoadStateTables(rec.State)) return -1;
  const int stored = DefinitionRow(SlotCode(rec, slot));
  return stored >= 0 ? stored : FindDefinitionByCondition(slot, rec);
}

int TStateTables::FindDefinitionByCondition(int slot, const TFieldRec& rec) {
  const int crop = SlotCrop(rec, slot);
  // Which rows suit the slot: 0 not cover only; 1 can be a first crop; 2 can be a cover crop.
  int kind = 0;
  if (slot == csCov) kind = rec.Cov_Yield > 0 || rec.Cov_Goal > 0 ? 1 : 2;
  const int key = crop * 4 + kind;
  if (const auto it = conditionRows_.find(key); it != conditionRows_.end()) return it->second;

  TExprVar var{"TessCrop", static_cast<double>(crop), false};
  int found = -1;
  for (int row = 0; row < Tables.FieldRowCount(qfCropDef) && found < 0; ++row) {
    const bool suits = kind == 0   ? Tables.NotCoverOnlyCrop(row)
                       : kind == 1 ? Tables.GetFieldBoolean(qfCanBeFirst, row)
                                   : Tables.GetFieldBoolean(qfCanBeCover, row);
    if (!suits) continue;
    double value = 0;
    if (Formula(qfIsTessRec, row, &var, 0).Evaluate(&var, value) == exNone && value != 0) found = row;
  }
  conditionRows_[key] = found;
  return found;
}

std::string TStateTables::DrainageTypeName(const TFieldRec& rec) {
  if (rec.Drain_Type == 0 || !LoadStateTables(rec.State)) return {};
  const int row = Tables.FindFieldRow(qfDrainDef, std::to_string(rec.Drain_Type));
  return row >= 0 ? Tables.GetFieldValue(qfDrainName, row) : std::string();
}

int TStateTables::DefaultDrainageType(const TFieldRec& rec) {
  if (!LoadStateTables(rec.State)) return 0;
  for (int row = 0; row < Tables.FieldRowCount(qfDrainDef); ++row)
    if (Tables.GetFieldBoolean(qfUseIfDrain, row)) return Tables.GetFieldInteger(qfDrainDef, row);
  return 0;
}

int TStateTables::ManureDefinitionRow(int code) {
  if (!IsLoaded()) return -1;
  if (const auto it = manureRows_.find(code); it != manureRows_.end()) return it->second;
  TExprVar var{"TessManure", static_cast<double>(code), false};
  int found = -1;
  for (int row = 0; row < Tables.FieldRowCount(qfManureName) && found < 0; ++row) {
    double value = 0;
    if (Formula(qfIsTessAve, row, &var, 0).Evaluate(&var, value) == exNone && value != 0) found = row;
  }
  manureRows_[code] = found;
  return found;
}

int TStateTables::CountyRow(const TFieldRec& rec) {
  if (rec.County == 0 || !LoadStateTables(rec.State)) return -1;
  if (const auto it = countyRows_.find(rec.County); it != countyRows_.end()) return it->second;
  const int code = refs_.CountyCode(rec.County, rec.State);
  const int row = code > 0 ? Tables.FindFieldRow(qfCntyCode, std::to_string(code)) : -1;
  countyRows_[rec.County] = row;
  return row;
}

const TCompiledExpression& TStateTables::Formula(int field, int row, const TExprVar* layout, int highIndex) {
  if (field < 0 || row < 0) {
    static const TCompiledExpression kNone("");
    return kNone;
  }
  if (static_cast<size_t>(field) >= formulas_.size()) formulas_.resize(static_cast<size_t>(field) + 1);
  auto& rows = formulas_[static_cast<size_t>(field)];
  if (static_cast<size_t>(row) >= rows.size()) rows.resize(static_cast<size_t>(row) + 1);
  auto& slot = rows[static_cast<size_t>(row)];
  if (!slot) {
    slot = std::make_unique<TCompiledExpression>(Tables.GetFieldValue(field, row));
    slot->Bind(layout, highIndex);
  }
  return *slot;
}
