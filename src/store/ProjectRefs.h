// What an open project file needs to know of the loaded reference files: the input definition
// file (release, country, input attributes) and the county names file (state and county names).
// The shell hands in the files it loaded at start-up; tests hand in small fakes.
#pragma once

#include <cstdint>
#include <string>

#include "common/DayNum.h"

class TMcnFile;
class TMdfFile;

class TProjectRefs {
 public:
  virtual ~TProjectRefs() = default;

  // Input definition file.
  virtual std::string DefinitionFileName() const = 0;  // full path
  virtual TDayNum DefinitionRelease() const = 0;
  virtual uint16_t DefinitionCountry() const = 0;
  virtual uint32_t InputCropMask(uint16_t code) const = 0;
  virtual uint16_t InputKind(uint16_t code) const = 0;
  virtual uint16_t InputSubKind(uint16_t code) const = 0;
  // 1-based position of the code among the inputs of its category that pass the filter of
  // `type` (0 all, 1 fertilizer materials, 2 manures) and `cropMask`; 0 when it is not among them.
  virtual int InputListPosition(uint16_t code, int type, uint32_t cropMask) const = 0;
  virtual int InputAppUnit(uint16_t code) const = 0;
  // Short name of the input's cost unit (costUnit) or application unit; empty when not found.
  virtual std::string InputUnitAbbrev(uint16_t code, bool costUnit) const = 0;

  // County names file.
  virtual std::string RegionWord() const = 0;  // "state" or "province"
  virtual std::string StateAbbrev(int state) const = 0;
  // The first state with that abbreviation (without regard to case), or 0.
  virtual int FindStateByAbbrev(const std::string& abbrev) const = 0;
  virtual std::string CountyName(int county, int state) const = 0;
  virtual int CountyCode(int county, int state) const = 0;  // FIPS code; 0 when not found

  // The loaded files themselves, for the costs, subsets and reports; null for stand-ins.
  virtual const TMdfFile* DefinitionFile() const { return nullptr; }
  virtual TMcnFile* CountyFile() const { return nullptr; }
};
