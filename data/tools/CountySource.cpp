// Reader of the county table source (see RefSource.h).
#include <map>

#include "RefSource.h"
#include "common/Cp1252.h"
#include "common/Parse.h"
#include "common/TextUtil.h"
#include "reference/RefLayout.h"

namespace {

constexpr size_t kCountryNameLength = 6;
constexpr size_t kStateAbbrevLength = 3;
constexpr size_t kStateNameLength = 14;
constexpr size_t kCountyNameLength = 20;

class TCountyReader {
 public:
  TCountyReader(const std::string& sourceName, TMcnContents& contents, TSourceFaults& faults)
      : sink_(sourceName, faults), contents_(contents) {}

  bool Read(const std::string& text) {
    contents_ = TMcnContents{};
    for (const TSourceLine& line : SourceLines(text)) {
      line_ = line.Number;
      std::vector<std::string> fields = SplitFields(line.Text, '\t');
      const std::string& key = fields[0];
      if (SameText(key, "country") && fields.size() == 5)
        ReadCountry(fields);
      else if (SameText(key, "state") && fields.size() == 4)
        ReadState(fields);
      else if (SameText(key, "county") && fields.size() == 3)
        ReadCounty(fields);
      else
        Fault("expected a country line (5 fields), a state line (4) or a county line (3), "
              "separated by tabs");
    }
    CheckLastState();
    if (countryLine_ == 0) sink_.Add(line_, "the country line is missing");
    if (contents_.States.empty()) sink_.Add(line_, "the table has no states");
    return !sink_.Any();
  }

 private:
  void Fault(const std::string& message) { sink_.Add(line_, message); }

  bool Text(const std::string& field, size_t limit, const std::string& what, std::string& out) {
    out = Utf8ToCp1252(field);
    if (!out.empty() && out.size() <= limit) return true;
    Fault(what + " \"" + field + "\" must have 1 to " + std::to_string(limit) + " characters");
    return false;
  }

  bool Number(const std::string& field, int high, const std::string& what, int& out) {
    uint16_t value = 0;
    if (ParseWord(field, value) && value >= 1 && value <= high) {
      out = value;
      return true;
    }
    Fault(what + " \"" + field + "\" is not a number from 1 to " + std::to_string(high));
    return false;
  }

  void ReadCountry(const std::vector<std::string>& f) {
    if (countryLine_ != 0 || !contents_.States.empty()) {
      Fault("the country line must come once, before the states");
      return;
    }
    countryLine_ = line_;
    int code = 0;
    uint16_t selector = 0;
    Number(f[1], 65535, "country code", code);
    contents_.Country = static_cast<uint16_t>(code);
    Text(f[2], kCountryNameLength, "country name", contents_.CountryName);
    if (SameText(f[3], "province"))
      contents_.Province = true;
    else if (!SameText(f[3], "state"))
      Fault("region word \"" + f[3] + "\" must be \"state\" or \"province\"");
    if (!ParseWord(f[4], selector) || selector > 255) Fault("address selector must be 0 to 255");
    contents_.AddressSelector = static_cast<uint8_t>(selector);
  }

  void ReadState(const std::vector<std::string>& f) {
    CheckLastState();
    TMcnState state;
    int code = 0;
    bool ok = Number(f[1], 255, "state code", code);
    ok = Text(f[2], kStateAbbrevLength, "state abbreviation", state.Abbrev) && ok;
    ok = Text(f[3], kStateNameLength, "state name", state.Name) && ok;
    state.Code = static_cast<uint8_t>(code);
    if (ok && !stateCodes_.insert({code, line_}).second) Fault("state code " + f[1] + " is given twice");
    if (ok && !abbrevs_.insert({UpperCase(state.Abbrev), line_}).second)
      Fault("state abbreviation " + f[2] + " is given twice");
    if (contents_.States.size() == kMaxStates) Fault("more than " + std::to_string(kMaxStates) + " states");
    contents_.States.push_back(state);
    stateLine_ = line_;
    lastCounty_ = 0;
  }

  void ReadCounty(const std::vector<std::string>& f) {
    if (contents_.States.empty()) {
      Fault("a county line must follow its state's line");
      return;
    }
    TMcnState& state = contents_.States.back();
    TMcnCounty county;
    int code = 0;
    bool ok = Number(f[1], 65535, "county code", code);
    ok = Text(f[2], kCountyNameLength, "county name", county.Name) && ok;
    if (ok && code <= lastCounty_) Fault("county code " + f[1] + " is not above the one before");
    if (state.Counties.size() == kMaxCountiesPerState)
      Fault(state.Abbrev + " has more than " + std::to_string(kMaxCountiesPerState) + " counties");
    county.Code = static_cast<uint16_t>(code);
    lastCounty_ = code;
    state.Counties.push_back(county);
  }

  void CheckLastState() {
    if (!contents_.States.empty() && contents_.States.back().Counties.empty())
      sink_.Add(stateLine_, "state " + contents_.States.back().Abbrev + " has no counties");
  }

  TFaultSink sink_;
  TMcnContents& contents_;
  int line_ = 0;
  int countryLine_ = 0;
  int stateLine_ = 0;
  int lastCounty_ = 0;
  std::map<int, int> stateCodes_;
  std::map<std::string, int> abbrevs_;
};

}  // namespace

bool ParseCountyTable(const std::string& text, const std::string& sourceName, TMcnContents& contents,
                      TSourceFaults& faults) {
  return TCountyReader(sourceName, contents, faults).Read(text);
}

bool ReadCountyTable(const std::string& path, TMcnContents& contents, TSourceFaults& faults) {
  std::string text;
  return ReadSourceFile(path, text, faults) && ParseCountyTable(text, path, contents, faults);
}
