// The core keeps text as 8-bit code page 1252; the desktop program and JSON output use UTF-8.
#pragma once

#include <string>

// Exact conversion; the five bytes code page 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become the C1 control characters of the same value, so every byte string round-trips.
std::string Cp1252ToUtf8(const std::string& text);
// Characters that code page 1252 cannot hold, and malformed UTF-8, become '?'.
std::string Utf8ToCp1252(const std::string& text);
// A message that may hold file names (UTF-8 bytes, as the system gives them) beside code page 1252
// text: well-formed UTF-8 sequences of two or more bytes stay as they are, every other byte is
// read as code page 1252.
std::string MessageToUtf8(const std::string& text);
// The Unicode code point of one code page 1252 byte.
char32_t Cp1252ToUnicode(unsigned char byte);
