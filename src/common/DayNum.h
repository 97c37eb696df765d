// Day numbers: whole days after 1 January 1900 (1 = 2 January 1900); 0 means no date.
#pragma once

#include <cstdint>
#include <string>

using TDayNum = uint16_t;

constexpr int kFirstDateYear = 1900;
constexpr int kLastDateYear = 2078;

// The day number of a date; a year below 100 counts as 1900 + year. Impossible dates and dates
// outside 2 January 1900 .. 31 December 2078 give 0.
TDayNum EncodeDay(int year, int month, int day);
// Splits a day number into its date; false (and zeros) for 0 or a day beyond 31 December 2078.
bool DecodeDay(TDayNum day, int& year, int& month, int& dayOfMonth);
// Splits any day number a file can hold, up to 6 June 2079; false (and zeros) for 0 only.
bool DecodeAnyDay(TDayNum day, int& year, int& month, int& dayOfMonth);
// 0 = Sunday .. 6 = Saturday.
int DayOfWeek(TDayNum day);
// Today's day number from the system clock (local time).
TDayNum TodayDay();
// The last day number a date can have (31 December 2078).
TDayNum LastDayNum();

// A year typed with two digits: below 80 means 20xx, otherwise 19xx; other years are kept.
int ExpandTwoDigitYear(int year);

// Windows of date entries for the project year: kinds 1 to 6. An unknown kind gives {0, 0}.
struct TDateWindow {
  TDayNum first = 0;
  TDayNum last = 0;
};
TDateWindow DateWindow(int kind, int year);

// yyyy-mm-dd, empty for 0; and its reverse (false for anything else).
std::string FormatIsoDate(TDayNum day);
bool ParseIsoDate(const std::string& text, TDayNum& day);
