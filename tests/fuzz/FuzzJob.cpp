// The fuzz target: the whole job on arbitrary bytes as the rectangle file, through the host
// double, held to the reading rules by the reference model and to the area by the sweep.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ReferenceModel.h"
#include "support/AreaOracle.h"
#include "support/FakeHost.h"
#include "support/JobRunner.h"

namespace {

const std::string OldResult = "old result\r\nfrom an earlier run\r\n";

// Larger files only repeat what small ones reach, at a cost in executions per second.
constexpr std::size_t LargestFile = 64 * 1024;

// A message before the abort, so that a replayed corpus file says which rule it broke.
void Require(bool Holds, const char *Rule) {
  if (Holds)
    return;
  std::fprintf(stderr, "fuzz check failed: %s\n", Rule);
  std::abort();
}

bool IsReport(const std::string &Output, int Number) {
  if (Output.size() != 32)
    return false;
  char Head[32];
  std::snprintf(Head, sizeof Head, "Runtime error %3d at ", Number);
  if (Output.compare(0, 21, Head) != 0 || Output.compare(29, 3, std::string("\0\r\n", 3)) != 0)
    return false;
  for (std::size_t Index = 21; Index < 29; ++Index) {
    char Byte = Output[Index];
    if (!((Byte >= '0' && Byte <= '9') || (Byte >= 'A' && Byte <= 'F')))
      return false;
  }
  return true;
}

struct JobRun {
  JobOutcome Outcome;
  std::string Result; // Taldevon.SOL afterwards
  std::string Rectangles; // Taldevon.DAT afterwards
};

JobRun RunOn(const std::string &Bytes, std::int32_t ReadLimit) {
  FakeHost Fake;
  Fake.Files["Taldevon.DAT"] = Bytes;
  Fake.Files["Taldevon.SOL"] = OldResult;
  Fake.ReadLimit = ReadLimit;
  JobOutcome Outcome = RunJobOn(Fake);
  return {Outcome, Fake.Files["Taldevon.SOL"], Fake.Files["Taldevon.DAT"]};
}

void CheckAgainstModel(const JobRun &Run, const std::string &Bytes,
                       const reference::Expected &Want) {
  Require(Run.Rectangles == Bytes, "the rectangle file is only read");
  if (Run.Outcome.ExitCode != 0) {
    Require(IsReport(Run.Outcome.Output, Run.Outcome.ExitCode),
            "a stop writes one 32-byte report carrying the exit code");
    Require(Run.Outcome.ExitCode == reference::MalformedNumber ||
                Run.Outcome.ExitCode == reference::BeyondCapacity,
            "without host faults a stop is 106 or 201");
    Require(Run.Result == OldResult, "a stop before writing leaves the old result");
    Require(Run.Outcome.ExitCode == Want.Stop, "the stop is the one the model expects");
    return;
  }
  Require(Run.Outcome.Output.empty(), "a normal end writes nothing to standard output");
  Require(Want.Stop == 0, "the model expects a stop, the job ended normally");
  std::vector<Rectangle> Rectangles;
  for (const reference::Corners &Read : Want.Rectangles)
    Rectangles.push_back({Read.X1, Read.Y1, Read.X2, Read.Y2});
  Require(Run.Result == std::to_string(UnionAreaBySweep(Rectangles)) + "\r\n",
          "the result line is the union area of the model's rectangles");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size) {
  if (Size > LargestFile)
    return 0;
  const std::string Bytes(reinterpret_cast<const char *>(Data), Size);
  const reference::Expected Want = reference::ReadRectangleFile(Bytes);

  JobRun Whole = RunOn(Bytes, 1 << 30);
  CheckAgainstModel(Whole, Bytes, Want);
  // A pipe or FIFO hands the bytes over in pieces of any size; a token, a line end or the
  // Ctrl-Z cut at a read boundary must read the same.
  JobRun Pieces = RunOn(Bytes, static_cast<std::int32_t>(1 + Size % 127));
  CheckAgainstModel(Pieces, Bytes, Want);
  Require(Pieces.Outcome.Output == Whole.Outcome.Output,
          "the size of the reads does not change the report");
  return 0;
}
