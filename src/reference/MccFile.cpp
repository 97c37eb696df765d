#include "reference/MccFile.h"

#include <vector>

#include "common/Format.h"
#include "reference/MdfFile.h"
#include "reference/RefLayout.h"
#include "filebase/FileUtl.h"
#include "filebase/IoFault.h"

namespace {

// The crop number of today's numbering for an old one (the last two digits of a category 1 code);
// 0 for crops that have none.
int NewCropNumber(int old) {
  switch (old) {
    case 1: case 2: case 3: case 4: case 5: return old;
    case 8: return 12;
    case 9: return 6;
    case 10: return 7;
    case 11: return 8;
    case 12: return 9;
    case 13: return 10;
    default: return 0;
  }
}

bool DroppedOldCode(int code) {
  return code == 4127 || code == 4133 || code == 4095 || code == 4096 || code == 4150 ||
         (code >= 6067 && code <= 6087);
}

}  // namespace

bool TranslateOldCost(uint16_t& code, float& cost) {
  if (code / 1000 != 1) {
    if (DroppedOldCode(code)) return false;
    if (code == 4000) code = 4100;
    return true;
  }
  if (code == 1901 || code == 1902) {
    code = code == 1901 ? 1051 : 1052;
    return true;
  }
  if (code < 1101) return true;
  const int crop = NewCropNumber(code % 100);
  code = static_cast<uint16_t>(code / 100 * 100 + crop);
  // Old sorghum prices and hauling were quoted per hundredweight; 0.56 turns them into the 56-lb bushel.
  if (crop == 6 && code >= 1600 && code <= 1899) cost = static_cast<float>(RoundToDecimals(cost * 0.56, 2));
  return true;
}

bool TMccFile::CheckHeader(const TMccHeaderRec& header, const TMdfFile& mdf) {
  if (header.Version != 1 && header.Version != kMccVersion) ErrorState = esVersion;
  else if (FileSize() != (header.Count + 1) * static_cast<int64_t>(kMccRecordSize)) ErrorState = esFormat;
  else if (header.Country != mdf.Country()) ErrorState = esCountry;
  return ErrorState == esNone;
}

std::string LoadReportCosts(bool useCustom, const std::string& fileName, TMdfFile& mdf) {
  if (!useCustom) {
    mdf.ResetCosts();
    return {};
  }
  TMccFile costs;
  return costs.LoadCosts(fileName, mdf) ? std::string() : costs.FullErrorText();
}

bool TMccFile::LoadCosts(const std::string& fileName, TMdfFile& mdf) {
  mdf.ResetCosts();
  if (!Open(fileName, kMccRecordSize, omReadDenyWrite)) return false;
  TMccHeaderRec header{};
  std::vector<TMccCostRec> records;
  bool ok = ReadRecords(0, 1, &header) && CheckHeader(header, mdf);
  if (ok) {
    records.resize(header.Count);
    ok = records.empty() || ReadRecords(1, header.Count, records.data());
  }
  for (size_t i = 0; ok && i < records.size(); ++i) {
    uint16_t code = records[i].Code;
    float cost = header.Version == 1 ? static_cast<float>(records[i].Thousandths() / 1000.0) : records[i].Cost();
    if (header.Version == 1 && !TranslateOldCost(code, cost)) continue;
    mdf.SetInputCost(code, cost);
  }
  if (Close() && ok) return true;
  mdf.ResetCosts();
  return false;
}

namespace {

// The whole version 2 file: header and one record per input with its working cost.
std::string CostFileImage(const TMdfFile& mdf) {
  TMccHeaderRec header{};
  header.Version = kMccVersion;
  header.Release = mdf.ReleaseDate();
  header.Count = static_cast<uint16_t>(mdf.InputCount());
  header.Country = static_cast<uint8_t>(mdf.Country());
  std::string image(reinterpret_cast<const char*>(&header), sizeof header);
  for (int i = 1; i <= mdf.InputCount(); ++i) {
    TMccCostRec rec{};
    rec.Code = mdf.GetInput(i).Code;
    rec.SetCost(mdf.InputCost(rec.Code));
    image.append(reinterpret_cast<const char*>(&rec), sizeof rec);
  }
  return image;
}

}  // namespace

bool TMccFile::SaveCosts(const std::string& fileName, const TMdfFile& mdf) {
  Close();
  const std::string target = ExpandFileName(fileName);
  FileName = target;
  PathStatus = FileStatus(target);
  if (mdf.Country() > 0xFF) {
    ErrorState = esMccCountryTooLarge;
    return false;
  }
  if (PathStatus != fsExists && PathStatus != fsMissing) {
    ErrorState = esCreate;
    return false;
  }
  const std::string image = CostFileImage(mdf);
  // Saving over the file that is open (Save) replaces it as a whole, once the new one is complete.
  const bool ok = Begin(target, kMccRecordSize, TTargetUse::ReplaceOwn) &&
                  WriteRecords(0, static_cast<int64_t>(image.size() / kMccRecordSize), false, image.data()) &&
                  Commit() && Close();
  if (!ok) Discard();
  FileName = target;
  return ok;
}

std::string TMccFile::ErrorText() const {
  if (ErrorState == esMccCountryTooLarge)
    return "The definition file's country code is above 255 and cannot be stored in a custom cost file.";
  return TRecFile::ErrorText();
}
