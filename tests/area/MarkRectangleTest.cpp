#include <gtest/gtest.h>

#include <vector>

#include "area/CellGrid.h"
#include "support/FreshGrid.h"

namespace {

class MarkRectangleTest : public ::testing::Test {
protected:
  FreshGrid Grid = MakeFreshGrid();
  CoordTable DistinctX{}, DistinctY{};
  std::uint32_t TotalArea = 0;

  void Lists(const std::vector<std::int32_t> &Xs, const std::vector<std::int32_t> &Ys) {
    for (std::size_t Index = 0; Index < Xs.size(); ++Index)
      DistinctX[static_cast<std::int32_t>(Index + 1)] = Xs[Index];
    for (std::size_t Index = 0; Index < Ys.size(); ++Index)
      DistinctY[static_cast<std::int32_t>(Index + 1)] = Ys[Index];
  }
  void Mark(std::int32_t LowX, std::int32_t HighX, std::int32_t LowY, std::int32_t HighY) {
    MarkRectangle(*Grid, DistinctX, DistinctY, LowX, HighX, LowY, HighY, TotalArea);
  }
  // The flags of rows and columns 1..Size, row by row.
  std::vector<std::vector<int>> Window(std::int32_t Size) {
    std::vector<std::vector<int>> Flags;
    for (std::int32_t I = 1; I <= Size; ++I) {
      Flags.emplace_back();
      for (std::int32_t J = 1; J <= Size; ++J)
        Flags.back().push_back(Grid->Row(I)[J - 1]);
    }
    return Flags;
  }
};

using Flags = std::vector<std::vector<int>>;

TEST_F(MarkRectangleTest, OverlapCountsEachCellOnce) {
  Lists({0, 1, 2, 3}, {0, 1, 2, 3});
  Mark(1, 3, 1, 3);
  EXPECT_EQ(TotalArea, 4u);
  EXPECT_EQ(Window(4), (Flags{{1, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
  Mark(2, 4, 2, 4);
  EXPECT_EQ(TotalArea, 7u);
  EXPECT_EQ(Window(4), (Flags{{1, 1, 0, 0}, {1, 1, 1, 0}, {0, 1, 1, 0}, {0, 0, 0, 0}}));
  Mark(1, 4, 1, 4);
  EXPECT_EQ(TotalArea, 9u);
  Mark(2, 3, 2, 3);
  EXPECT_EQ(TotalArea, 9u) << "a rectangle inside covered cells adds nothing";
}

TEST_F(MarkRectangleTest, CellsOfDifferentSizesAddUp) {
  Lists({0, 5, 6, 10}, {0, 5, 6, 10});
  Mark(2, 3, 2, 3);
  EXPECT_EQ(TotalArea, 1u);
  Mark(1, 4, 1, 4);
  EXPECT_EQ(TotalArea, 100u);
}

TEST_F(MarkRectangleTest, AnyNonZeroFlagReadsAsCovered) {
  Lists({0, 1, 2}, {0, 10, 20});
  Grid->Row(1)[1] = 7;
  Mark(1, 3, 1, 3);
  EXPECT_EQ(TotalArea, 30u);
  EXPECT_EQ(Grid->Row(1)[1], 7) << "a covered cell is left as it is";
}

TEST_F(MarkRectangleTest, EmptyRangesMarkNothing) {
  Lists({0, 1, 2}, {0, 1, 2});
  for (auto [LowX, HighX, LowY, HighY] :
       {std::tuple{2, 2, 1, 3}, std::tuple{1, 3, 2, 2}, std::tuple{3, 1, 1, 3}, std::tuple{1, 3, 3, 1}})
    Mark(LowX, HighX, LowY, HighY);
  EXPECT_EQ(TotalArea, 0u);
  EXPECT_EQ(Window(3), (Flags{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST_F(MarkRectangleTest, AreaWrapsModulo2To32) {
  Lists({0, 65536}, {0, 65536});
  Mark(1, 2, 1, 2);
  EXPECT_EQ(TotalArea, 0u) << "exactly 2^32";
  EXPECT_EQ(Grid->Row(1)[0], 1);
  Lists({-2000000000, 2000000000}, {7, 8});
  Mark(1, 2, 1, 2);
  EXPECT_EQ(TotalArea, 0u) << "the cell is already covered";
  TotalArea = 0;
  Grid->Row(1)[0] = 0;
  Mark(1, 2, 1, 2);
  EXPECT_EQ(TotalArea, 4000000000u) << "a width above 2^31 still counts right";
  Lists({INT32_MIN, INT32_MAX}, {INT32_MIN, INT32_MAX});
  TotalArea = 0;
  Grid->Row(1)[0] = 0;
  Mark(1, 2, 1, 2);
  EXPECT_EQ(TotalArea, 1u) << "(2^32 - 1)^2 modulo 2^32";
}

TEST_F(MarkRectangleTest, WholeGridLeavesTheLastRowAndColumnAlone) {
  for (std::int32_t Index = 1; Index <= MaxPoints; ++Index)
    DistinctX[Index] = DistinctY[Index] = Index;
  Mark(1, MaxPoints, 1, MaxPoints);
  EXPECT_EQ(TotalArea, 399960001u);
  for (std::int32_t J = 1; J <= MaxPoints; ++J)
    ASSERT_EQ(Grid->Row(MaxPoints)[J - 1], 0) << J;
  for (std::int32_t I = 1; I <= MaxPoints; ++I) {
    ASSERT_EQ(Grid->Row(I)[MaxPoints - 1], 0) << I;
    if (I < MaxPoints) {
      ASSERT_EQ(Grid->Row(I)[MaxPoints - 2], 1) << I;
    }
  }
}

} // namespace
