// The core keeps text as 8-bit code page 1252; the desktop program and JSON output use UTF-8.
#pragma once

#include <string>

// Exact conversion; the five bytes code page 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become the C1 control characters of the same value, so every byte string round-trips.
std::string Cp1252ToUtf8(const std::string& text);
// Characters that code page 1252 cannot hold, and malformed UTF-8, become '?'. For texts shown or
// compared only; text that is stored goes through ImportUtf8.
std::string Utf8ToCp1252(const std::string& text);
// A message that may hold file names (UTF-8 bytes, as the system gives them) beside code page 1252
// text: well-formed UTF-8 sequences of two or more bytes stay as they are, every other byte is
// read as code page 1252.
std::string MessageToUtf8(const std::string& text);
// The Unicode code point of one code page 1252 byte.
char32_t Cp1252ToUnicode(unsigned char byte);
// A character as "U+0141".
std::string CodePointName(char32_t cp);

// How imported UTF-8 text is taken into code page 1252, over all the texts of one import.
struct TTextImport {
  bool Transliterate = false;  // replace what the code page lacks instead of refusing the text
  int Replaced = 0;            // characters replaced so far
  bool Refused = false;        // a text was refused for a character the code page lacks
};

// UTF-8 text as code page 1252. A character the code page cannot hold, or bytes that are not
// UTF-8, refuse the text: false, `text` empty, `why` names the first ("holds the character U+0141,
// which code page 1252 cannot hold") and mode.Refused is set. With mode.Transliterate they are replaced
// instead and counted: letters with marks by their plain letter (Ł by L), dashes, spaces and
// primes by their plain forms, combining marks and zero-width characters left out, anything else
// by '?'.
bool ImportUtf8(const std::string& utf8, std::string& text, TTextImport& mode, std::string& why);

// The position of the first control character of code page 1252 text (C0 controls, DEL and the five
// undefined bytes), carriage returns and line feeds passed over when `lineBreaks`; npos when none.
size_t FindControlChar(const std::string& text, bool lineBreaks = false);
// Empty when the text holds no control character, else "must not hold control characters (it
// holds U+0009)".
std::string ControlCharRule(const std::string& text, bool lineBreaks = false);
// Text for a message: its control characters as blanks (a rule names them).
std::string ShownText(std::string text);
