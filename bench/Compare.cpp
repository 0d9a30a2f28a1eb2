// taldevon_compare DAT_FILE: times the sweep-line reference, the engine with the job's marking
// and, where it finishes in reasonable time, the engine with the plain marking, on one file;
// checks that all three areas agree. Prints one line of key=value fields ("-" where not
// measured). taldevon_compare --sweep-only DAT_FILE prints the reference area alone.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "BenchSupport.h"
#include "platform/Host.h"
#include "support/FreshGrid.h"

namespace {

struct PipelineOutcome {
  std::uint32_t Area;
  double Seconds;
  double CellTests;
};

// From rectangles in memory to the area, as the job does it after reading: the grid is fresh
// zero pages, as the job's static grid is at its start.
PipelineOutcome RunPipeline(const std::vector<Rectangle> &Rectangles, MarkFunction Mark) {
  double Start = MonotonicSeconds();
  MarkingPlan Plan = PlanMarking(Rectangles);
  FreshGrid Grid = MakeFreshGrid();
  // As the job does for its static grid.
  AdviseLargePages(Grid.get(), sizeof(CellGrid));
  std::uint32_t Area = MarkAll(*Grid, Plan, Mark);
  double Seconds = MonotonicSeconds() - Start;
  return {Area, Seconds, Plan.CellTests};
}

std::string Format(double Value, const char *Pattern = "%.4f") {
  char Text[64];
  std::snprintf(Text, sizeof Text, Pattern, Value);
  return Text;
}

} // namespace

int main(int Argc, char **Argv) {
  bool SweepOnly = Argc == 3 && std::strcmp(Argv[1], "--sweep-only") == 0;
  if (Argc != 2 && !SweepOnly) {
    std::fprintf(stderr, "usage: taldevon_compare [--sweep-only] DAT_FILE\n");
    return 2;
  }
  try {
    std::vector<Rectangle> Rectangles = ReadRectangleFile(Argv[Argc - 1]);

    double Start = MonotonicSeconds();
    std::uint32_t SweepArea = UnionAreaBySweep(Rectangles);
    double SweepSeconds = MonotonicSeconds() - Start;
    if (SweepOnly) {
      std::printf("%u\n", SweepArea);
      return 0;
    }

    PipelineOutcome Fast = RunPipeline(Rectangles, FastMark);
    bool RunPlain = Fast.CellTests < PlainCellTestLimit;
    PipelineOutcome Plain{};
    if (RunPlain)
      Plain = RunPipeline(Rectangles, PlainMark);

    std::printf("sweep_s=%s job_s=%s plain_s=%s plain/job=%s job/sweep=%s area=%u cell_tests=%s\n",
                Format(SweepSeconds).c_str(), Format(Fast.Seconds).c_str(),
                RunPlain ? Format(Plain.Seconds).c_str() : "-",
                RunPlain ? Format(Plain.Seconds / Fast.Seconds, "%.2f").c_str() : "-",
                Format(Fast.Seconds / SweepSeconds, "%.2f").c_str(), Fast.Area,
                Format(Fast.CellTests, "%.3g").c_str());

    if (Fast.Area != SweepArea || (RunPlain && Plain.Area != SweepArea)) {
      std::string Report = "MISMATCH in " + std::string(Argv[1]) + ": sweep " +
                           std::to_string(SweepArea) + ", job marking " + std::to_string(Fast.Area) +
                           ", plain marking " + (RunPlain ? std::to_string(Plain.Area) : "-");
      std::printf("%s\n", Report.c_str());
      std::fprintf(stderr, "\n*** %s ***\n\n", Report.c_str());
      return 1;
    }
  } catch (const std::exception &Error) {
    std::fprintf(stderr, "taldevon_compare: %s\n", Error.what());
    return 1;
  }
  return 0;
}
