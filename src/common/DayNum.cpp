#include "common/DayNum.h"

#include <cstdio>
#include <ctime>

namespace {

// Days from 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

const int64_t kEpoch = DaysFromCivil(1900, 1, 1);

}  // namespace

TDayNum EncodeDay(int year, int month, int day) {
  if (year >= 0 && year < 100) year += 1900;
  if (year < kFirstDateYear || year > kLastDateYear || month < 1 || month > 12) return 0;
  if (day < 1 || day > DaysInMonth(year, month)) return 0;
  const int64_t n = DaysFromCivil(year, month, day) - kEpoch;
  return n < 1 ? 0 : static_cast<TDayNum>(n);
}

TDayNum LastDayNum() {
  static const TDayNum last = EncodeDay(kLastDateYear, 12, 31);
  return last;
}

bool DecodeDay(TDayNum day, int& year, int& month, int& dayOfMonth) {
  if (day > LastDayNum()) {
    year = month = dayOfMonth = 0;
    return false;
  }
  return DecodeAnyDay(day, year, month, dayOfMonth);
}

bool DecodeAnyDay(TDayNum day, int& year, int& month, int& dayOfMonth) {
  if (day == 0) {
    year = month = dayOfMonth = 0;
    return false;
  }
  CivilFromDays(kEpoch + day, year, month, dayOfMonth);
  return true;
}

int DayOfWeek(TDayNum day) {
  // 1 January 1900 was a Monday.
  return static_cast<int>((day + 1) % 7);
}

TDayNum TodayDay() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeDay(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

int ExpandTwoDigitYear(int year) {
  if (year >= 0 && year < 100) return year < 80 ? 2000 + year : 1900 + year;
  return year;
}

TDateWindow DateWindow(int kind, int year) {
  switch (kind) {
    case 1: return {EncodeDay(year - 1, 9, 1), EncodeDay(year, 9, 1)};
    case 2: return {EncodeDay(year - 1, 7, 1), EncodeDay(year, 9, 1)};
    case 3: return {EncodeDay(year - 1, 9, 1), EncodeDay(year, 12, 31)};
    case 4: return {EncodeDay(year - 1, 7, 1), EncodeDay(year, 12, 31)};
    case 5: return {EncodeDay(year - 1, 9, 1), EncodeDay(year, 12, 31)};
    case 6: return {EncodeDay(year, 3, 1), EncodeDay(year, 12, 31)};
    default: return {};
  }
}

std::string FormatIsoDate(TDayNum day) {
  int y, m, d;
  if (!DecodeDay(day, y, m, d)) return {};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

bool ParseIsoDate(const std::string& text, TDayNum& day) {
  day = 0;
  int y, m, d;
  char tail;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
  day = EncodeDay(y, m, d);
  return day != 0 && y >= 100;
}
