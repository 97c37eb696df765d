#include "reports/WrkOpts.h"

#include "common/Parse.h"

namespace {

constexpr int kRecordLimit = 32768;
constexpr int kFieldIdLimit = 1000000000;

bool ReadBound(const std::string& text, int32_t& value) { return ParseLongInt(text, value) && value > 0; }

// "N" or "N-M" with 0 < N <= M < limit.
bool ParseRange(const std::string& text, int limit, int& from, int& to) {
  int32_t a = 0, b = 0;
  const size_t dash = text.find('-');
  if (dash == std::string::npos) {
    if (!ReadBound(text, a) || a >= limit) return false;
    b = a;
  } else if (!ReadBound(text.substr(0, dash), a) || !ParseLongInt(text.substr(dash + 1), b) || b < a || b >= limit) {
    return false;
  }
  from = a;
  to = b;
  return true;
}

std::string WithoutFirst(std::string text, const std::string& what) {
  const size_t at = text.find(what);
  if (at != std::string::npos) text.erase(at, what.size());
  return text;
}

}  // namespace

std::string RangeEntryText(const TWorksheetSettingsRec& s) {
  if (s.RecordsMode != rmRecordRange && s.RecordsMode != rmIdRange) return {};
  std::string text = std::to_string(s.RangeFrom);
  if (s.RangeTo != s.RangeFrom) text += "-" + std::to_string(s.RangeTo);
  return text;
}

std::string CheckWorksheetSettings(TWorksheetSettingsRec& s, const std::string& rangeEntry, TWorksheetFault* fault) {
  auto fail = [fault](TWorksheetFault f, const std::string& message) {
    if (fault) *fault = f;
    return message;
  };
  if (fault) *fault = TWorksheetFault::None;
  int from = 1, to = 999999999;
  const bool ids = s.RecordsMode == rmIdRange;
  if (s.RecordsMode == rmRecordRange || ids) {
    const bool dashed = rangeEntry.find('-') != std::string::npos;
    if (!ParseRange(rangeEntry, ids ? kFieldIdLimit : kRecordLimit, from, to)) {
      const char* what = ids ? "field ID" : "record";
      return fail(TWorksheetFault::Range, dashed ? std::string("Not a valid ") + what + " range."
                                                 : std::string("Not a valid ") + what + " number or range.");
    }
  }
  if (!s.IncludeCostWorksheet && !s.IncludeNutrientPage)
    return fail(TWorksheetFault::Pages, "At least one page must be included.");
  if (s.UseCustomCosts && s.CustomCostFile.empty())
    return fail(TWorksheetFault::CustomCosts, MissingCostFileText("Use &Custom Costs", "&Load..."));
  if (!s.ShowFieldId && !s.ShowFieldName)
    return fail(TWorksheetFault::FieldIdOrName, "Either Field ID or Field Name must be checked.");
  s.RangeFrom = from;
  s.RangeTo = to;
  return {};
}

std::string MissingCostFileText(const std::string& checkBoxCaption, const std::string& buttonCaption) {
  return "You checked the " + WithoutFirst(checkBoxCaption, "&") +
         " box, but you have not selected a custom cost file.\n\nClick the " +
         WithoutFirst(WithoutFirst(buttonCaption, "&"), "...") +
         " button to select a cost file, or uncheck the box to use standard costs.";
}
