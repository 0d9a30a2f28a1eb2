// The fixed-capacity, 1-based coordinate table every part of the area engine works on.
#pragma once

#include <cstdint>

constexpr std::int32_t MaxPoints = 20000;

struct CoordTable {
  std::int32_t Entry[MaxPoints];

  // Index 1..MaxPoints; index 0 is never stored.
  std::int32_t &operator[](std::int32_t Index) { return Entry[Index - 1]; }
  const std::int32_t &operator[](std::int32_t Index) const { return Entry[Index - 1]; }
};

// Distinct[Index + 1] - Distinct[Index]. Wraps modulo 2^32 on purpose: an interval wider than
// 2^31 still gives the right area modulo 2^32, which is all the result keeps.
inline std::uint32_t IntervalLength(const CoordTable &Distinct, std::int32_t Index) {
  return static_cast<std::uint32_t>(Distinct[Index + 1]) - static_cast<std::uint32_t>(Distinct[Index]);
}
