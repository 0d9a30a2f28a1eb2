// The fast marking against the cell-by-cell reference: the same cells and the same total after
// every sequence of rectangles, and summaries that never claim a cell that is not covered.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "area/CellGrid.h"
#include "support/FreshGrid.h"

namespace {

struct IndexRectangle {
  std::int32_t LowX, HighX, LowY, HighY;
};

class FastMarking : public ::testing::Test {
protected:
  FreshGrid Fast = MakeFreshGrid();
  FreshGrid Reference = MakeFreshGrid();
  CoordTable DistinctX{}, DistinctY{};
  std::int32_t CountX = 0, CountY = 0;
  std::mt19937 Random{12345};

  std::int32_t Pick(std::int32_t Low, std::int32_t High) {
    return std::uniform_int_distribution<std::int32_t>(Low, High)(Random);
  }

  // Strictly ascending lists with gaps of every size, the wrapping ones included.
  void MakeLists(std::int32_t Xs, std::int32_t Ys) {
    CountX = Xs;
    CountY = Ys;
    for (CoordTable *List : {&DistinctX, &DistinctY}) {
      std::uint32_t Value = 0x80000000u;
      for (std::int32_t Index = 1; Index <= MaxPoints; ++Index) {
        (*List)[Index] = static_cast<std::int32_t>(Value);
        Value += static_cast<std::uint32_t>(Pick(1, Index % 7 == 0 ? 1 << 30 : 1000));
      }
    }
  }

  std::int32_t Edge(std::int32_t Count) {
    // Favour edges next to the summaries' 64-cell boundaries.
    if (Pick(0, 2) == 0) {
      std::int32_t Near = Pick(0, (Count - 1) / 64) * 64 + 1 + Pick(-1, 1);
      return std::clamp(Near, 1, Count);
    }
    return Pick(1, Count);
  }

  IndexRectangle RandomRectangle(int Shape) {
    auto Side = [&](std::int32_t Count, bool Thin) {
      std::int32_t Low = Edge(Count - 1);
      std::int32_t High = Thin ? std::min(Count, Low + Pick(1, 2)) : Pick(Low + 1, Count);
      return std::pair{Low, High};
    };
    switch (Shape) {
    case 0: { // anywhere
      auto [LowX, HighX] = Side(CountX, false);
      auto [LowY, HighY] = Side(CountY, false);
      return {LowX, HighX, LowY, HighY};
    }
    case 1: { // tall and one or two cells wide
      auto [LowY, HighY] = Side(CountY, true);
      return {Pick(1, 3), CountX - Pick(0, 2), LowY, HighY};
    }
    case 2: { // wide and one or two rows high
      auto [LowX, HighX] = Side(CountX, true);
      return {LowX, HighX, Pick(1, 3), CountY - Pick(0, 2)};
    }
    default: { // small
      auto [LowX, HighX] = Side(CountX, true);
      auto [LowY, HighY] = Side(CountY, true);
      return {LowX, HighX, LowY, HighY};
    }
    }
  }

  void MarkBoth(const IndexRectangle &R, std::uint32_t &FastTotal, std::uint32_t &ReferenceTotal) {
    MarkRectangle(*Fast, DistinctX, DistinctY, R.LowX, R.HighX, R.LowY, R.HighY, FastTotal);
    MarkRectangleCellByCell(*Reference, DistinctX, DistinctY, R.LowX, R.HighX, R.LowY, R.HighY,
                            ReferenceTotal);
  }

  void ExpectSameCells(const char *What) {
    for (std::int32_t I = 1; I <= CountX; ++I)
      ASSERT_EQ(std::memcmp(Fast->Row(I), Reference->Row(I), static_cast<std::size_t>(CountY)), 0)
          << What << ": row " << I << " differs";
  }

  // Every summary bit that is set must be true of the cells.
  void ExpectTruthfulSummaries(const char *What) {
    for (std::int32_t Row = 0; Row < CountX; ++Row)
      for (std::int32_t Block = 0; Block < BlocksPerRow; ++Block)
        if (Fast->RowFull[Row][Block / 64] >> (Block % 64) & 1) {
          for (std::int32_t Column = Block * 64; Column < std::min(MaxPoints - 1, Block * 64 + 64); ++Column)
            ASSERT_NE(Fast->Row(Row + 1)[Column], 0) << What << ": row " << Row << " block " << Block;
        }
    for (std::int32_t Band = 0; Band * 64 < CountX; ++Band)
      for (std::int32_t Column = 0; Column < CountY; ++Column)
        if (Fast->BandColumnFull[Band][Column / 64] >> (Column % 64) & 1) {
          for (std::int32_t Row = Band * 64; Row < std::min(MaxPoints - 1, Band * 64 + 64); ++Row)
            ASSERT_NE(Fast->Row(Row + 1)[Column], 0) << What << ": band " << Band << " column " << Column;
        }
  }
};

TEST_F(FastMarking, SameCellsAndTotalAsCellByCell) {
  struct Sequence {
    const char *Name;
    std::int32_t Xs, Ys;
    int Rectangles;
    std::vector<int> Shapes;
  } Sequences[] = {
      {"anywhere on a small grid", 70, 90, 300, {0, 3}},
      {"tall strips crossing wide strips", 300, 280, 400, {1, 2}},
      {"mixed, larger", 700, 650, 300, {0, 1, 2, 3}},
      {"mostly small", 1000, 900, 3000, {3, 3, 3, 0}},
  };
  for (const Sequence &Case : Sequences) {
    Fast = MakeFreshGrid();
    Reference = MakeFreshGrid();
    MakeLists(Case.Xs, Case.Ys);
    std::uint32_t FastTotal = 0, ReferenceTotal = 0;
    for (int Index = 0; Index < Case.Rectangles; ++Index) {
      IndexRectangle R = RandomRectangle(Case.Shapes[static_cast<std::size_t>(Index) % Case.Shapes.size()]);
      MarkBoth(R, FastTotal, ReferenceTotal);
      ASSERT_EQ(FastTotal, ReferenceTotal) << Case.Name << ", after rectangle " << Index;
    }
    ExpectSameCells(Case.Name);
    ExpectTruthfulSummaries(Case.Name);
  }
}

TEST_F(FastMarking, NestedAndRepeatedAtTheFarEndOfTheFullGrid) {
  // The full lists reach the last, narrower block and band, where row and column 20000 can
  // never be marked; the rectangles keep to the last thousand rows so the reference stays quick.
  MakeLists(MaxPoints, MaxPoints);
  constexpr std::int32_t Top = MaxPoints - 1000;
  std::uint32_t FastTotal = 0, ReferenceTotal = 0;
  for (std::int32_t Step = 0; Step < 8; ++Step) {
    std::int32_t In = Step * 61;
    MarkBoth({Top + In, MaxPoints - In, 1 + In * 20, MaxPoints - In - Step % 3}, FastTotal,
             ReferenceTotal);
    ASSERT_EQ(FastTotal, ReferenceTotal) << "nested " << Step;
  }
  for (int Repeat = 0; Repeat < 2; ++Repeat) {
    MarkBoth({Top, MaxPoints, 1, MaxPoints}, FastTotal, ReferenceTotal);
    ASSERT_EQ(FastTotal, ReferenceTotal);
  }
  for (std::int32_t I = Top; I <= MaxPoints; ++I)
    ASSERT_EQ(std::memcmp(Fast->Row(I), Reference->Row(I), MaxPoints), 0) << "row " << I;
  EXPECT_EQ(Fast->Row(MaxPoints)[0], 0);
  EXPECT_EQ(Fast->Row(MaxPoints - 1)[MaxPoints - 1], 0);
}

TEST_F(FastMarking, CoveredHolesAreFoundAgain) {
  // Cells left open between strips must still be found by later, larger rectangles, whatever
  // the summaries said about their neighbours.
  MakeLists(400, 400);
  std::uint32_t FastTotal = 0, ReferenceTotal = 0;
  for (std::int32_t Column = 1; Column < 400; Column += 2)
    MarkBoth({1, 400, Column, Column + 1}, FastTotal, ReferenceTotal);
  for (std::int32_t Row = 2; Row < 400; Row += 3)
    MarkBoth({Row, Row + 1, 1, 400}, FastTotal, ReferenceTotal);
  for (int Index = 0; Index < 200; ++Index)
    MarkBoth(RandomRectangle(0), FastTotal, ReferenceTotal);
  MarkBoth({1, 400, 1, 400}, FastTotal, ReferenceTotal);
  EXPECT_EQ(FastTotal, ReferenceTotal);
  ExpectSameCells("strips then everything");
  ExpectTruthfulSummaries("strips then everything");
}

} // namespace
