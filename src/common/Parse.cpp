#include "common/Parse.h"

#include <charconv>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without leading and trailing blanks, or empty when it has inner blanks or nothing at all.
bool Prepare(const std::string& text, std::string& body) {
  body = Trim(text);
  return !body.empty();
}

// Sign, digits, optional point and digits, optional exponent: nothing else (no hex, no inf, no nan).
bool IsDecimalSyntax(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == s.size();
}

}  // namespace

std::string TrimRight(const std::string& s) {
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1])) --end;
  return s.substr(0, end);
}

std::string TrimLeft(const std::string& s) {
  size_t start = 0;
  while (start < s.size() && IsBlank(s[start])) ++start;
  return s.substr(start);
}

std::string Trim(const std::string& s) {
  size_t start = 0, end = s.size();
  while (start < end && IsBlank(s[start])) ++start;
  while (end > start && IsBlank(s[end - 1])) --end;
  return s.substr(start, end - start);
}

bool ParseInt(const std::string& text, TIntRange range, int64_t& value) {
  value = 0;
  std::string s;
  if (!Prepare(text, s)) return false;
  size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (i == s.size() || s.size() - i > 18) return false;
  for (size_t k = i; k < s.size(); ++k)
    if (!IsDigit(s[k])) return false;
  int64_t v = std::strtoll(s.c_str(), nullptr, 10);
  int64_t lo = 0, hi = 0;
  switch (range) {
    case TIntRange::Word: lo = 0, hi = 65535; break;
    case TIntRange::SmallInt: lo = -32768, hi = 32767; break;
    case TIntRange::LongInt: lo = INT32_MIN, hi = INT32_MAX; break;
  }
  if (v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseWord(const std::string& text, uint16_t& value) {
  int64_t v;
  bool ok = ParseInt(text, TIntRange::Word, v);
  value = static_cast<uint16_t>(v);
  return ok;
}

bool ParseSmallInt(const std::string& text, int16_t& value) {
  int64_t v;
  bool ok = ParseInt(text, TIntRange::SmallInt, v);
  value = static_cast<int16_t>(v);
  return ok;
}

bool ParseLongInt(const std::string& text, int32_t& value) {
  int64_t v;
  bool ok = ParseInt(text, TIntRange::LongInt, v);
  value = static_cast<int32_t>(v);
  return ok;
}

bool ParseReal(const std::string& text, double& value) {
  value = 0;
  std::string s;
  if (!Prepare(text, s) || !IsDecimalSyntax(s)) return false;
  // from_chars reads the checked syntax quickly (a leading "+" aside); out of range falls through.
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);
  double quick = 0;
  if (const auto [end, ec] = std::from_chars(first, s.data() + s.size(), quick);
      ec == std::errc() && end == s.data() + s.size()) {
    value = quick;
    return true;
  }
  errno = 0;
  double v = std::strtod(s.c_str(), nullptr);
  if (errno == ERANGE && std::fabs(v) > 1.0) return false;  // overflow; underflow reads as (almost) 0
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseSingle(const std::string& text, float& value) {
  value = 0;
  double v;
  if (!ParseReal(text, v) || std::fabs(v) > FLT_MAX) return false;
  value = static_cast<float>(v);
  return true;
}
