// In-place ascending sorts of a range of a coordinate table: a quadratic exchange sort for
// small ranges, a recursive middle-pivot partition sort for the rest.
#pragma once

#include "area/CoordTable.h"

// Any range inside 1..MaxPoints; fewer than two entries are left alone.
void ExchangeSort(CoordTable &Table, std::int32_t First, std::int32_t Last);

// 1 <= First <= Last <= MaxPoints.
void QuickSort(CoordTable &Table, std::int32_t First, std::int32_t Last);
