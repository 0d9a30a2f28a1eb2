#include <gtest/gtest.h>

#include <vector>

#include "area/CoordinateLists.h"

namespace {

CoordTable ListOf(const std::vector<std::int32_t> &Values) {
  CoordTable Table{};
  for (std::size_t Index = 0; Index < Values.size(); ++Index)
    Table[static_cast<std::int32_t>(Index + 1)] = Values[Index];
  return Table;
}

TEST(FindIndex, FindsEveryEntryAndMissesEveryGap) {
  CoordTable Table = ListOf({10, 20, 30});
  struct {
    std::int32_t Key, Index;
  } Cases[] = {{10, 1}, {20, 2}, {30, 3}, {5, -1}, {25, -1}, {35, -1}, {INT32_MIN, -1}, {INT32_MAX, -1}};
  for (auto Case : Cases)
    EXPECT_EQ(FindIndex(Table, 1, 3, Case.Key), Case.Index) << Case.Key;
}

TEST(FindIndex, ComparesSignedAndKeepsToItsRange) {
  CoordTable Table = ListOf({INT32_MIN, -1, 0, 1, INT32_MAX});
  EXPECT_EQ(FindIndex(Table, 1, 5, INT32_MIN), 1);
  EXPECT_EQ(FindIndex(Table, 1, 5, INT32_MAX), 5);
  EXPECT_EQ(FindIndex(Table, 1, 5, -1), 2);
  EXPECT_EQ(FindIndex(Table, 2, 4, INT32_MIN), -1) << "outside the range searched";
  EXPECT_EQ(FindIndex(Table, 1, 1, INT32_MIN), 1);
  EXPECT_EQ(FindIndex(Table, 1, 0, 0), -1) << "an empty range holds nothing";
}

TEST(FindIndex, FindsEveryEntryOfAFullList) {
  static CoordTable Table;
  for (std::int32_t Index = 1; Index <= MaxPoints; ++Index)
    Table[Index] = Index * 3 - 30000;
  for (std::int32_t Index = 1; Index <= MaxPoints; ++Index) {
    ASSERT_EQ(FindIndex(Table, 1, MaxPoints, Index * 3 - 30000), Index);
    ASSERT_EQ(FindIndex(Table, 1, MaxPoints, Index * 3 - 29999), -1);
  }
}

TEST(LocateSpan, GivesTheSidesOfTheWorkedExamples) {
  struct SpanCase {
    std::vector<std::int32_t> List;
    std::int32_t First, Second;
    Span Expected;
  } Cases[] = {
      {{0, 2}, 0, 2, {1, 2}},
      {{0, 3}, 0, 3, {1, 2}},
      {{0, 1, 2}, 0, 1, {1, 2}}, // edge-sharing neighbours
      {{0, 1, 2}, 1, 2, {2, 3}},
      {{0, 2, 5, 10}, 0, 10, {1, 4}}, // the scan passes 2 and 5
      {{0, 2, 5, 10}, 2, 5, {2, 3}},
      {{-5, -1}, -5, -1, {1, 2}},
      {{INT32_MIN, INT32_MAX}, INT32_MIN, INT32_MAX, {1, 2}},
      // Corners the other way round give the same side.
      {{0, 2, 5, 10}, 10, 0, {1, 4}},
      {{0, 2, 5, 10}, 5, 2, {2, 3}},
  };
  for (const SpanCase &Case : Cases) {
    CoordTable List = ListOf(Case.List);
    Span Got = LocateSpan(List, static_cast<std::int32_t>(Case.List.size()), Case.First, Case.Second);
    EXPECT_EQ(Got.Low, Case.Expected.Low) << Case.First << ".." << Case.Second;
    EXPECT_EQ(Got.High, Case.Expected.High) << Case.First << ".." << Case.Second;
  }
}

TEST(LocateSpan, SideOfNoLengthIsEmpty) {
  CoordTable List = ListOf({0, 2, 5});
  for (std::int32_t Value : {0, 2, 5}) {
    Span Got = LocateSpan(List, 3, Value, Value);
    EXPECT_EQ(Got.Low, Got.High) << Value;
  }
}

TEST(LocateSpan, NeverScansPastTheCount) {
  // Entries past the count hold what a scan without a bound would run into.
  CoordTable List = ListOf({0, 2, 5, 7, 9});
  Span Got = LocateSpan(List, 3, 2, 7);
  EXPECT_EQ(Got.Low, Got.High) << "7 is not in the first three entries";
  Got = LocateSpan(List, 3, 9, 0);
  EXPECT_EQ(Got.Low, Got.High);
}

} // namespace
