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
