#include "TsCheck.h"

#include <cmath>

#include "common/Format.h"
#include "common/Locale.h"
#include "common/Parse.h"

namespace {

const char kNumberUndo[] = "\n\nCorrect the number or press Ctrl+Z to undo your changes.";
const char kDateUndo[] = "\n\nCorrect the date or press Ctrl+Z to undo changes.";

bool IsBlank(const std::string& text) { return Trim(text).empty(); }

// Rounds by formatting with the decimals and reading the result back.
float RoundTo(double value, int decimals) {
  double rounded = 0;
  ParseReal(FormatReal(value, decimals), rounded);
  return static_cast<float>(rounded);
}

}  // namespace

int WordEditCheck(const std::string& text, int limit, int lower, uint16_t& value) {
  value = 0;
  if (text.empty()) return ecAccepted;
  uint16_t parsed = 0;
  if (!ParseWord(TrimRight(text), parsed)) return ecInvalid;
  value = parsed;
  return parsed >= lower && parsed <= limit ? ecAccepted : ecRange;
}

int SmallIntEditCheck(const std::string& text, int limit, int emptyValue, int16_t& value) {
  value = static_cast<int16_t>(emptyValue);
  if (text.empty()) return ecAccepted;
  int16_t parsed = 0;
  if (!ParseSmallInt(TrimRight(text), parsed)) return ecInvalid;
  value = parsed;
  return parsed >= 0 && parsed <= limit ? ecAccepted : ecRange;
}

int SingleEditCheck(const std::string& text, double limit, int decimals, float emptyValue, float& value) {
  value = emptyValue;
  if (text.empty()) return ecAccepted;
  float parsed = 0;
  if (!ParseSingle(TrimRight(text), parsed)) return ecInvalid;
  value = parsed;
  const bool zeroAllowed = emptyValue < 0;
  if ((zeroAllowed ? parsed < 0 : parsed <= 0) || parsed > limit) return ecRange;
  value = RoundTo(parsed, decimals);
  return ecAccepted;
}

int DateEditCheck(const std::string& text, int kind, int year, TDayNum& day) {
  day = 0;
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return ecAccepted;
  if (!ParseShortDate(trimmed, year, day)) return ecInvalid;
  const TDateWindow window = DateWindow(kind, year);
  return day >= window.first && day <= window.last ? ecAccepted : ecRange;
}

int PlantRateEditCheck(const std::string& text, bool cropEntered, double classLimit, float& value) {
  value = 0;
  if (text.empty()) return ecAccepted;
  if (!cropEntered) return ecSpecial;
  const int code = SingleEditCheck(text, classLimit, 2, 0, value);
  if (code == ecAccepted && value > 1000) value = static_cast<float>(std::round(value));
  return code;
}

int FertAnalysisEditCheck(const std::string& text, bool percentMode, float& n, float& p, float& k) {
  n = p = k = 0;
  if (IsBlank(text)) return ecAccepted;
  const size_t first = text.find('-');
  const size_t second = first == std::string::npos ? first : text.find('-', first + 1);
  if (second == std::string::npos) return ecInvalid;
  const std::string parts[3] = {text.substr(0, first), text.substr(first + 1, second - first - 1),
                                text.substr(second + 1)};
  float values[3] = {};
  for (int i = 0; i < 3; ++i) {
    const std::string part = Trim(parts[i]);
    if (part.empty() || !ParseSingle(part, values[i]) || values[i] < 0) return ecInvalid;
    if (!percentMode && values[i] > 999) return ecInvalid;
  }
  if (percentMode && double(values[0]) + values[1] + values[2] > 100) return ecSpecial;
  n = RoundTo(values[0], 1);
  p = RoundTo(values[1], 1);
  k = RoundTo(values[2], 1);
  return ecAccepted;
}

int WatershedNumEditCheck(const std::string& text) {
  size_t digits = 0;
  for (char c : text) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return ecInvalid;
    ++digits;
  }
  return digits == 0 || digits == 11 || digits == 12 || digits == 14 ? ecAccepted : ecInvalid;
}

std::string ShownNumber(double value, int decimals) {
  return decimals > 0 ? FormatReal(value, decimals, fmtTrimZeros) : FormatReal(value, 0);
}

double SmallestStep(int decimals) { return std::pow(10.0, -decimals); }

std::string NumberEditErrorMsg(int code, double upper, double lower) {
  if (code != ecRange) return std::string("Number is invalid.") + kNumberUndo;
  return "Number is not in the range " + ShownNumber(lower, 3) + " - " + ShownNumber(upper, 3) + "." + kNumberUndo;
}

std::string DateEditErrorMsg(int code, int kind, int year) {
  if (code != ecRange) {
    // The form to type, with an example in the record's year.
    const int exampleYear = year >= 1900 && year <= 2078 ? year : 2024;
    return "Date is invalid. Type it as " + ShortDateFormText() + ", for example " +
           FormatShortDate(EncodeDay(exampleYear, 4, 25)) + "." + kDateUndo;
  }
  const TDateWindow window = DateWindow(kind, year);
  return "Date is not in the range " + FormatShortDate(window.first) + "-" + FormatShortDate(window.last) + "." +
         kDateUndo;
}

std::string PlantRateErrorMsg(bool primary) {
  return std::string(primary ? "Primary Crop" : "Cover/First Crop") +
         " has not been entered yet.\n\nPress Ctrl+Z to undo changes.";
}

std::string FertAnalysisErrorMsg(int code) {
  if (code == ecSpecial)
    return "Analysis percentages can't sum to greater than 100.\n\nCorrect the analysis or press Ctrl+Z to undo "
           "changes.";
  return "Invalid fertilizer analysis.\n\nCorrect the analysis or press Ctrl+Z to undo changes.";
}

std::string WatershedNumErrorMsg() {
  return "Watershed number must be 11, 12 or 14 digits long.\n\nCorrect the number or press Ctrl+Z to undo changes.";
}
