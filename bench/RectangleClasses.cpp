#include "RectangleClasses.h"

#include <algorithm>
#include <limits>
#include <random>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::int64_t Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t Max = std::numeric_limits<std::int32_t>::max();

using Random = std::mt19937_64;

std::int64_t Between(Random &Rng, std::int64_t Low, std::int64_t High) {
  return std::uniform_int_distribution<std::int64_t>(Low, High)(Rng);
}

Rectangle Make(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2) {
  return {static_cast<std::int32_t>(X1), static_cast<std::int32_t>(Y1),
          static_cast<std::int32_t>(X2), static_cast<std::int32_t>(Y2)};
}

// Written out rather than std::shuffle, whose steps the library may choose.
template <typename T> void Shuffle(std::vector<T> &Items, Random &Rng) {
  for (std::size_t Index = Items.size(); Index > 1; --Index)
    std::swap(Items[Index - 1],
              Items[static_cast<std::size_t>(Between(Rng, 0, static_cast<std::int64_t>(Index) - 1))]);
}

std::vector<Rectangle> Uniform(std::int64_t Count, Random &Rng) {
  // Corners stay in the order drawn, so both orders of each side are read.
  std::vector<Rectangle> Out;
  for (std::int64_t Index = 0; Index < Count; ++Index)
    Out.push_back(Make(Between(Rng, Min, Max), Between(Rng, Min, Max), Between(Rng, Min, Max),
                       Between(Rng, Min, Max)));
  return Out;
}

std::vector<Rectangle> Small(std::int64_t Count, Random &Rng) {
  constexpr std::int64_t Widest = 4;
  std::vector<Rectangle> Out;
  for (std::int64_t Index = 0; Index < Count; ++Index) {
    std::int64_t X = Between(Rng, Min, Max - Widest), Y = Between(Rng, Min, Max - Widest);
    Out.push_back(Make(X, Y, X + Between(Rng, 1, Widest), Y + Between(Rng, 1, Widest)));
  }
  return Out;
}

std::vector<Rectangle> Nested(std::int64_t Count, Random &Rng) {
  // Each side starts within Step of its limit and moves in by at most Step per rectangle, so
  // the two sides of an axis never meet: 2 * (Count + 1) * Step < Max - Min. The outer
  // rectangle is drawn too, so that the area is not the same for every seed.
  std::int64_t Step = (Max - Min - 1) / (2 * Count + 3);
  if (Count > 0 && Step < 1)
    throw std::invalid_argument("nested: too many rectangles to shrink strictly");
  std::int64_t X1 = Min + Between(Rng, 0, Step), Y1 = Min + Between(Rng, 0, Step);
  std::int64_t X2 = Max - Between(Rng, 0, Step), Y2 = Max - Between(Rng, 0, Step);
  std::vector<Rectangle> Out;
  for (std::int64_t Index = 0; Index < Count; ++Index) {
    Out.push_back(Make(X1, Y1, X2, Y2));
    X1 += Between(Rng, 1, Step);
    Y1 += Between(Rng, 1, Step);
    X2 -= Between(Rng, 1, Step);
    Y2 -= Between(Rng, 1, Step);
  }
  return Out;
}

std::vector<Rectangle> Strips(std::int64_t Count, Random &Rng) {
  // Thin enough that a band seldom holds another strip's edge, so a strip is a row or a column
  // of one or two cells across the whole grid.
  constexpr std::int64_t Thickest = 16;
  std::vector<char> Horizontal(static_cast<std::size_t>(Count));
  for (std::int64_t Index = 0; Index < Count; ++Index)
    Horizontal[static_cast<std::size_t>(Index)] = Index < Count / 2;
  Shuffle(Horizontal, Rng);
  std::vector<Rectangle> Out;
  for (char IsHorizontal : Horizontal) {
    std::int64_t Low = Between(Rng, Min, Max - Thickest);
    std::int64_t High = Low + Between(Rng, 1, Thickest);
    Out.push_back(IsHorizontal ? Make(Min, Low, Max, High) : Make(Low, Min, High, Max));
  }
  return Out;
}

std::vector<Rectangle> Identical(std::int64_t Count, Random &Rng) {
  Rectangle Big = Make(Between(Rng, Min, Min / 2), Between(Rng, Min, Min / 2),
                       Between(Rng, Max / 2, Max), Between(Rng, Max / 2, Max));
  return std::vector<Rectangle>(static_cast<std::size_t>(Count), Big);
}

std::vector<Rectangle> Lattice(std::int64_t Count, Random &Rng) {
  // About four lattice cells per rectangle: overlaps happen, yet much stays single-covered, and
  // every edge is shared with the lattice lines other rectangles use.
  std::int64_t Side = 2;
  while (Side * Side < 4 * Count)
    ++Side;
  std::int64_t Spacing = std::min<std::int64_t>(Between(Rng, 1000, 100000), (Max - Min) / (Side + 1));
  std::int64_t Origin = Between(Rng, Min, Max - Side * Spacing);
  std::vector<Rectangle> Out;
  for (std::int64_t Index = 0; Index < Count; ++Index) {
    std::int64_t I = Between(Rng, 0, Side - 1), J = Between(Rng, 0, Side - 1);
    std::int64_t Wide = std::min(Between(Rng, 1, 3), Side - I);
    std::int64_t High = std::min(Between(Rng, 1, 3), Side - J);
    Out.push_back(Make(Origin + I * Spacing, Origin + J * Spacing, Origin + (I + Wide) * Spacing,
                       Origin + (J + High) * Spacing));
  }
  return Out;
}

std::vector<Rectangle> Overflow(std::int64_t Count, Random &Rng) {
  // Every side runs from near the lowest to near the highest value, so each width and height
  // exceeds 2^32 - 2002 and the sum of the areas wraps modulo 2^32 many times over.
  constexpr std::int64_t Band = 1000;
  std::vector<Rectangle> Out;
  for (std::int64_t Index = 0; Index < Count; ++Index)
    Out.push_back(Make(Between(Rng, Min, Min + Band), Between(Rng, Min, Min + Band),
                       Between(Rng, Max - Band, Max), Between(Rng, Max - Band, Max)));
  return Out;
}

// The worst case for the fast marking: tall rectangles one cell wide, each in a column of its
// own. Every cell a rectangle covers is new and lies in a row of its own, 20000 bytes from the
// next, so each costs a cache line fetched from memory, and no summary has anything to skip.
std::vector<Rectangle> Worst(std::int64_t Count, Random &Rng) {
  if (Count == 0)
    return {};
  std::int64_t XStep = (Max - Min) / (2 * Count + 2);
  std::int64_t YStep = (Max - Min) / (2 * Count + 2);
  std::vector<std::int64_t> Ends(static_cast<std::size_t>(Count));
  std::vector<std::int64_t> Columns(static_cast<std::size_t>(Count));
  for (std::int64_t Index = 0; Index < Count; ++Index)
    Ends[static_cast<std::size_t>(Index)] = Columns[static_cast<std::size_t>(Index)] = Index;
  Shuffle(Ends, Rng);
  Shuffle(Columns, Rng);
  std::vector<Rectangle> Out;
  for (std::int64_t Index = 0; Index < Count; ++Index) {
    // Every left edge lies left of every right edge, so each rectangle spans Count rows.
    std::int64_t X1 = Min + Index * XStep;
    std::int64_t X2 = Max - Ends[static_cast<std::size_t>(Index)] * XStep;
    std::int64_t Y1 = Min + 2 * Columns[static_cast<std::size_t>(Index)] * YStep;
    Out.push_back(Make(X1, Y1, X2, Y1 + YStep));
  }
  return Out;
}
// ----------------------------------------------------------------------------------------------

struct ClassEntry {
  const char *Name;
  std::vector<Rectangle> (*Make)(std::int64_t, Random &);
};

constexpr ClassEntry Classes[] = {
    {"uniform", Uniform}, {"small", Small},         {"nested", Nested},     {"strips", Strips},
    {"identical", Identical}, {"lattice", Lattice}, {"overflow", Overflow}, {"worst", Worst},
};

} // namespace

const std::vector<std::string> &RectangleClassNames() {
  static const std::vector<std::string> Names = [] {
    std::vector<std::string> List;
    for (const ClassEntry &Entry : Classes)
      List.emplace_back(Entry.Name);
    return List;
  }();
  return Names;
}

bool IsRectangleClass(const std::string &Name) {
  return std::any_of(std::begin(Classes), std::end(Classes),
                     [&](const ClassEntry &Entry) { return Name == Entry.Name; });
}

std::vector<Rectangle> GenerateRectangles(const std::string &ClassName, std::int64_t Count,
                                          std::uint64_t Seed) {
  if (Count < 0)
    throw std::invalid_argument("the count must not be negative");
  for (const ClassEntry &Entry : Classes)
    if (ClassName == Entry.Name) {
      Random Rng(Seed);
      return Entry.Make(Count, Rng);
    }
  throw std::invalid_argument("unknown class: " + ClassName);
}
