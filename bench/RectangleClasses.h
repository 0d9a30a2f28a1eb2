// Seeded rectangle sets of the classes the benchmarks run on. One seed gives one set on one
// machine; the set is what `taldevon_generate CLASS COUNT SEED` writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/AreaOracle.h"

// Every class, in the order the suite reports them.
const std::vector<std::string> &RectangleClassNames();

bool IsRectangleClass(const std::string &Name);

// Throws std::invalid_argument for an unknown class or a count the class cannot be built for.
std::vector<Rectangle> GenerateRectangles(const std::string &ClassName, std::int64_t Count,
                                          std::uint64_t Seed);
