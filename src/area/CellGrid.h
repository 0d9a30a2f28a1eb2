// The grid of elementary cells, one flag per cell, and the marking that sums their areas.
#pragma once

#include <cstdint>

#include "area/CoordTable.h"

// Row i (1-based, an x interval) and column j (a y interval) is byte (i-1) * MaxPoints + (j-1).
// Zero at start; a cell's flag, once set, stays set.
struct CellGrid {
  std::uint8_t Cells[std::size_t{MaxPoints} * MaxPoints];

  std::uint8_t *Row(std::int32_t I) { return Cells + std::size_t(I - 1) * MaxPoints; }
};

// Marks rows LowX..HighX-1 by columns LowY..HighY-1 and adds the area of every cell it newly
// covers to TotalArea, modulo 2^32. 1 <= LowX, HighX <= DistinctX's count (likewise for y);
// an empty range marks nothing.
void MarkRectangle(CellGrid &Covered, const CoordTable &DistinctX, const CoordTable &DistinctY,
                   std::int32_t LowX, std::int32_t HighX, std::int32_t LowY, std::int32_t HighY,
                   std::uint32_t &TotalArea);
