#include "area/CoordinateLists.h"

std::int32_t FindIndex(const CoordTable &Table, std::int32_t First, std::int32_t Last,
                       std::int32_t Key) {
  // Tested before the first probe, so that an empty range is never read.
  while (First <= Last) {
    std::int32_t Middle = (First + Last) / 2;
    if (Key < Table[Middle])
      Last = Middle - 1;
    else if (Table[Middle] < Key)
      First = Middle + 1;
    else
      return Middle;
  }
  return -1;
}

Span LocateSpan(const CoordTable &Distinct, std::int32_t Count, std::int32_t FirstValue,
                std::int32_t SecondValue) {
  constexpr Span Empty = {1, 1};
  std::int32_t Low = FindIndex(Distinct, 1, Count, FirstValue);
  if (Low < 1 || SecondValue == FirstValue)
    return Empty;
  // The second value stands past the first in the list, or before it when the corners come
  // the other way round. A search rather than a step-by-step scan: a rectangle spanning the
  // whole list would otherwise cost 20000 steps per side.
  if (FirstValue < SecondValue) {
    std::int32_t High = FindIndex(Distinct, Low + 1, Count, SecondValue);
    return High < 1 ? Empty : Span{Low, High};
  }
  std::int32_t Other = FindIndex(Distinct, 1, Low - 1, SecondValue);
  return Other < 1 ? Empty : Span{Other, Low};
}
