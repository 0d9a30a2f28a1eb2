// The whole job, through the host double, against the worked examples and an independent
// sweep-line answer on seeded random files.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "job/Tables.h"
#include "support/AreaOracle.h"
#include "support/FakeHost.h"
#include "support/JobRunner.h"

namespace {

std::string ResultOf(const std::string &Rectangles) {
  FakeHost Fake;
  Fake.Files["Taldevon.DAT"] = Rectangles;
  JobOutcome Outcome = RunJobOn(Fake);
  EXPECT_EQ(Outcome.ExitCode, 0) << Outcome.Output;
  return Fake.Files["Taldevon.SOL"];
}

TEST(UnionArea, WorkedExamples) {
  struct Example {
    const char *Rectangles;
    const char *Result;
  } Examples[] = {
      {"1\n0 0 2 3\n", "6\r\n"},
      {"2\n0 0 2 3\n0 0 2 3\n", "6\r\n"},
      {"2\n0 0 2 2\n1 1 3 3\n", "7\r\n"},
      {"2\n1 1 3 3\n0 0 2 2\n", "7\r\n"},
      {"2\n0 0 1 1\n1 0 2 1\n", "2\r\n"},
      {"2\n0 0 10 10\n5 5 6 6\n", "100\r\n"},
      {"2\n5 5 6 6\n0 0 10 10\n", "100\r\n"},
      {"2\n0 0 10 10\n2 2 5 5\n", "100\r\n"},
      {"1\n-5 -5 5 5\n", "100\r\n"},
      {"1\n0 0 65536 65536\n", "0\r\n"},
      {"1\n-2000000000 0 2000000000 1\n", "4000000000\r\n"},
      {"1\n-2147483648 -2147483648 2147483647 2147483647\n", "1\r\n"},
      // Corners in any order name the same rectangle; no width or height, no area.
      {"4\n2 3 0 0\n0 3 2 0\n2 0 0 3\n5 5 5 9\n", "6\r\n"},
      {"2\n0 0 4 4\n1 1 3 1\n", "16\r\n"},
  };
  for (const Example &Case : Examples)
    EXPECT_EQ(ResultOf(Case.Rectangles), Case.Result) << Case.Rectangles;
}

TEST(UnionArea, FiftyAndFiftyOneRectanglesAgree) {
  // 100 corners go through the exchange sort, 102 through the partition sort.
  std::mt19937 Random(51);
  std::vector<Rectangle> Rectangles = RandomRectangles(RectangleShape::Wide, 51, Random);
  std::vector<Rectangle> Fifty(Rectangles.begin(), Rectangles.end() - 1);
  std::vector<Rectangle> WithRepeat = Fifty;
  WithRepeat.push_back(Fifty.front());
  EXPECT_EQ(ResultOf(RectangleFileText(Fifty)), ResultOf(RectangleFileText(WithRepeat)));
  EXPECT_EQ(ResultOf(RectangleFileText(Fifty)),
            std::to_string(UnionAreaBySweep(Fifty)) + "\r\n");
  EXPECT_EQ(ResultOf(RectangleFileText(Rectangles)),
            std::to_string(UnionAreaBySweep(Rectangles)) + "\r\n");
}

TEST(UnionArea, MatchesTheSweepOnRandomFiles) {
  struct Batch {
    RectangleShape Shape;
    const char *Name;
    std::vector<int> Counts;
  } Batches[] = {
      {RectangleShape::Small, "small", {0, 1, 2, 50, 51, 400, 10000}},
      {RectangleShape::Wide, "wide", {1, 50, 51, 150, 10000}},
      {RectangleShape::NearLimits, "near limits", {1, 50, 51, 150, 3000}},
      {RectangleShape::Nested, "nested", {1, 50, 51, 120, 10000}},
      {RectangleShape::Identical, "identical", {1, 50, 51, 10000}},
      {RectangleShape::Lattice, "lattice", {50, 51, 3000}},
      {RectangleShape::Reversed, "reversed", {1, 50, 51, 2000}},
      {RectangleShape::Tiny, "tiny", {50, 51, 10000}},
  };
  for (const Batch &Case : Batches)
    for (int Count : Case.Counts)
      for (unsigned Seed = 1; Seed <= (Count > 1000 ? 1u : 3u); ++Seed) {
        std::mt19937 Random(Seed * 7919 + static_cast<unsigned>(Count));
        std::vector<Rectangle> Rectangles = RandomRectangles(Case.Shape, Count, Random);
        EXPECT_EQ(ResultOf(RectangleFileText(Rectangles)),
                  std::to_string(UnionAreaBySweep(Rectangles)) + "\r\n")
            << Case.Name << ", " << Count << " rectangles, seed " << Seed;
      }
}

} // namespace
