// Checks of typed entries and their messages. Pure logic without Qt: the page fields and the
// grid cell editors call these with the typed text and the field's limits.
#pragma once

#include <cstdint>
#include <string>

#include "common/DayNum.h"

// Check results.
enum : int {
  ecAccepted = 0,
  ecRange = 256,
  ecInvalid = 257,
  ecSpecial = -32768,  // planting rate before its crop; analysis summing to more than 100
};

// Limits of Year Tested.
constexpr int kFirstSoilTestYear = 1970;
constexpr int kLastSoilTestYear = 2078;

// Unsigned whole number: empty gives 0; otherwise lower..limit (lower is 1, or 1970 for Year Tested).
int WordEditCheck(const std::string& text, int limit, int lower, uint16_t& value);
// Signed whole number: empty gives `emptyValue`; otherwise 0..limit.
int SmallIntEditCheck(const std::string& text, int limit, int emptyValue, int16_t& value);
// Decimal number: empty gives `emptyValue`; otherwise above 0 (at least 0 when the empty value
// is -1) and at most `limit`, rounded to `decimals`.
int SingleEditCheck(const std::string& text, double limit, int decimals, float emptyValue, float& value);
// Date of kind 1..6 for the record's year, in the system's short date format; empty gives 0.
int DateEditCheck(const std::string& text, int kind, int year, TDayNum& day);
// Planting rate for a crop of planting class value `classLimit` (0, 10, 100 or 999999).
int PlantRateEditCheck(const std::string& text, bool cropEntered, double classLimit, float& value);
// "N-P-K" in percent; empty gives zeros.
int FertAnalysisEditCheck(const std::string& text, bool percentMode, float& n, float& p, float& k);
// 0, 11, 12 or 14 digits once blanks are removed; anything else than digits and blanks is invalid.
int WatershedNumEditCheck(const std::string& text);

// A number as shown: `decimals` decimals, trailing zeros and point removed.
std::string ShownNumber(double value, int decimals);
// The smallest step of a field with that many decimals: 1, 0.1, 0.01, 0.001.
double SmallestStep(int decimals);

// Messages, word for word.
std::string NumberEditErrorMsg(int code, double upper, double lower);
std::string DateEditErrorMsg(int code, int kind, int year);
std::string PlantRateErrorMsg(bool primary);
std::string FertAnalysisErrorMsg(int code);
std::string WatershedNumErrorMsg();
