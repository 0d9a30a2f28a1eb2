#include "BenchSupport.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <stdexcept>

#include "area/CoordinateLists.h"
#include "area/Sort.h"
#include "job/Tables.h"

std::vector<Rectangle> ReadRectangleFile(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In)
    throw std::runtime_error("cannot open " + Path);
  std::string Line;
  std::getline(In, Line);
  long long Count = std::strtoll(Line.c_str(), nullptr, 10);
  std::vector<Rectangle> Rectangles;
  for (long long Index = 0; Index < Count; ++Index) {
    if (!std::getline(In, Line))
      throw std::runtime_error(Path + ": fewer rectangles than the count says");
    const char *Cursor = Line.c_str();
    long long Value[4];
    for (long long &Number : Value) {
      char *End = nullptr;
      errno = 0;
      Number = std::strtoll(Cursor, &End, 10);
      if (End == Cursor || errno != 0 || Number < INT32_MIN || Number > INT32_MAX)
        throw std::runtime_error(Path + ": bad number on rectangle line " + std::to_string(Index + 1));
      Cursor = End;
    }
    Rectangles.push_back({static_cast<std::int32_t>(Value[0]), static_cast<std::int32_t>(Value[1]),
                          static_cast<std::int32_t>(Value[2]), static_cast<std::int32_t>(Value[3])});
  }
  return Rectangles;
}

void WriteWholeFile(const std::string &Path, const std::string &Text) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out << Text;
  Out.close();
  if (!Out)
    throw std::runtime_error("cannot write " + Path);
}

MarkingPlan PlanMarking(const std::vector<Rectangle> &Rectangles) {
  if (Rectangles.size() > static_cast<std::size_t>(MaxRectangles))
    throw std::invalid_argument("more rectangles than the job can hold");
  MarkingPlan Plan;
  auto SortedX = std::make_unique<CoordTable>();
  auto SortedY = std::make_unique<CoordTable>();
  std::int32_t PointCount = 0;
  for (const Rectangle &R : Rectangles) {
    (*SortedX)[++PointCount] = R.X1;
    (*SortedY)[PointCount] = R.Y1;
    (*SortedX)[++PointCount] = R.X2;
    (*SortedY)[PointCount] = R.Y2;
  }
  // The job's own choice between the two sorts, so that the same code is timed.
  if (PointCount > SmallSortLimit) {
    QuickSort(*SortedX, 1, PointCount);
    QuickSort(*SortedY, 1, PointCount);
  } else {
    ExchangeSort(*SortedX, 1, PointCount);
    ExchangeSort(*SortedY, 1, PointCount);
  }
  for (std::int32_t Index = 1; Index <= PointCount; ++Index) {
    if (Index == 1 || (*SortedX)[Index] != (*SortedX)[Index - 1])
      (*Plan.DistinctX)[++Plan.DistinctXCount] = (*SortedX)[Index];
    if (Index == 1 || (*SortedY)[Index] != (*SortedY)[Index - 1])
      (*Plan.DistinctY)[++Plan.DistinctYCount] = (*SortedY)[Index];
  }
  Plan.Spans.reserve(Rectangles.size());
  for (const Rectangle &R : Rectangles) {
    Span X = LocateSpan(*Plan.DistinctX, Plan.DistinctXCount, R.X1, R.X2);
    Span Y = LocateSpan(*Plan.DistinctY, Plan.DistinctYCount, R.Y1, R.Y2);
    Plan.Spans.push_back({X.Low, X.High, Y.Low, Y.High});
    Plan.CellTests += static_cast<double>(X.High - X.Low) * static_cast<double>(Y.High - Y.Low);
  }
  return Plan;
}

std::uint32_t MarkAll(CellGrid &Grid, const MarkingPlan &Plan, MarkFunction Mark) {
  std::uint32_t TotalArea = 0;
  for (const CellSpan &S : Plan.Spans)
    Mark(Grid, *Plan.DistinctX, *Plan.DistinctY, S.LowX, S.HighX, S.LowY, S.HighY, TotalArea);
  return TotalArea;
}

double MonotonicSeconds() {
  timespec Now;
  clock_gettime(CLOCK_MONOTONIC, &Now);
  return static_cast<double>(Now.tv_sec) + static_cast<double>(Now.tv_nsec) * 1e-9;
}
