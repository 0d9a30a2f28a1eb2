// Finding coordinates in the strictly ascending lists of distinct coordinates.
#pragma once

#include "area/CoordTable.h"

// The index in First..Last that holds Key, or -1. Table[First..Last] is strictly ascending.
std::int32_t FindIndex(const CoordTable &Table, std::int32_t First, std::int32_t Last,
                       std::int32_t Key);

// Where a rectangle's side stands in a list: Low < High for a side of positive length,
// Low == High for a side of none.
struct Span {
  std::int32_t Low;
  std::int32_t High;
};

// Distinct[1..Count] is strictly ascending and holds both values. The span runs between the
// two values whichever comes first; it never reaches past Count.
Span LocateSpan(const CoordTable &Distinct, std::int32_t Count, std::int32_t FirstValue,
                std::int32_t SecondValue);
