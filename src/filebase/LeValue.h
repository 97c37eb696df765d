// Little-endian values of any alignment, for structures that are copied byte for byte to disk.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

template <class T>
class TLe {
  static_assert(std::is_arithmetic_v<T>);

 public:
  TLe() = default;
  TLe(T v) { Set(v); }  // NOLINT: converts implicitly, as the plain number would
  operator T() const { return Get(); }
  TLe& operator=(T v) {
    Set(v);
    return *this;
  }
  TLe& operator+=(T v) { return *this = static_cast<T>(Get() + v); }
  TLe& operator-=(T v) { return *this = static_cast<T>(Get() - v); }
  TLe& operator|=(T v) { return *this = static_cast<T>(Get() | v); }
  TLe& operator&=(T v) { return *this = static_cast<T>(Get() & v); }
  TLe& operator++() { return *this = static_cast<T>(Get() + 1); }
  TLe& operator--() { return *this = static_cast<T>(Get() - 1); }

  T Get() const {
    T v;
    std::memcpy(&v, bytes_, sizeof v);  // the program only runs on little-endian machines
    return v;
  }
  void Set(T v) { std::memcpy(bytes_, &v, sizeof v); }

 private:
  uint8_t bytes_[sizeof(T)] = {};
};

static_assert(std::endian::native == std::endian::little, "file layouts are little-endian");

using U16 = TLe<uint16_t>;
using I16 = TLe<int16_t>;
using U32 = TLe<uint32_t>;
using I32 = TLe<int32_t>;
using F32 = TLe<float>;

// A day number field: an unsigned 16-bit value that is known to hold a date.
struct TLeDate : TLe<uint16_t> {
  using TLe<uint16_t>::TLe;
  using TLe<uint16_t>::operator=;
};

// string[n]: a length byte and n bytes of code page 1252 text, zero after the text.
template <size_t N>
struct TShortStr {
  static_assert(N >= 1 && N <= 255);
  uint8_t len = 0;
  char text[N] = {};

  static constexpr size_t Capacity() { return N; }
  std::string Str() const { return std::string(text, len <= N ? len : N); }
  operator std::string() const { return Str(); }
  // Stores at most N characters and zeroes the bytes after them.
  void Set(const std::string& s) {
    len = static_cast<uint8_t>(s.size() < N ? s.size() : N);
    std::memset(text, 0, N);
    std::memcpy(text, s.data(), len);
  }
  TShortStr& operator=(const std::string& s) {
    Set(s);
    return *this;
  }
  bool Empty() const { return len == 0; }
};

