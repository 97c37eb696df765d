#include "common/Cp1252.h"

namespace {

// 0x80..0x9F; undefined positions carry their own value.
const char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char FromUnicode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns false for a malformed sequence.
bool DecodeUtf8(const std::string& text, size_t& i, char32_t& cp) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  int extra = 0;
  if (c < 0x80) cp = c;
  else if ((c & 0xE0) == 0xC0) cp = c & 0x1F, extra = 1;
  else if ((c & 0xF0) == 0xE0) cp = c & 0x0F, extra = 2;
  else if ((c & 0xF8) == 0xF0) cp = c & 0x07, extra = 3;
  else {
    ++i;
    return false;
  }
  ++i;
  for (int k = 0; k < extra; ++k, ++i) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  return cp >= kMin[extra] && cp <= 0x10FFFF;
}

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) AppendUtf8(out, Cp1252ToUnicode(c));
  return out;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    out += DecodeUtf8(text, i, cp) ? FromUnicode(cp) : '?';
  }
  return out;
}

std::string MessageToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t next = i;
    char32_t cp = 0;
    if (c >= 0x80 && DecodeUtf8(text, next, cp)) {
      out.append(text, i, next - i);
      i = next;
    } else {
      AppendUtf8(out, Cp1252ToUnicode(c));
      ++i;
    }
  }
  return out;
}
