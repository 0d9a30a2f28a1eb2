#include "support/AreaOracle.h"

#include <algorithm>
#include <limits>

namespace {

struct Event {
  std::int64_t X;
  int Delta;
  std::int64_t Low, High;
};

class CoverTree {
public:
  explicit CoverTree(std::vector<std::int64_t> Ys)
      : Ys(std::move(Ys)), Count(4 * this->Ys.size()), Length(4 * this->Ys.size()) {}

  void Add(std::int64_t Low, std::int64_t High, int Delta) {
    std::size_t From = Position(Low), To = Position(High);
    if (From < To)
      Add(1, 0, Ys.size() - 1, From, To, Delta);
  }
  std::uint64_t Covered() const { return Ys.size() < 2 ? 0 : Length[1]; }

private:
  std::vector<std::int64_t> Ys;
  std::vector<int> Count;
  std::vector<std::uint64_t> Length;

  std::size_t Position(std::int64_t Y) const {
    return static_cast<std::size_t>(std::lower_bound(Ys.begin(), Ys.end(), Y) - Ys.begin());
  }
  // Node covers the elementary intervals Left..Right-1 (between Ys[Left] and Ys[Right]).
  void Add(std::size_t Node, std::size_t Left, std::size_t Right, std::size_t From,
           std::size_t To, int Delta) {
    if (To <= Left || Right <= From)
      return;
    if (From <= Left && Right <= To) {
      Count[Node] += Delta;
    } else {
      std::size_t Middle = (Left + Right) / 2;
      Add(2 * Node, Left, Middle, From, To, Delta);
      Add(2 * Node + 1, Middle, Right, From, To, Delta);
    }
    if (Count[Node] > 0)
      Length[Node] = static_cast<std::uint64_t>(Ys[Right] - Ys[Left]);
    else if (Right - Left == 1)
      Length[Node] = 0;
    else
      Length[Node] = Length[2 * Node] + Length[2 * Node + 1];
  }
};

} // namespace

std::uint32_t UnionAreaBySweep(const std::vector<Rectangle> &Rectangles) {
  std::vector<Event> Events;
  std::vector<std::int64_t> Ys;
  for (const Rectangle &R : Rectangles) {
    std::int64_t X1 = std::min(R.X1, R.X2), X2 = std::max(R.X1, R.X2);
    std::int64_t Y1 = std::min(R.Y1, R.Y2), Y2 = std::max(R.Y1, R.Y2);
    if (X1 == X2 || Y1 == Y2)
      continue;
    Events.push_back({X1, +1, Y1, Y2});
    Events.push_back({X2, -1, Y1, Y2});
    Ys.push_back(Y1);
    Ys.push_back(Y2);
  }
  std::sort(Ys.begin(), Ys.end());
  Ys.erase(std::unique(Ys.begin(), Ys.end()), Ys.end());
  std::sort(Events.begin(), Events.end(),
            [](const Event &A, const Event &B) { return A.X < B.X; });
  CoverTree Tree(Ys);
  // Widths and lengths are below 2^32, so each product fits in 64 bits; the sum wraps modulo
  // 2^64, which keeps its low 32 bits exact.
  std::uint64_t Area = 0;
  for (std::size_t Index = 0; Index < Events.size(); ++Index) {
    if (Index > 0)
      Area += static_cast<std::uint64_t>(Events[Index].X - Events[Index - 1].X) * Tree.Covered();
    Tree.Add(Events[Index].Low, Events[Index].High, Events[Index].Delta);
  }
  return static_cast<std::uint32_t>(Area);
}

std::string RectangleFileText(const std::vector<Rectangle> &Rectangles) {
  std::string Text = std::to_string(Rectangles.size()) + "\n";
  for (const Rectangle &R : Rectangles)
    Text += std::to_string(R.X1) + " " + std::to_string(R.Y1) + " " + std::to_string(R.X2) + " " +
            std::to_string(R.Y2) + "\n";
  return Text;
}

std::vector<Rectangle> RandomRectangles(RectangleShape Shape, int Count, std::mt19937 &Random) {
  constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
  auto Between = [&](std::int64_t Low, std::int64_t High) {
    return static_cast<std::int32_t>(std::uniform_int_distribution<std::int64_t>(Low, High)(Random));
  };
  auto Ordered = [&](std::int64_t Low, std::int64_t High) {
    std::int32_t A = Between(Low, High), B = Between(Low, High);
    while (A == B)
      B = Between(Low, High);
    return std::pair{std::min(A, B), std::max(A, B)};
  };
  std::vector<Rectangle> Rectangles;
  for (int Index = 0; Index < Count; ++Index) {
    Rectangle R{};
    switch (Shape) {
    case RectangleShape::Small:
    case RectangleShape::Wide:
    case RectangleShape::NearLimits: {
      std::int64_t Low = Shape == RectangleShape::Small ? -20 : Min;
      std::int64_t High = Shape == RectangleShape::Small ? 20 : Max;
      if (Shape == RectangleShape::NearLimits && Index % 2 == 0)
        High = Min + 1000;
      else if (Shape == RectangleShape::NearLimits)
        Low = Max - 1000;
      auto [X1, X2] = Ordered(Shape == RectangleShape::NearLimits ? Min : Low,
                              Shape == RectangleShape::NearLimits ? Max : High);
      auto [Y1, Y2] = Ordered(Low, High);
      R = {X1, Y1, X2, Y2};
      break;
    }
    case RectangleShape::Nested: {
      std::int64_t Step = 200000;
      R = {static_cast<std::int32_t>(Min + Index * Step), static_cast<std::int32_t>(Min + Index * Step),
           static_cast<std::int32_t>(Max - Index * Step), static_cast<std::int32_t>(Max - Index * Step)};
      break;
    }
    case RectangleShape::Identical:
      R = {-1000000000, -7, 2000000000, 123456789};
      break;
    case RectangleShape::Lattice: {
      std::int32_t Cell = 1000, X = Between(0, 30), Y = Between(0, 30);
      R = {X * Cell, Y * Cell, (X + 1) * Cell, (Y + Between(1, 3)) * Cell};
      break;
    }
    case RectangleShape::Reversed: {
      auto [X1, X2] = Ordered(-50, 50);
      auto [Y1, Y2] = Ordered(-50, 50);
      int Order = Between(0, 5);
      if (Order == 4)
        X2 = X1; // zero width
      if (Order == 5)
        Y2 = Y1; // zero height
      R = Order % 2 ? Rectangle{X2, Y1, X1, Y2} : Rectangle{X1, Y2, X2, Y1};
      if (Order == 0)
        R = {X2, Y2, X1, Y1};
      break;
    }
    case RectangleShape::Tiny: {
      std::int32_t X = Between(Min, Max - 3), Y = Between(Min, Max - 3);
      R = {X, Y, X + Between(1, 3), Y + Between(1, 3)};
      break;
    }
    }
    Rectangles.push_back(R);
  }
  return Rectangles;
}
