// Case-insensitive comparison and case mapping of 8-bit (code page 1252) text.
#pragma once

#include <string>

char UpCaseChar(char c);
char LowCaseChar(char c);
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
// <0, 0, >0 as a and b compare without regard to letter case.
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);
// True when `text` contains `part`, ignoring letter case.
bool ContainsText(const std::string& text, const std::string& part);
bool StartsWithText(const std::string& text, const std::string& prefix);
bool EndsWithText(const std::string& text, const std::string& suffix);
// The text with its first letter in upper case ("state" -> "State").
std::string CapitalizeFirst(const std::string& s);
