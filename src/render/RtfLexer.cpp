#include "render/RtfLexer.h"

#include <cctype>
#include <climits>

namespace {

constexpr size_t kMaxName = 32;
constexpr int kMaxDigits = 10;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int TRtfLexer::HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

TRtfToken TRtfLexer::Next() {
  while (pos_ < data_.size()) {
    const char c = data_[pos_];
    if (c == '{') return ++pos_, TRtfToken::GroupOpen;
    if (c == '}') return ++pos_, TRtfToken::GroupClose;
    if (c == '\\') return ReadControl();
    if (c == '\r' || c == '\n') {
      ++pos_;
      continue;
    }
    const size_t start = pos_;
    while (pos_ < data_.size() && data_[pos_] != '{' && data_[pos_] != '}' && data_[pos_] != '\\' &&
           data_[pos_] != '\r' && data_[pos_] != '\n')
      ++pos_;
    text_ = data_.substr(start, pos_ - start);
    return TRtfToken::Text;
  }
  return TRtfToken::End;
}

TRtfToken TRtfLexer::ReadControl() {
  ++pos_;  // the backslash
  if (pos_ >= data_.size()) return TRtfToken::End;
  const char c = data_[pos_];
  if (IsLetter(c)) return ReadWord();
  ++pos_;
  if (c == '\'') {
    const int hi = pos_ < data_.size() ? HexValue(data_[pos_]) : -1;
    const int lo = pos_ + 1 < data_.size() ? HexValue(data_[pos_ + 1]) : -1;
    if (hi < 0 || lo < 0) {
      symbol_ = '\'';  // a broken escape: read as an unknown symbol
      return TRtfToken::Symbol;
    }
    pos_ += 2;
    byte_ = static_cast<unsigned char>(hi * 16 + lo);
    return TRtfToken::Byte;
  }
  symbol_ = c;
  return TRtfToken::Symbol;
}

TRtfToken TRtfLexer::ReadWord() {
  name_.clear();
  while (pos_ < data_.size() && IsLetter(data_[pos_])) {
    if (name_.size() < kMaxName) name_ += data_[pos_];
    ++pos_;
  }
  hasParam_ = false;
  param_ = 0;
  bool negative = false;
  if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
    negative = true;
    ++pos_;
  }
  long long value = 0;
  int digits = 0;
  while (pos_ < data_.size() && IsDigit(data_[pos_])) {
    if (digits++ < kMaxDigits) value = value * 10 + (data_[pos_] - '0');
    ++pos_;
  }
  if (digits > 0) {
    hasParam_ = true;
    if (negative) value = -value;
    param_ = static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
  }
  if (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;  // the delimiting blank belongs to the word
  return TRtfToken::Word;
}

void TRtfLexer::SkipBytes(long long count) {
  if (count <= 0) return;
  const size_t left = data_.size() - pos_;
  pos_ += static_cast<unsigned long long>(count) < left ? static_cast<size_t>(count) : left;
}
