#include "common/TextUtil.h"

namespace {

unsigned char Up(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;  // Latin-1 letters
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

unsigned char Low(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

}  // namespace

char UpCaseChar(char c) { return static_cast<char>(Up(static_cast<unsigned char>(c))); }
char LowCaseChar(char c) { return static_cast<char>(Low(static_cast<unsigned char>(c))); }

std::string UpperCase(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = UpCaseChar(c);
  return out;
}

std::string LowerCase(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = LowCaseChar(c);
  return out;
}

int CompareText(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int ca = Up(static_cast<unsigned char>(a[i]));
    const int cb = Up(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool ContainsText(const std::string& text, const std::string& part) {
  return UpperCase(text).find(UpperCase(part)) != std::string::npos;
}

bool StartsWithText(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool EndsWithText(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && SameText(text.substr(text.size() - suffix.size()), suffix);
}

std::string CapitalizeFirst(const std::string& s) {
  std::string out = s;
  if (!out.empty()) out[0] = UpCaseChar(out[0]);
  return out;
}
