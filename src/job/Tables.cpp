// Storage of the job's tables.
#include "job/Tables.h"

TextFile RectFile;
std::int32_t PointCount;
std::int32_t CornerIndex;
CoordTable CornerX, CornerY;
CoordTable SortedX, SortedY;
CoordTable DistinctX, DistinctY;
std::int32_t DistinctXCount, DistinctYCount;
std::int32_t LowY, HighY;
// Page-aligned so that the grid's pages are its own: untouched, they cost no memory.
alignas(4096) CellGrid Covered;
std::uint32_t TotalArea;
