#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "area/Sort.h"

namespace {

struct Shape {
  const char *Name;
  std::vector<std::int32_t> Values;
};

std::vector<std::int32_t> Sequence(int Count, std::int32_t Start, std::int32_t Step) {
  std::vector<std::int32_t> Values;
  for (int Index = 0; Index < Count; ++Index)
    Values.push_back(Start + Index * Step);
  return Values;
}

std::vector<std::int32_t> Random(int Count, std::int32_t Low, std::int32_t High, unsigned Seed) {
  std::mt19937 Generator(Seed);
  std::uniform_int_distribution<std::int32_t> Pick(Low, High);
  std::vector<std::int32_t> Values(static_cast<std::size_t>(Count));
  for (std::int32_t &Value : Values)
    Value = Pick(Generator);
  return Values;
}

std::vector<Shape> Shapes() {
  std::vector<std::int32_t> OrganPipe = Sequence(51, 0, 1);
  for (int Index = 50; Index >= 0; --Index)
    OrganPipe.push_back(Index);
  return {
      {"one", {42}},
      {"two in order", {1, 2}},
      {"two reversed", {2, 1}},
      {"equal", std::vector<std::int32_t>(37, 5)},
      {"ascending", Sequence(101, -50, 1)},
      {"descending", Sequence(103, 1000, -7)},
      {"extremes", {INT_MAX, INT_MIN, 0, -1, INT_MAX, 1, INT_MIN, INT_MIN + 1, INT_MAX - 1}},
      {"odd length", Random(7, -3, 3, 1)},
      {"100 entries", Random(100, INT_MIN, INT_MAX, 2)},
      {"102 entries", Random(102, INT_MIN, INT_MAX, 3)},
      {"few values", Random(999, 0, 3, 4)},
      {"organ pipe", OrganPipe},
      {"many", Random(5001, -1000000, 1000000, 5)},
  };
}

using SortFunction = std::function<void(CoordTable &, std::int32_t, std::int32_t)>;

// Sorts Values placed at First.. inside a table whose other entries hold a sentinel, and checks
// the range is the sorted permutation and nothing outside it moved.
void CheckSort(const char *SortName, const SortFunction &Sort, const Shape &Case,
               std::int32_t First) {
  static CoordTable Table;
  const std::int32_t Sentinel = 0x5EE5;
  std::fill(std::begin(Table.Entry), std::end(Table.Entry), Sentinel);
  std::int32_t Last = First + static_cast<std::int32_t>(Case.Values.size()) - 1;
  for (std::int32_t Index = First; Index <= Last; ++Index)
    Table[Index] = Case.Values[static_cast<std::size_t>(Index - First)];
  Sort(Table, First, Last);
  std::vector<std::int32_t> Expected = Case.Values;
  std::sort(Expected.begin(), Expected.end());
  std::vector<std::int32_t> Got(&Table[First], &Table[First] + Case.Values.size());
  EXPECT_EQ(Got, Expected) << SortName << " on " << Case.Name << " at " << First;
  for (std::int32_t Index = 1; Index <= MaxPoints; ++Index)
    if (Index < First || Index > Last) {
      ASSERT_EQ(Table[Index], Sentinel) << SortName << " on " << Case.Name << " touched " << Index;
    }
}

TEST(Sort, BothSortsSortEveryShapeInPlace) {
  for (const Shape &Case : Shapes()) {
    for (std::int32_t First : {1, 2, MaxPoints - static_cast<std::int32_t>(Case.Values.size()) + 1}) {
      CheckSort("ExchangeSort", ExchangeSort, Case, First);
      CheckSort("QuickSort", QuickSort, Case, First);
    }
  }
}

TEST(Sort, FullTableAtCapacity) {
  Shape Full{"full", Random(MaxPoints, INT_MIN, INT_MAX, 6)};
  CheckSort("QuickSort", QuickSort, Full, 1);
  Shape Sorted{"full ascending", Sequence(MaxPoints, -10000, 1)};
  CheckSort("QuickSort", QuickSort, Sorted, 1);
}

TEST(Sort, ExchangeSortLeavesEmptyAndNegativeRangesAlone) {
  static CoordTable Table;
  std::fill(std::begin(Table.Entry), std::end(Table.Entry), 9);
  Table[1] = 3;
  Table[2] = 1;
  for (auto [First, Last] : {std::pair{1, 0}, std::pair{1, -7}, std::pair{2, 1}, std::pair{1, 1}})
    ExchangeSort(Table, First, Last);
  EXPECT_EQ(Table[1], 3);
  EXPECT_EQ(Table[2], 1);
}

} // namespace
