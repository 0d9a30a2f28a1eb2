// The grid of elementary cells, one flag per cell, and the marking that sums their areas.
#pragma once

#include <cstddef>
#include <cstdint>

#include "area/CoordTable.h"

// Cells are summarised in blocks of 64 along a row and in bands of 64 rows, so that the
// marking can pass over covered regions a word at a time.
constexpr std::int32_t CellBlock = 64;
constexpr std::int32_t BlocksPerRow = (MaxPoints + CellBlock - 1) / CellBlock;
constexpr std::int32_t BandCount = BlocksPerRow;
constexpr std::int32_t BlockWords = (BlocksPerRow + 63) / 64;

// Row i (1-based, an x interval) and column j (a y interval) is byte (i-1) * MaxPoints + (j-1)
// of Cells. Zero at start; a cell's flag, once set, stays set, and any value but 0 reads as
// covered.
struct CellGrid {
  std::uint8_t Cells[std::size_t{MaxPoints} * MaxPoints];

  // Summaries derived from Cells. Each bit is set only once what it stands for holds, and it
  // never clears, so a stale 0 costs time but never a wrong cell. Counting from 0:
  // RowFull[r] bit b: every cell of row r in block b that can be marked is covered.
  std::uint64_t RowFull[MaxPoints][BlockWords];
  // BandColumnFull[g][b] bit k: column 64b+k is covered in every row of band g.
  std::uint64_t BandColumnFull[BandCount][BlocksPerRow];
  // BandFull[g] bit b: BandColumnFull[g][b] has every column that can be marked.
  std::uint64_t BandFull[BandCount][BlockWords];
  // How many rows of band g have RowFull bit b set.
  std::uint8_t FullRowsInBand[BandCount][BlocksPerRow];

  std::uint8_t *Row(std::int32_t I) { return Cells + std::size_t(I - 1) * MaxPoints; }
};

// Marks rows LowX..HighX-1 by columns LowY..HighY-1 and adds the area of every cell it newly
// covers to TotalArea, modulo 2^32. 1 <= LowX, HighX <= DistinctX's count (likewise for y);
// an empty range marks nothing. Keeps the summaries of Covered up to date.
void MarkRectangle(CellGrid &Covered, const CoordTable &DistinctX, const CoordTable &DistinctY,
                   std::int32_t LowX, std::int32_t HighX, std::int32_t LowY, std::int32_t HighY,
                   std::uint32_t &TotalArea);

// The same cells and the same areas, one cell at a time: the reference the fast marking is
// measured and tested against. Leaves the summaries alone.
void MarkRectangleCellByCell(CellGrid &Covered, const CoordTable &DistinctX,
                             const CoordTable &DistinctY, std::int32_t LowX, std::int32_t HighX,
                             std::int32_t LowY, std::int32_t HighY, std::uint32_t &TotalArea);
