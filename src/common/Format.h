// Number formatting and padding used by every report, export and entry field.
#pragma once

#include <cstdint>
#include <string>

// Flags of FormatReal and FormatInt.
enum : unsigned {
  fmtBlankZero = 1,      // empty text for 0
  fmtBlankNegative = 2,  // empty text for a negative value
  fmtTrimZeros = 4,      // remove trailing zeros, then a trailing "." (FormatReal only)
  fmtThousands = 8,      // "," between groups of three digits left of the point
  fmtSystemSeps = 16,    // then use the system's thousands and decimal separators
};

// Fixed point with exactly `decimals` decimals and "." as the decimal point, shaped by the flags.
std::string FormatReal(double value, int decimals, unsigned flags = 0);
// A whole number; flag 16 applies only together with flag 8.
std::string FormatInt(int64_t value, unsigned flags = 0);

// Blanks appended (Pad) or put in front (PadLeft) up to n characters; a longer text is returned whole.
std::string Pad(const std::string& s, size_t n);
std::string PadLeft(const std::string& s, size_t n);

// The shortest decimal text that reads back as the same value.
std::string ShortestReal(double value);
std::string ShortestSingle(float value);

// The value rounded to `decimals` decimals the way FormatReal rounds it (formatted and read back).
double RoundToDecimals(double value, int decimals);
