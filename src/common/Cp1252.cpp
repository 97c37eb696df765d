#include "common/Cp1252.h"

#include <cstdio>

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

// Latin Extended-A (U+0100..U+017F) by its plain letters; the positions code page 1252 holds itself
// are never looked up.
const char kLatinA[] =
    "AaAaAaCcCcCcCcDd" "DdEeEeEeEeEeGgGg" "GgGgHhHhIiIiIiIi" "IiIiJjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOo" "OoOoRrRrRrSsSsSs" "SsTtTtTtUuUuUuUu" "UuUuWwYyYZzZzZzs";

// The replacement of a character code page 1252 lacks: a plain character, 0 to leave it out.
char Transliterated(char32_t cp) {
  if (cp >= 0x100 && cp <= 0x17F) return kLatinA[cp - 0x100];
  if (cp >= 0x300 && cp <= 0x36F) return 0;  // combining marks
  switch (cp) {
    case 0x0218: return 'S';
    case 0x0219: return 's';
    case 0x021A: return 'T';
    case 0x021B: return 't';
    case 0x01A0: return 'O';
    case 0x01A1: return 'o';
    case 0x01AF: return 'U';
    case 0x01B0: return 'u';
    case 0x02BB:
    case 0x02BC:
    case 0x2032: return '\'';
    case 0x2033: return '"';
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2015:
    case 0x2212: return '-';
    case 0x2044: return '/';
    case 0x202F:
    case 0x205F:
    case 0x3000: return ' ';
    case 0x200B:
    case 0x200C:
    case 0x200D:
    case 0x2060:
    case 0xFEFF: return 0;
    default: return cp >= 0x2000 && cp <= 0x200A ? ' ' : '?';
  }
}

}  // namespace

std::string CodePointName(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

bool ImportUtf8(const std::string& utf8, std::string& text, TTextImport& mode, std::string& why) {
  text.clear();
  text.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    char32_t cp = 0;
    const bool valid = DecodeUtf8(utf8, i, cp);
    const char c = valid ? FromUnicode(cp) : '?';
    if (valid && (c != '?' || cp == '?')) {
      text += c;
      continue;
    }
    if (!mode.Transliterate) {
      text.clear();
      mode.Refused = true;
      why = valid ? "holds the character " + CodePointName(cp) + ", which code page 1252 cannot hold"
                  : "holds bytes that are not UTF-8 (at byte " + std::to_string(start + 1) + ")";
      return false;
    }
    ++mode.Replaced;
    if (const char plain = valid ? Transliterated(cp) : '?'; plain != 0) text += plain;
  }
  return true;
}

size_t FindControlChar(const std::string& text, bool lineBreaks) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (lineBreaks && (c == '\r' || c == '\n')) continue;
    if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) return i;
  }
  return std::string::npos;
}

std::string ControlCharRule(const std::string& text, bool lineBreaks) {
  const size_t at = FindControlChar(text, lineBreaks);
  if (at == std::string::npos) return {};
  return "must not hold control characters (it holds " +
         CodePointName(Cp1252ToUnicode(static_cast<unsigned char>(text[at]))) + ")";
}

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

std::string ShownText(std::string text) {
  for (size_t at; (at = FindControlChar(text)) != std::string::npos;) text[at] = ' ';
  return text;
}
