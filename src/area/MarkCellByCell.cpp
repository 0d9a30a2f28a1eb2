// The reference marking: every cell of the rectangle tested on its own.
#include "area/CellGrid.h"

void MarkRectangleCellByCell(CellGrid &Covered, const CoordTable &DistinctX,
                             const CoordTable &DistinctY, std::int32_t LowX, std::int32_t HighX,
                             std::int32_t LowY, std::int32_t HighY, std::uint32_t &TotalArea) {
  for (std::int32_t I = LowX; I <= HighX - 1; ++I) {
    std::uint8_t *Row = Covered.Row(I);
    std::uint32_t Width = IntervalLength(DistinctX, I);
    for (std::int32_t J = LowY; J <= HighY - 1; ++J) {
      if (Row[J - 1] != 0)
        continue;
      Row[J - 1] = 1;
      // The result file holds the low 32 bits, so the product and the sum may wrap.
      TotalArea += Width * IntervalLength(DistinctY, J);
    }
  }
}
