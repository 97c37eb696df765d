// The county names file (.mcn): the states of one country with their counties and the country's
// address conventions. The state table is read at load; counties are read from the file, which
// stays open, whenever they are asked for.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "reference/RefLayout.h"
#include "filebase/RecFile.h"

// The county names file the program uses, in its own folder.
inline constexpr const char* kCountyFileName = "usa.mcn";

// Called with the full error text of a failed county read; true retries the read, false gives up.
using TReadErrorHandler = std::function<bool(const std::string& fullErrorText)>;

class TMcnFile : public TRecFile {
 public:
  bool Load(const std::string& fileName, TReadErrorHandler handler = nullptr);

  uint16_t CountryCode() const { return header_.Country; }
  std::string CountryName() const { return header_.CountryName.Str(); }
  uint8_t AddressSelector() const { return header_.AddressSelector; }
  std::string RegionWord() const;             // "state" or "province"
  std::string RegionWordCapitalized() const;  // "State" or "Province"

  int StateCount() const { return header_.StateCount; }
  // Empty or 0 when the state number is not 1 to StateCount.
  std::string StateAbbrev(int state) const;
  std::string StateName(int state) const;
  int StateCode(int state) const;
  // The first state matching, or 0.
  int FindStateByAbbrev(const std::string& abbrev) const;
  int FindStateByCode(int code) const;

  int CountyCount(int state) const;
  // Empty or 0 when a number is out of range or the county cannot be read.
  std::string CountyName(int county, int state);
  int CountyCode(int county, int state);
  // The first county (1-based) of the state with the code, or 0. The first search in a state reads
  // its counties in one block and keeps their codes, so later searches touch no file.
  int FindCountyByCode(int code, int state);

 private:
  bool ReadAndCheck();
  const TMcnStateRec* State(int state) const;
  // Reads county `county` of `state`, retrying through the handler; false gives the empty result.
  bool ReadCounty(int county, int state, TMcnCountyRec& rec);
  // Reads the state's county codes into the index; false when the block cannot be read.
  bool IndexCounties(int state);

  TMcnHeaderRec header_{};
  std::array<TMcnStateRec, kMaxStates> states_{};
  TReadErrorHandler handler_;
  // Per state: county code -> first county with that code (states indexed so far).
  std::unordered_map<int, std::unordered_map<int, int>> countyByCode_;
};

// Rules of a typed character: accepted (perhaps changed) or refused.
enum class TCharRule { LettersUpper, Letters, DigitsDash, AnyUpper };

// Applies a rule to one character; false when the character is refused.
bool ApplyCharRule(TCharRule rule, char& c);
// Applies a rule and a length limit to a whole entry; false when a character is refused or the
// text is too long. On success `text` holds the accepted form.
bool ApplyEntryRule(TCharRule rule, size_t limit, std::string& text);

// The address conventions chosen by the county names file's selector byte.
class TCountrySettings {
 public:
  explicit TCountrySettings(uint8_t selector) : selector_(selector) {}

  int StateLengthLimit() const { return selector_ == 0 ? 2 : 5; }
  TCharRule StateCharRule() const { return selector_ == 0 ? TCharRule::LettersUpper : TCharRule::Letters; }
  int PostalCodeLengthLimit() const { return selector_ == 0 ? 10 : 7; }
  TCharRule PostalCodeCharRule() const {
    return selector_ == 0 ? TCharRule::DigitsDash : TCharRule::AnyUpper;
  }
  std::string PostalCodeLabel() const { return selector_ == 0 ? "Zip Code" : "Postal Code"; }

 private:
  uint8_t selector_;
};
