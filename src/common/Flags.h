// Flag bits: bit n (counted from 1) of a flag word or bit set has the value 1 shl (n - 1).
#pragma once

#include <cstdint>

constexpr uint32_t FlagBit(int n) { return n >= 1 && n <= 32 ? (uint32_t{1} << (n - 1)) : 0; }
constexpr bool HasFlag(uint32_t flags, int n) { return (flags & FlagBit(n)) != 0; }
constexpr uint32_t WithFlag(uint32_t flags, int n, bool on) {
  return on ? (flags | FlagBit(n)) : (flags & ~FlagBit(n));
}
