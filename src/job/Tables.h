// The job's tables: static, zero when the process starts, alive for the whole run.
#pragma once

#include <cstdint>

#include "area/CellGrid.h"
#include "area/CoordTable.h"
#include "textfile/TextFile.h"

constexpr std::int32_t MaxRectangles = MaxPoints / 2;
constexpr std::int32_t SmallSortLimit = 100;
// The run-time error of a count the tables cannot hold.
constexpr std::int32_t CapacityError = 201;

extern TextFile RectFile;
extern std::int32_t PointCount;
extern std::int32_t CornerIndex;
extern CoordTable CornerX, CornerY;
extern CoordTable SortedX, SortedY;
extern CoordTable DistinctX, DistinctY;
extern std::int32_t DistinctXCount, DistinctYCount;
extern std::int32_t LowY, HighY;
extern CellGrid Covered;
extern std::uint32_t TotalArea;
