// Splits RTF bytes into tokens: group braces, control words with their parameter, control
// symbols, hexadecimal byte escapes and plain text bytes. Every call consumes at least one byte,
// so a reader driven by it always reaches the end, whatever the input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class TRtfToken { End, GroupOpen, GroupClose, Word, Symbol, Byte, Text };

class TRtfLexer {
 public:
  explicit TRtfLexer(std::string_view data) : data_(data) {}

  TRtfToken Next();

  // Of the last Word: its letters (at most 32 kept), whether a number followed, the number
  // (clamped to the 32-bit range).
  const std::string& Name() const { return name_; }
  bool HasParam() const { return hasParam_; }
  int Param() const { return param_; }
  // Of the last Symbol: the character after the backslash. Of the last Byte: its value. Of the
  // last Text: the run of plain bytes (raw line ends left out).
  char Symbol() const { return symbol_; }
  unsigned char Byte() const { return byte_; }
  std::string_view Text() const { return text_; }

  // Skips binary data that follows \binN: at most what is left.
  void SkipBytes(long long count);
  bool AtEnd() const { return pos_ >= data_.size(); }

 private:
  TRtfToken ReadControl();
  TRtfToken ReadWord();
  static int HexValue(char c);

  std::string_view data_;
  size_t pos_ = 0;
  std::string name_;
  bool hasParam_ = false;
  int param_ = 0;
  char symbol_ = 0;
  unsigned char byte_ = 0;
  std::string_view text_;
};
