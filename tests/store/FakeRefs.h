// Small stand-ins for the loaded reference files, and helpers that build project files quickly.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/TextUtil.h"
#include "store/MdaFile.h"

struct TFakeInput {
  uint32_t cropMask = 0;
  uint16_t kind = 0;
  uint16_t subKind = 0;
};

class TFakeRefs : public TProjectRefs {
 public:
  std::string defName = "/opt/tesserel/stnd-usa.mdf";
  TDayNum release = 40000;
  uint16_t country = 1;
  std::map<uint16_t, TFakeInput> inputs;
  std::vector<std::string> states = {"IA", "MN", "WI"};
  std::map<std::pair<int, int>, std::string> counties = {{{1, 1}, "Adair"}, {{1, 2}, "Story"}};

  std::string DefinitionFileName() const override { return defName; }
  TDayNum DefinitionRelease() const override { return release; }
  uint16_t DefinitionCountry() const override { return country; }
  uint32_t InputCropMask(uint16_t code) const override { return Find(code).cropMask; }
  uint16_t InputKind(uint16_t code) const override { return Find(code).kind; }
  uint16_t InputSubKind(uint16_t code) const override { return Find(code).subKind; }
  // Category 3 inputs of kind 0 are fertilizer materials, other kinds manures.
  int InputListPosition(uint16_t code, int type, uint32_t cropMask) const override {
    int position = 0;
    for (const auto& [c, in] : inputs) {
      if (c / 1000 != code / 1000 || (in.cropMask & cropMask) == 0) continue;
      if (type == 1 && !(c / 1000 == 3 && in.kind == 0)) continue;
      if (type == 2 && !(c / 1000 == 3 && in.kind != 0)) continue;
      ++position;
      if (c == code) return position;
    }
    return 0;
  }
  int InputAppUnit(uint16_t) const override { return 0; }
  std::string InputUnitAbbrev(uint16_t, bool) const override { return {}; }
  std::string RegionWord() const override { return "state"; }
  std::string StateAbbrev(int state) const override {
    return state >= 1 && state <= static_cast<int>(states.size()) ? states[state - 1] : std::string();
  }
  int FindStateByAbbrev(const std::string& abbrev) const override {
    for (size_t i = 0; i < states.size(); ++i)
      if (SameText(states[i], abbrev)) return static_cast<int>(i) + 1;
    return 0;
  }
  std::string CountyName(int county, int state) const override {
    auto it = counties.find({state, county});
    return it == counties.end() ? std::string() : it->second;
  }
  int CountyCode(int county, int state) const override { return CountyName(county, state).empty() ? 0 : county; }

 private:
  TFakeInput Find(uint16_t code) const {
    auto it = inputs.find(code);
    return it == inputs.end() ? TFakeInput{} : it->second;
  }
};

// A record with identity only.
inline TFieldRec NamedRecord(const TMdaFile& f, int32_t id, const std::string& name = {}, const std::string& sub = {}) {
  TFieldRec r = f.NewRecord(id, 1);
  r.Field_Name = name;
  r.SubFld_Nam = sub;
  return r;
}

// Creates a project with records of the given IDs (written in the given order) and leaves it open.
inline bool MakeProject(TMdaFile& f, const std::string& path, const TProjectRefs& refs, const std::vector<int32_t>& ids,
                        uint16_t state = 0, uint16_t year = 2012) {
  if (!f.CreateProject(path, state, refs, "Test project", year)) return false;
  for (size_t i = 0; i < ids.size(); ++i)
    if (!f.WriteRecord(static_cast<int>(i) + 1, NamedRecord(f, ids[i]), false)) return false;
  return true;
}

// The Field_IDs of a project's records in file order.
inline std::vector<int32_t> Ids(TMdaFile& f) {
  std::vector<int32_t> ids;
  TFieldRec r;
  for (int n = 1; n <= f.RecordCount(); ++n)
    if (f.ReadRecord(n, r)) ids.push_back(r.Field_ID);
  return ids;
}


