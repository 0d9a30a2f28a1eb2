// What the benchmark programs share: the two markings, the rectangle file, and the engine's
// own steps from rectangles to cell spans, run the way the job runs them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "area/CellGrid.h"
#include "area/CoordTable.h"
#include "support/AreaOracle.h"

using MarkFunction = void (*)(CellGrid &Covered, const CoordTable &DistinctX,
                              const CoordTable &DistinctY, std::int32_t LowX, std::int32_t HighX,
                              std::int32_t LowY, std::int32_t HighY, std::uint32_t &TotalArea);

// The marking the job uses.
inline constexpr MarkFunction FastMark = &MarkRectangle;

// The plain cell-by-cell marking, the reference the fast one is measured against.
inline constexpr MarkFunction PlainMark = &MarkRectangleCellByCell;

// Above this many cell tests the plain marking is not run: it would take minutes.
inline constexpr double PlainCellTestLimit = 2e9;

// Reads a rectangle file as the generator writes it: the count, then four decimal numbers a
// rectangle. Throws std::runtime_error when the file is missing or short.
std::vector<Rectangle> ReadRectangleFile(const std::string &Path);

// Writes Text to Path; throws std::runtime_error on failure.
void WriteWholeFile(const std::string &Path, const std::string &Text);

// One rectangle's place in the grid, as LocateSpan gives it.
struct CellSpan {
  std::int32_t LowX, HighX, LowY, HighY;
};

// The sorted, distinct coordinate lists and each rectangle's span, in file order: what the job
// has in hand just before marking.
struct MarkingPlan {
  std::unique_ptr<CoordTable> DistinctX = std::make_unique<CoordTable>();
  std::unique_ptr<CoordTable> DistinctY = std::make_unique<CoordTable>();
  std::int32_t DistinctXCount = 0;
  std::int32_t DistinctYCount = 0;
  std::vector<CellSpan> Spans;
  // What the plain marking would visit: the sum of spanX * spanY.
  double CellTests = 0;
};

// The job's steps before marking, with the product's sorts, lists and lookup. Throws
// std::invalid_argument above the job's capacity.
MarkingPlan PlanMarking(const std::vector<Rectangle> &Rectangles);

// Marks every span of Plan on Grid, in order, with Mark; gives the area modulo 2^32.
std::uint32_t MarkAll(CellGrid &Grid, const MarkingPlan &Plan, MarkFunction Mark);

// Seconds on the monotonic clock, for differences only.
double MonotonicSeconds();
