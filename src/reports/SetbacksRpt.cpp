#include "reports/SetbacksRpt.h"

#include <algorithm>

#include "common/Format.h"
#include "common/Parse.h"
#include "reports/MoreInfo.h"
#include "textdb/ChkFilDb.h"

namespace {

const char* const kHowAppliedCaptions[kHowAppliedCount] = {
    "Liquid, Injected",         "Liquid, Irrigated",   "Liquid, Incorporated",
    "Liquid, Not Incorporated", "Solid, Incorporated", "Solid, Not Incorporated",
};
// The report's words for the methods.
const char* const kHowAppliedReport[kHowAppliedCount] = {
    "Injected", "Irrigated", "Liquid, Incorporated", "Liquid, Not Incorporated", "Solid, Incorporated",
    "Solid, Not Incorporated",
};
const char* const kAppliedToCaptions[kAppliedToCount] = {
    "Pasture",
    "Cover Crop",
    "Frozen Soil",
    "\"Winter\" Application  [Oregon]",
    "\"Good Vegetation\"  [Florida]",
    "\"Outstanding Water\"  [Iowa]",
    "High-Pressure Irrigation (>25 psi)  [Iowa]",
    "\"P Management\"  [Minnesota]",
};
// What the report lists after "Manure Applied To:"; winter and P management are not listed.
const char* const kAppliedToReport[kAppliedToCount] = {
    "  Pasture", "  Cover Crop", "  Frozen Soil", nullptr, "  \"Good Vegetation\"", "  \"Outstanding Water\"",
    "  With High-Pressure Irrigation", nullptr,
};

bool Incorporated(int howApplied) { return howApplied == haLiquidIncorporated || howApplied == haSolidIncorporated; }

TExprVar Flag(const char* name, bool on) { return {name, on ? -1.0 : 0.0, false}; }
TExprVar Value(const char* name, double value) { return {name, value, false}; }
TExprVar Null(const char* name) { return {name, 0, true}; }

// A typed number after trailing blanks are removed: empty, a number in [low, high] (whole when
// asked), or invalid.
enum class TEntryNumber { Empty, Valid, Invalid };
TEntryNumber ReadEntry(const std::string& text, double low, double high, bool whole, double& value) {
  const std::string t = TrimRight(text);
  if (t.empty()) return TEntryNumber::Empty;
  bool ok = false;
  if (whole) {
    int32_t n = 0;
    ok = ParseLongInt(t, n);
    value = n;
  } else {
    ok = ParseReal(t, value);
  }
  return ok && value >= low && value <= high ? TEntryNumber::Valid : TEntryNumber::Invalid;
}

std::string Invalid(const char* label) { return std::string(label) + " is invalid."; }

}  // namespace

const char* HowAppliedCaption(int howApplied) {
  return howApplied >= 0 && howApplied < kHowAppliedCount ? kHowAppliedCaptions[howApplied] : "";
}

const char* AppliedToCaption(int condition) {
  return condition >= 0 && condition < kAppliedToCount ? kAppliedToCaptions[condition] : "";
}

std::vector<TExprVar> SetbacksCriteriaVars(const TSetbacksRptSettingsRec& s) {
  const int how = s.HowApplied;
  const auto& on = s.AppliedTo;
  std::vector<TExprVar> v;
  v.push_back(Flag("IsIrrigate", how == haIrrigated));
  v.push_back(Flag("IsLiquid", how >= haInjected && how <= haLiquidSurface));
  v.push_back(Flag("IsInject", how == haInjected));
  if (how == haInjected) v.push_back(Null("DaysToInc"));
  else v.push_back(Value("DaysToInc", Incorporated(how) ? s.DaysToIncorporation : 100));
  v.push_back(s.SlopePercent >= 0 ? Value("Slope", s.SlopePercent) : Null("Slope"));
  v.push_back(Flag("IsPasture", on[acPasture]));
  v.push_back(Flag("IsCovCrop", on[acCoverCrop]));
  v.push_back(s.ResiduePercent >= 0 ? Flag("IsResidue", s.ResiduePercent >= 30) : Null("IsResidue"));
  v.push_back(s.ResiduePercent >= 0 ? Value("Residue", s.ResiduePercent) : Null("Residue"));
  v.push_back(Flag("IsBuffer", s.BufferWidth > 0));
  v.push_back(Value("BufWidth", s.BufferWidth >= 0 ? s.BufferWidth : 0));
  v.push_back(Flag("IsGoodVeg", on[acGoodVegetation]));
  v.push_back(Flag("IsGradient", s.GradientBarrier));
  v.push_back(Flag("IsOutstWtr", on[acOutstandingWater]));
  v.push_back(Flag("IsIrrHiPrs", on[acHighPressure]));
  v.push_back(Flag("IsFrozen", on[acFrozenSoil]));
  v.push_back(Flag("IsWinter", on[acWinter]));
  v.push_back(Null("NLI"));
  v.push_back(Flag("IsPMgmt", on[acPManagement]));
  v.push_back(Null("Is303dList"));
  return v;
}

std::vector<std::string> SetbackFeatureItems(const TCheckedFileDb& db) {
  std::vector<std::string> items;
  const int rows = std::min(db.FieldRowCount(sbFeatureKey), kMaxSetbackFeatures);
  for (int j = 0; j < rows; ++j) {
    const int o = db.FindFieldRow(sbOperKey, db.GetFieldValue(sbFeatureOper, j));
    items.push_back(db.GetFieldValue(sbFeatureName, j) + "  [" + db.GetFieldValue(sbOperName, o) + "]");
  }
  return items;
}

std::string CheckSetbacksEntries(const TSetbacksEntries& e, TSetbacksRptSettingsRec& s, TSetbacksFault* fault) {
  auto fail = [fault](TSetbacksFault f, const std::string& message) {
    if (fault) *fault = f;
    return message;
  };
  if (fault) *fault = TSetbacksFault::None;
  if (e.tickedFeatures <= 0) return fail(TSetbacksFault::Features, "You must check at least one feature.");
  if (e.howApplied < 0 || e.howApplied >= kHowAppliedCount)
    return fail(TSetbacksFault::HowApplied, "You must select how manure will be applied.");
  double days = -1, buffer = -1, slope = -1, residue = -1;
  const TEntryNumber d = ReadEntry(e.days, 0, 99, false, days);
  if (d == TEntryNumber::Invalid) return fail(TSetbacksFault::Days, Invalid(kDaysToIncLabel));
  if (d == TEntryNumber::Empty && Incorporated(e.howApplied))
    return fail(TSetbacksFault::Days,
                std::string("You must enter ") + kDaysToIncLabel + " when manure is incorporated.");
  const TEntryNumber b = ReadEntry(e.buffer, 1, 999, true, buffer);
  if (b == TEntryNumber::Invalid) return fail(TSetbacksFault::Buffer, Invalid(kBufferWidthLabel));
  const TEntryNumber sl = ReadEntry(e.slope, 0, 50, false, slope);
  if (sl == TEntryNumber::Invalid) return fail(TSetbacksFault::Slope, Invalid(kSlopeLabel));
  const TEntryNumber r = ReadEntry(e.residue, 0, 100, true, residue);
  if (r == TEntryNumber::Invalid) return fail(TSetbacksFault::Residue, Invalid(kResidueLabel));
  s.HowApplied = e.howApplied;
  s.DaysToIncorporation = d == TEntryNumber::Valid ? RoundToDecimals(days, 1) : -1;
  s.BufferWidth = b == TEntryNumber::Valid ? static_cast<int>(buffer) : -1;
  s.SlopePercent = sl == TEntryNumber::Valid ? RoundToDecimals(slope, 1) : -1;
  s.ResiduePercent = r == TEntryNumber::Valid ? static_cast<int>(residue) : -1;
  return {};
}

bool TSetbacksRptDoc::Open(const TSetbacksRptSettingsRec& settings, const std::string& author,
                           const TSetbacksPlace& place) {
  settings_ = settings;
  author_ = author;
  place_ = &place;
  return TDocOutFile::Open(settings.OutputKind, settings.OutputFileName, !settings.SaveToFile,
                           settings.ViewWithWord, kSetbacksTitle, author);
}

void TSetbacksRptDoc::Heading(const std::string& text) {
  SetFont(2, 12);
  StyleOn(stBold);
  Write(text);
  StyleOff(stBold);
  SetFont(2, 10);
  NewLine();
  NewLine();
}

int TSetbacksRptDoc::OperationRow(int j) const {
  return place_->db.FindFieldRow(sbOperKey, place_->db.GetFieldValue(sbFeatureOper, j));
}

void TSetbacksRptDoc::WriteCriteria() {
  const TSetbacksRptSettingsRec& s = settings_;
  Heading("Manure Application Setback Criteria");
  Write(place_->regionWord + ":  " + place_->stateName);
  NewLine();
  std::string how = "How Manure Applied:  ";
  if (s.HowApplied >= 0 && s.HowApplied < kHowAppliedCount) how += kHowAppliedReport[s.HowApplied];
  if (Incorporated(s.HowApplied)) how += " in " + FormatReal(s.DaysToIncorporation, 1, fmtTrimZeros) + " day(s)";
  Write(how);
  NewLine();
  Write("Vegetated Buffer:  " + (s.BufferWidth > 0 ? std::to_string(s.BufferWidth) + " feet" : "None"));
  NewLine();
  Write(std::string("Gradient Barrier:  ") + (s.GradientBarrier ? "Yes" : "No"));
  NewLine();
  Write("Slope:  " + (s.SlopePercent >= 0 ? FormatReal(s.SlopePercent, 1, fmtTrimZeros) + " %" : "Not specified"));
  NewLine();
  Write("Residue:  " + (s.ResiduePercent >= 0 ? std::to_string(s.ResiduePercent) + "%" : "Not specified"));
  NewLine();
  std::string appliedTo = "Manure Applied To:";
  for (int c = 0; c < kAppliedToCount; ++c)
    if (s.AppliedTo[c] && kAppliedToReport[c]) appliedTo += kAppliedToReport[c];
  Write(appliedTo);
  NewLine();
  NewLine();
  NewLine();
}

void TSetbacksRptDoc::WriteDistances(const std::vector<TExprVar>& vars) {
  const TCheckedFileDb& db = place_->db;
  Heading("Manure Application Setback Distances");
  for (int j = 0; j < db.FieldRowCount(sbFeatureKey) && j < static_cast<int>(settings_.Features.size()); ++j) {
    if (!settings_.Features[j]) continue;
    StyleOn(stBold);
    Write(db.GetFieldValue(sbFeatureName, j) + "  [" + db.GetFieldValue(sbOperName, OperationRow(j)) + "]");
    StyleOff(stBold);
    NewLine();
    const std::string key = db.GetFieldValue(sbFeatureKey, j);
    for (int k = 0; k < db.FieldRowCount(sbDistKey); ++k) {
      if (db.GetFieldValue(sbDistFeature, k) != key) continue;
      const int c = db.FindFieldRow(sbCritKey, db.GetFieldValue(sbDistCrit, k));
      if (c < 0) continue;
      double value = 0;
      // An expression that fails or gives null does not apply.
      if (EvaluateExpression(db.GetFieldValue(sbCritApplies, c), vars, value) != exNone || value == 0) continue;
      Write("  " + db.GetFieldValue(sbCritName, c) + ":  " + db.GetFieldValue(sbDistance, k) + " feet");
      NewLine();
    }
    NewLine();
  }
}

void TSetbacksRptDoc::WriteReferences() {
  const TCheckedFileDb& db = place_->db;
  NewLine();
  Heading("Manure Application Setback References");
  // References are listed once per run of ticked features of the same operation type.
  int previous = -1;
  for (int j = 0; j < db.FieldRowCount(sbFeatureKey) && j < static_cast<int>(settings_.Features.size()); ++j) {
    if (!settings_.Features[j]) continue;
    const int o = OperationRow(j);
    if (o == previous) continue;
    previous = o;
    for (int n = 0; n < db.FieldRowCount(sbSrcKey); ++n) {
      if (db.GetFieldInteger(sbSrcOper, n) != db.GetFieldInteger(sbOperKey, o)) continue;
      Write(db.GetFieldValue(sbSrcName, n));
      const std::string url = db.GetFieldValue(sbSrcUrl, n);
      if (!url.empty()) {
        Write("  (");
        SetColor(1);
        WriteLink(url, url);
        SetColor(0);
        Write(")");
      }
      NewLine();
      NewLine();
    }
  }
}

void TSetbacksRptDoc::WriteReport(TReportViewer* viewer) {
  const std::vector<TExprVar> vars = SetbacksCriteriaVars(settings_);
  SetPageLayout(false, 0.5f, 0.5f, 0.5f, 0.5f);
  SetFont(2, 10);
  Write("          " + PreparedLine(author_));
  NewLine();
  NewLine();
  WriteCriteria();
  WriteDistances(vars);
  WriteReferences();
  if (GetStatus() == wsOk) CloseAndView(viewer);
  if (GetStatus() != wsOk) Abandon();
}

std::string WriteSetbacksReportFile(const std::string& path, int kind, const TSetbacksRptSettingsRec& settings,
                                    const std::string& author, const TSetbacksPlace& place) {
  TSetbacksRptSettingsRec s = settings;
  s.OutputKind = kind;
  s.OutputFileName = path;
  s.SaveToFile = true;
  s.ViewWithWord = false;
  TSetbacksRptDoc doc;
  if (doc.Open(s, author, place)) doc.WriteReport(nullptr);
  return doc.GetStatus() == wsOk ? std::string() : doc.GetErrorText();
}
