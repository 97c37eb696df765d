#include "reference/RefWriters.h"

#include <cstring>

#include "reference/RefLayout.h"
#include "filebase/RecFile.h"

namespace {

template <class T>
void Append(std::string& image, const T& rec) {
  image.append(reinterpret_cast<const char*>(&rec), sizeof rec);
}

// Checks that a text fits its field; names the item in the message when it does not.
bool FitsField(const std::string& text, size_t limit, const std::string& what, std::string& message) {
  if (text.size() <= limit) return true;
  message = what + " \"" + text + "\" is longer than " + std::to_string(limit) + " characters.";
  return false;
}

bool CheckMcnState(const TMcnState& state, std::string& message) {
  const std::string what = "State " + state.Abbrev;
  if (!FitsField(state.Abbrev, 3, "State abbreviation", message) ||
      !FitsField(state.Name, 14, what + " name", message))
    return false;
  if (state.Counties.size() > kMaxCountiesPerState) {
    message = what + " has " + std::to_string(state.Counties.size()) + " counties; at most " +
              std::to_string(kMaxCountiesPerState) + " fit.";
    return false;
  }
  for (const TMcnCounty& county : state.Counties)
    if (!FitsField(county.Name, 20, what + " county name", message)) return false;
  return true;
}

}  // namespace

bool EncodeMdf(const TMdfContents& contents, std::string& image, std::string& message) {
  image.clear();
  if (contents.Inputs.size() > kMaxInputs) {
    message = std::to_string(contents.Inputs.size()) + " inputs; a definition file holds at most " +
              std::to_string(kMaxInputs) + ".";
    return false;
  }
  TMdfHeaderRec header{};
  header.Version = kMdfVersion;
  header.Release = contents.Release;
  header.Count = static_cast<uint16_t>(contents.Inputs.size());
  header.Country = contents.Country;
  Append(image, header);
  for (const TMdfInput& input : contents.Inputs) {
    if (!FitsField(input.Name, kMaxInputNameLength, "Name of input " + std::to_string(input.Code), message)) {
      image.clear();
      return false;
    }
    TMdfInputRec rec{};
    rec.Code = input.Code;
    rec.Name = input.Name;
    rec.Cost = input.Cost;
    rec.CostUnit = input.CostUnit;
    rec.AppUnit = input.AppUnit;
    rec.CropMask = input.CropMask;
    rec.Kind = input.Kind;
    rec.SubKind = input.SubKind;
    Append(image, rec);
  }
  return true;
}

bool EncodeMcn(const TMcnContents& contents, std::string& image, std::string& message) {
  image.clear();
  const size_t stateCount = contents.States.size();
  if (stateCount > kMaxStates) {
    message = std::to_string(stateCount) + " states; a county names file holds at most " +
              std::to_string(kMaxStates) + ".";
    return false;
  }
  if (!FitsField(contents.CountryName, 6, "Country name", message)) return false;
  size_t countyCount = 0;
  for (const TMcnState& state : contents.States) {
    if (!CheckMcnState(state, message)) return false;
    countyCount += state.Counties.size();
  }
  // Record numbers of the county blocks are 16-bit.
  if (1 + stateCount + countyCount > 0xFFFF) {
    message = std::to_string(countyCount) + " counties are more than a county names file can hold.";
    return false;
  }
  TMcnHeaderRec header{};
  header.Version = kMcnVersion;
  header.StateCount = static_cast<uint8_t>(stateCount);
  header.CountyCount = static_cast<uint16_t>(countyCount);
  header.Country = contents.Country;
  header.CountryName = contents.CountryName;
  header.RegionWord = contents.Province ? 1 : 0;
  header.AddressSelector = contents.AddressSelector;
  Append(image, header);
  size_t next = 1 + stateCount;
  for (const TMcnState& state : contents.States) {
    TMcnStateRec rec{};
    rec.FirstCounty = static_cast<uint16_t>(next);
    rec.CountyCount = static_cast<uint8_t>(state.Counties.size());
    rec.StateCode = state.Code;
    rec.Abbrev = state.Abbrev;
    rec.Name = state.Name;
    Append(image, rec);
    next += state.Counties.size();
  }
  for (const TMcnState& state : contents.States)
    for (const TMcnCounty& county : state.Counties) {
      TMcnCountyRec rec{};
      rec.Name = county.Name;
      rec.Code = county.Code;
      Append(image, rec);
    }
  return true;
}

bool WriteRecordImage(const std::string& path, int32_t recordSize, const std::string& image,
                      std::string& message) {
  if (recordSize <= 0 || image.size() % static_cast<size_t>(recordSize) != 0) {
    message = path + "\r\nThe data is not a whole number of records.";
    return false;
  }
  TRecFile file;
  const int64_t count = static_cast<int64_t>(image.size()) / recordSize;
  const bool ok = file.Begin(path, recordSize) && file.WriteRecords(0, count, false, image.data()) &&
                  file.Commit() && file.Close();
  if (ok) return true;
  message = file.FullErrorText();
  file.Discard();
  return false;
}

bool WriteMdfFile(const std::string& path, const TMdfContents& contents, std::string& message) {
  std::string image;
  if (!EncodeMdf(contents, image, message)) {
    message = path + "\r\n" + message;
    return false;
  }
  return WriteRecordImage(path, kMdfRecordSize, image, message);
}

bool WriteMcnFile(const std::string& path, const TMcnContents& contents, std::string& message) {
  std::string image;
  if (!EncodeMcn(contents, image, message)) {
    message = path + "\r\n" + message;
    return false;
  }
  return WriteRecordImage(path, kMcnRecordSize, image, message);
}
