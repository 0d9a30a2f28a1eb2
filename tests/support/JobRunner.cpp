#include "support/JobRunner.h"

#include <cstring>

#include "job/Job.h"
#include "job/Tables.h"
#include "support/FreshGrid.h"
#include "textfile/RunTimeStop.h"
#include "textfile/TextFile.h"

void ResetJobState() {
  IoStatus = 0;
  ExitStatus = 0;
  StopAddress = 0;
  std::memcpy(ErrorReport, "Runtime error     at 00000000", ErrorReportSize);
  std::memset(&RectFile, 0, sizeof RectFile);
  PointCount = CornerIndex = DistinctXCount = DistinctYCount = LowY = HighY = 0;
  TotalArea = 0;
  for (CoordTable *Table : {&CornerX, &CornerY, &SortedX, &SortedY, &DistinctX, &DistinctY})
    std::memset(Table, 0, sizeof *Table);
  DiscardGrid(Covered);
}

JobOutcome RunJobOn(FakeHost &Fake) {
  ResetJobState();
  try {
    RunJob();
  } catch (const ProcessEnded &Ended) {
    return {Ended.Code, Fake.Output};
  }
}

std::string ExpectedReport(int Number, const std::string &AddressDigits) {
  std::string Field = std::to_string(Number);
  std::string Report = "Runtime error " + std::string(3 - Field.size(), ' ') + Field + " at " +
                       AddressDigits;
  Report.push_back('\0');
  return Report + "\r\n";
}
