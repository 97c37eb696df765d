// The one provider of the system's date, time and number conventions.
#pragma once

#include <array>
#include <string>

#include "common/DayNum.h"

struct TLocaleFormats {
  std::string shortDateFormat;  // pattern of d, dd, M, MM, yy, yyyy and the date separator
  char dateSeparator = '/';
  std::string longTimeFormat;   // pattern of h, hh, H, HH, mm, ss and "AM/PM"
  char timeSeparator = ':';
  std::string amString;
  std::string pmString;
  std::array<std::string, 7> shortDayNames;  // Sunday first
  std::string thousandSeparator;
  std::string decimalSeparator;
};

// United States formats: M/d/yyyy, h:mm:ss AM/PM, "," and ".".
TLocaleFormats UsLocaleFormats();
// Formats of the environment's POSIX locale (LC_ALL, LC_TIME, LC_NUMERIC, LANG); the C and POSIX
// locales give the United States formats.
TLocaleFormats EnvironmentLocaleFormats();

// The formats in force: the environment's until something is pinned.
const TLocaleFormats& CurrentLocale();
void SetLocaleFormats(const TLocaleFormats& formats);
// Tests and the command-line tool pin the United States formats.
void PinUsLocale();

// A day number in the short date format; empty for 0.
std::string FormatShortDate(TDayNum day);
// The short date format as a person reads it ("M/D/YYYY", "DD.MM.YYYY").
std::string ShortDateFormText();
// Reads a date typed in the short date format. Two parts (no year) take `defaultYear`; a year
// written with one or two digits is completed (below 80 is 20xx). False for anything unreadable
// or outside 2 January 1900 .. 31 December 2078.
bool ParseShortDate(const std::string& text, int defaultYear, TDayNum& day);
// A time of day in the long time format.
std::string FormatLongTime(int hour, int minute, int second);
