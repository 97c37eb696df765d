#include "reference/McnFile.h"

#include <vector>

#include "common/TextUtil.h"

bool TMcnFile::Load(const std::string& fileName, TReadErrorHandler handler) {
  header_ = {};
  states_ = {};
  countyByCode_.clear();
  handler_ = std::move(handler);
  if (!Open(fileName, kMcnRecordSize, omReadDenyWrite)) return false;
  if (ReadAndCheck()) return true;
  Close();
  header_ = {};
  states_ = {};
  return false;
}

bool TMcnFile::ReadAndCheck() {
  if (!ReadRecords(0, 1, &header_)) return false;
  if (header_.Version != kMcnVersion) {
    ErrorState = esVersion;
    return false;
  }
  const int stateCount = header_.StateCount;
  const int64_t records = 1 + stateCount + header_.CountyCount;
  if (stateCount > kMaxStates || FileSize() != records * kMcnRecordSize) {
    ErrorState = esFormat;
    return false;
  }
  if (stateCount > 0 && !ReadRecords(1, stateCount, states_.data())) return false;
  for (int i = 0; i < stateCount; ++i) {
    const TMcnStateRec& s = states_[i];
    if (s.FirstCounty <= stateCount || s.FirstCounty + s.CountyCount > records || s.CountyCount == 255) {
      ErrorState = esFormat;
      return false;
    }
  }
  return true;
}

std::string TMcnFile::RegionWord() const { return header_.RegionWord == 0 ? "state" : "province"; }

std::string TMcnFile::RegionWordCapitalized() const { return CapitalizeFirst(RegionWord()); }

const TMcnStateRec* TMcnFile::State(int state) const {
  return state >= 1 && state <= StateCount() ? &states_[state - 1] : nullptr;
}

std::string TMcnFile::StateAbbrev(int state) const {
  const TMcnStateRec* s = State(state);
  return s ? s->Abbrev.Str() : std::string();
}

std::string TMcnFile::StateName(int state) const {
  const TMcnStateRec* s = State(state);
  return s ? s->Name.Str() : std::string();
}

int TMcnFile::StateCode(int state) const {
  const TMcnStateRec* s = State(state);
  return s ? s->StateCode : 0;
}

int TMcnFile::FindStateByAbbrev(const std::string& abbrev) const {
  for (int state = 1; state <= StateCount(); ++state)
    if (SameText(states_[state - 1].Abbrev.Str(), abbrev)) return state;
  return 0;
}

int TMcnFile::FindStateByCode(int code) const {
  for (int state = 1; state <= StateCount(); ++state)
    if (states_[state - 1].StateCode == code) return state;
  return 0;
}

int TMcnFile::CountyCount(int state) const {
  const TMcnStateRec* s = State(state);
  return s ? s->CountyCount : 0;
}

bool TMcnFile::ReadCounty(int county, int state, TMcnCountyRec& rec) {
  const TMcnStateRec* s = State(state);
  if (!s || county < 1 || county > s->CountyCount) return false;
  const int64_t number = s->FirstCounty + county - 1;
  while (!ReadRecords(number, 1, &rec)) {
    if (!handler_ || !handler_(FullErrorText())) {
      ErrorState = esNone;
      return false;
    }
  }
  return true;
}

std::string TMcnFile::CountyName(int county, int state) {
  TMcnCountyRec rec{};
  return ReadCounty(county, state, rec) ? rec.Name.Str() : std::string();
}

int TMcnFile::CountyCode(int county, int state) {
  TMcnCountyRec rec{};
  return ReadCounty(county, state, rec) ? rec.Code.Get() : 0;
}

bool TMcnFile::IndexCounties(int state) {
  const TMcnStateRec* s = State(state);
  if (!s) return false;
  std::vector<TMcnCountyRec> recs(s->CountyCount);
  if (!recs.empty() && !ReadRecords(s->FirstCounty, s->CountyCount, recs.data())) {
    ErrorState = esNone;
    return false;
  }
  auto& index = countyByCode_[state];
  for (int county = static_cast<int>(recs.size()); county >= 1; --county)  // the first of equal codes wins
    index[recs[county - 1].Code.Get()] = county;
  return true;
}

int TMcnFile::FindCountyByCode(int code, int state) {
  if (const auto it = countyByCode_.find(state); it != countyByCode_.end() || IndexCounties(state)) {
    const auto& index = countyByCode_.at(state);
    const auto found = index.find(code);
    return found == index.end() ? 0 : found->second;
  }
  for (int county = 1; county <= CountyCount(state); ++county) {
    TMcnCountyRec rec{};
    if (ReadCounty(county, state, rec) && rec.Code == code) return county;
  }
  return 0;
}

bool ApplyCharRule(TCharRule rule, char& c) {
  const bool letter = UpCaseChar(c) != LowCaseChar(c);
  const bool digit = c >= '0' && c <= '9';
  switch (rule) {
    case TCharRule::LettersUpper: c = UpCaseChar(c); return letter;
    case TCharRule::Letters: return letter;
    case TCharRule::DigitsDash: return digit || c == '-';
    case TCharRule::AnyUpper: c = UpCaseChar(c); return true;
  }
  return false;
}

bool ApplyEntryRule(TCharRule rule, size_t limit, std::string& text) {
  if (text.size() > limit) return false;
  std::string accepted = text;
  for (char& c : accepted)
    if (!ApplyCharRule(rule, c)) return false;
  text = accepted;
  return true;
}
