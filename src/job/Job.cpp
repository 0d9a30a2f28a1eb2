// The job driver: runs each phase once, in order, on the static tables.
#include "job/Job.h"

#include "job/Tables.h"
#include "textfile/RunTimeStop.h"
#include "textfile/TextFile.h"

namespace {

// Out of line on purpose: a branch next to a check lets the compiler copy the check into both
// paths, and then one check would report two addresses.
[[gnu::noinline]] void RefuseBeyondCapacity(std::int32_t Count) {
  // Dropping the surplus rectangles would give a wrong area without a word.
  if (Count > MaxRectangles)
    IoStatus = CapacityError;
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
    CornerX[CornerIndex] = ReadNumber(RectFile);
    CornerY[CornerIndex] = ReadNumber(RectFile);
    if (CornerIndex % 2 == 0)
      SkipLine(RectFile);
    CheckIo();
    SortedX[CornerIndex] = CornerX[CornerIndex];
    SortedY[CornerIndex] = CornerY[CornerIndex];
  }

  CloseText(RectFile);
  CheckIo();
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
  WriteResult();
  ProcessEnd();
}
