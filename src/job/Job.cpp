// The job driver: runs each phase once, in order, on the static tables.
#include "job/Job.h"

#include "area/CoordinateLists.h"
#include "area/Sort.h"
#include "job/Tables.h"
#include "textfile/RunTimeStop.h"
#include "textfile/TextFile.h"

namespace {

// The next two are out of line on purpose: a branch next to a check lets the compiler copy the
// check into both paths, and then one check would report two addresses.
[[gnu::noinline]] void RefuseBeyondCapacity(std::int32_t Count) {
  // Dropping the surplus rectangles would give a wrong area without a word.
  if (Count > MaxRectangles)
    IoStatus = CapacityError;
}

// One statement: both numbers of a corner and, after a rectangle's second corner, the rest of
// its line.
[[gnu::noinline]] void ReadCorner() {
  CornerX[CornerIndex] = ReadNumber(RectFile);
  CornerY[CornerIndex] = ReadNumber(RectFile);
  if (CornerIndex % 2 == 0)
    SkipLine(RectFile);
}

void ReadRectangles() {
  BindName(RectFile, "Taldevon.DAT");
  OpenForReading(RectFile);
  CheckIo();

  std::int32_t Count = ReadNumber(RectFile);
  SkipLine(RectFile);
  // A count beyond the tables stops here, before any corner is read and before the result
  // file is touched.
  RefuseBeyondCapacity(Count);
  CheckIo();

  // A count of zero or less holds no rectangles, also where doubling it would wrap.
  PointCount = Count > 0 ? Count + Count : 0;
  for (CornerIndex = 1; CornerIndex <= PointCount; ++CornerIndex) {
    ReadCorner();
    CheckIo();
    SortedX[CornerIndex] = CornerX[CornerIndex];
    SortedY[CornerIndex] = CornerY[CornerIndex];
  }

  CloseText(RectFile);
  CheckIo();
}

void SortCoordinates() {
  if (PointCount > SmallSortLimit) {
    QuickSort(SortedX, 1, PointCount);
    QuickSort(SortedY, 1, PointCount);
  } else {
    ExchangeSort(SortedX, 1, PointCount);
    ExchangeSort(SortedY, 1, PointCount);
  }
}

// Each run of equal sorted values gives one entry, so the lists are strictly ascending.
void BuildDistinctLists() {
  DistinctXCount = 0;
  DistinctYCount = 0;
  if (PointCount < 1)
    return;
  for (CornerIndex = 1; CornerIndex <= PointCount; ++CornerIndex) {
    if (CornerIndex == 1) {
      DistinctXCount = 1;
      DistinctYCount = 1;
      DistinctX[1] = SortedX[1];
      DistinctY[1] = SortedY[1];
      continue;
    }
    if (SortedX[CornerIndex] != SortedX[CornerIndex - 1])
      DistinctX[++DistinctXCount] = SortedX[CornerIndex];
    if (SortedY[CornerIndex] != SortedY[CornerIndex - 1])
      DistinctY[++DistinctYCount] = SortedY[CornerIndex];
  }
}

// Rectangle k is corners 2k-1 and 2k; they are walked in file order.
void WalkRectangles() {
  CornerIndex = 1;
  while (CornerIndex <= PointCount) {
    Span X = LocateSpan(DistinctX, DistinctXCount, CornerX[CornerIndex], CornerX[CornerIndex + 1]);
    Span Y = LocateSpan(DistinctY, DistinctYCount, CornerY[CornerIndex], CornerY[CornerIndex + 1]);
    std::int32_t LowX = X.Low;
    std::int32_t HighX = X.High;
    LowY = Y.Low;
    HighY = Y.High;
    MarkRectangle(Covered, DistinctX, DistinctY, LowX, HighX, LowY, HighY, TotalArea);
    CornerIndex += 2;
  }
}

void WriteResult() {
  BindName(RectFile, "Taldevon.SOL");
  OpenForWriting(RectFile);
  CheckIo();

  WriteNumber(RectFile, static_cast<std::int64_t>(TotalArea));
  WriteLineEnd(RectFile);
  CheckIo();

  CloseText(RectFile);
  CheckIo();
}

} // namespace

void RunJob() {
  ReadRectangles();
  SortCoordinates();
  BuildDistinctLists();
  WalkRectangles();
  WriteResult();
  ProcessEnd();
}
