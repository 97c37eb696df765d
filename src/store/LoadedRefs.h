// The reference files loaded at start-up, as the project file sees them.
#pragma once

#include "reference/McnFile.h"
#include "reference/MdfFile.h"
#include "store/ProjectRefs.h"

class TLoadedRefs : public TProjectRefs {
 public:
  // Neither file is owned; both must outlive this object.
  TLoadedRefs(TMcnFile& counties, const TMdfFile& definitions) : counties_(counties), definitions_(definitions) {}

  std::string DefinitionFileName() const override { return definitions_.FileName; }
  TDayNum DefinitionRelease() const override { return definitions_.ReleaseDate(); }
  uint16_t DefinitionCountry() const override { return definitions_.Country(); }
  uint32_t InputCropMask(uint16_t code) const override { return definitions_.InputCropMask(code); }
  uint16_t InputKind(uint16_t code) const override { return static_cast<uint16_t>(definitions_.InputKind(code)); }
  uint16_t InputSubKind(uint16_t code) const override {
    return static_cast<uint16_t>(definitions_.InputSubKind(code));
  }
  int InputListPosition(uint16_t code, int type, uint32_t cropMask) const override {
    return definitions_.InputListPosition(code, type, cropMask);
  }
  int InputAppUnit(uint16_t code) const override { return definitions_.InputAppUnit(code); }
  std::string InputUnitAbbrev(uint16_t code, bool costUnit) const override {
    return definitions_.InputUnitAbbrev(code, costUnit);
  }
  std::string RegionWord() const override { return counties_.RegionWord(); }
  std::string StateAbbrev(int state) const override { return counties_.StateAbbrev(state); }
  int FindStateByAbbrev(const std::string& abbrev) const override { return counties_.FindStateByAbbrev(abbrev); }
  std::string CountyName(int county, int state) const override { return counties_.CountyName(county, state); }
  int CountyCode(int county, int state) const override { return counties_.CountyCode(county, state); }
  const TMdfFile* DefinitionFile() const override { return &definitions_; }
  TMcnFile* CountyFile() const override { return &counties_; }

 private:
  TMcnFile& counties_;
  const TMdfFile& definitions_;
};
