// An independent answer for the union area: a sweep over x with a segment tree over y, exact in
// 64-bit arithmetic and reduced modulo 2^32 only at the end.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct Rectangle {
  std::int32_t X1, Y1, X2, Y2; // two opposite corners, in either order
};

std::uint32_t UnionAreaBySweep(const std::vector<Rectangle> &Rectangles);

// The rectangle file for these rectangles, one per line, LF line ends.
std::string RectangleFileText(const std::vector<Rectangle> &Rectangles);

// Seeded random rectangle sets of the shapes that stress the area: see the definition.
enum class RectangleShape {
  Small,      // small coordinates, much overlap
  Wide,       // coordinates over the whole 32-bit range
  NearLimits, // coordinates close to both 32-bit limits, totals that wrap
  Nested,     // each inside the one before
  Identical,  // one rectangle repeated
  Lattice,    // rectangles sharing edges on a grid
  Reversed,   // corners in every order, some of zero width or height
  Tiny        // many rectangles of few cells each
};
std::vector<Rectangle> RandomRectangles(RectangleShape Shape, int Count, std::mt19937 &Random);
