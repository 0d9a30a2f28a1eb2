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
  if (FirstValue < SecondValue) {
    // The second corner lies past the first; the scan meets it within the list.
    std::int32_t High = Low + 1;
    while (High <= Count && Distinct[High] != SecondValue)
      ++High;
    return High <= Count ? Span{Low, High} : Empty;
  }
  // Corners given the other way round: the same side, found by scanning back.
  std::int32_t High = Low;
  Low = High - 1;
  while (Low >= 1 && Distinct[Low] != SecondValue)
    --Low;
  return Low >= 1 ? Span{Low, High} : Empty;
}
