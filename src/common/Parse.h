// Number parsing from typed or imported text: right-trimmed, complete numbers only.
#pragma once

#include <cstdint>
#include <string>

// The range a whole number must fit.
enum class TIntRange { Word, SmallInt, LongInt };  // 0..65535, -32768..32767, 32-bit signed

// Each parse yields 0 and false when the text is not a complete number of the asked kind.
bool ParseInt(const std::string& text, TIntRange range, int64_t& value);
bool ParseWord(const std::string& text, uint16_t& value);
bool ParseSmallInt(const std::string& text, int16_t& value);
bool ParseLongInt(const std::string& text, int32_t& value);
// Decimal number (with optional exponent); fails on overflow of a double.
bool ParseReal(const std::string& text, double& value);
// As ParseReal, and the value must also fit a 32-bit float.
bool ParseSingle(const std::string& text, float& value);

std::string TrimRight(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string Trim(const std::string& s);
