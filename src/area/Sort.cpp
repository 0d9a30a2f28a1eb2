// The two sorts. Values are only compared and exchanged, never subtracted, so every signed
// 32-bit value sorts correctly, both extremes included.
#include "area/Sort.h"

#include <utility>

void ExchangeSort(CoordTable &Table, std::int32_t First, std::int32_t Last) {
  if (Last - 1 < First)
    return;
  for (std::int32_t I = First; I <= Last - 1; ++I)
    for (std::int32_t J = I + 1; J <= Last; ++J)
      if (Table[J] < Table[I])
        std::swap(Table[I], Table[J]);
}

void QuickSort(CoordTable &Table, std::int32_t First, std::int32_t Last) {
  // Reaches the table of this QuickSort call; every recursion works on that one table.
  struct {
    CoordTable &Table;

    void operator()(std::int32_t Lo, std::int32_t Hi) {
      std::int32_t I = Lo;
      std::int32_t J = Hi;
      // Read once: exchanges below may move the pivot's entry, never the pivot.
      const std::int32_t Pivot = Table[(Lo + Hi) / 2];
      // No bound tests: the first pass stops at the pivot's own entry from both sides, later
      // passes at the two entries just exchanged, so I and J stay inside Lo..Hi.
      do {
        while (Table[I] < Pivot)
          ++I;
        while (Pivot < Table[J])
          --J;
        if (I <= J) {
          std::swap(Table[I], Table[J]);
          ++I;
          --J;
        }
      } while (I <= J);
      if (Lo < J)
        (*this)(Lo, J);
      if (I < Hi)
        (*this)(I, Hi);
    }
  } SortRange{Table};

  SortRange(First, Last);
}
