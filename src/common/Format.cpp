#include "common/Format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/Locale.h"

namespace {

// Inserts "," between groups of three digits of the whole part; a leading minus sign stays in front.
std::string GroupThousands(const std::string& text) {
  size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
  size_t end = text.find('.');
  if (end == std::string::npos) end = text.size();
  std::string out = text.substr(0, start);
  const size_t digits = end - start;
  for (size_t i = 0; i < digits; ++i) {
    if (i > 0 && (digits - i) % 3 == 0) out += ',';
    out += text[start + i];
  }
  out += text.substr(end);
  return out;
}

// Replaces "," and "." by the system's thousands and decimal separators in one pass.
std::string ApplySystemSeparators(const std::string& text) {
  const TLocaleFormats& loc = CurrentLocale();
  std::string out;
  for (char c : text) {
    if (c == ',') out += loc.thousandSeparator;
    else if (c == '.') out += loc.decimalSeparator;
    else out += c;
  }
  return out;
}

}  // namespace

std::string FormatReal(double value, int decimals, unsigned flags) {
  if ((flags & fmtBlankZero) && value == 0) return {};
  if ((flags & fmtBlankNegative) && value < 0) return {};
  if (decimals < 0) decimals = 0;
  if (!std::isfinite(value)) value = 0;
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text = buf;
  // A value that rounds to zero prints without a minus sign.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  if ((flags & fmtTrimZeros) && decimals > 0) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  if (flags & fmtThousands) text = GroupThousands(text);
  if (flags & fmtSystemSeps) text = ApplySystemSeparators(text);
  return text;
}

std::string FormatInt(int64_t value, unsigned flags) {
  if ((flags & fmtBlankZero) && value == 0) return {};
  if ((flags & fmtBlankNegative) && value < 0) return {};
  std::string text = std::to_string(value);
  if (flags & fmtThousands) {
    text = GroupThousands(text);
    if (flags & fmtSystemSeps) text = ApplySystemSeparators(text);
  }
  return text;
}

std::string Pad(const std::string& s, size_t n) {
  if (s.size() >= n) return s;
  return s + std::string(n - s.size(), ' ');
}

std::string PadLeft(const std::string& s, size_t n) {
  if (s.size() >= n) return s;
  return std::string(n - s.size(), ' ') + s;
}

std::string ShortestReal(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

std::string ShortestSingle(float value) {
  // Fixed notation: a record's 200000 reads "200000", never "2e+05"; the widest float fits.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  return std::string(buf, res.ptr);
}

namespace {
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
}  // namespace

double RoundToDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  // A value that already is the double nearest a number of `decimals` places comes back unchanged
  // (as through the text); the check is exact while value * 10^decimals stays below 2^52.
  if (decimals >= 0 && decimals <= 15) {
    const double scale = kPowersOfTen[decimals], scaled = value * scale;
    if (std::fabs(scaled) < 4.0e15 && std::round(scaled) / scale == value) return value + 0.0;  // -0 as 0
  }
  // The text of FormatReal read back; to_chars and from_chars round exactly as printf and strtod
  // do, without their cost (a value rounded to zero comes back as 0, as FormatReal drops the sign).
  char buf[400];
  if (decimals >= 0) {
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    double read = 0;
    if (written.ec == std::errc() && std::from_chars(buf, written.ptr, read).ec == std::errc())
      return read == 0 ? 0.0 : read;
  }
  return std::strtod(FormatReal(value, decimals).c_str(), nullptr);
}
