// taldevon_microbench [--rectangles=N] [benchmark flags]
// BM_ReadFile: the product's text-file reading of a whole rectangle file.
// BM_MarkAll/<class>: the job's marking loop alone, on a fresh grid each iteration.
// N (default 10000) is the rectangle count of every file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"
#include "RectangleClasses.h"
#include "platform/Host.h"
#include "support/FreshGrid.h"
#include "textfile/TextFile.h"

namespace {

constexpr std::uint64_t Seed = 1;

void ReadFile(benchmark::State &State, const std::string &Path, std::int64_t Count, std::int64_t Bytes) {
  std::int64_t Checksum = 0;
  for (auto _ : State) {
    TextFile File;
    BindName(File, Path.c_str());
    OpenForReading(File);
    std::int32_t Declared = ReadNumber(File);
    SkipLine(File);
    for (std::int32_t Index = 0; Index < Declared; ++Index) {
      for (int Number = 0; Number < 4; ++Number)
        Checksum += ReadNumber(File);
      SkipLine(File);
    }
    CloseText(File);
    if (IoStatus != 0 || Declared != Count) {
      State.SkipWithError(("reading failed: IoStatus " + std::to_string(IoStatus) + ", count " +
                           std::to_string(Declared))
                              .c_str());
      IoStatus = 0;
      break;
    }
  }
  benchmark::DoNotOptimize(Checksum);
  State.SetBytesProcessed(State.iterations() * Bytes);
}

void MarkEverything(benchmark::State &State, const MarkingPlan &Plan, std::uint32_t Expected) {
  for (auto _ : State) {
    State.PauseTiming();
    FreshGrid Grid = MakeFreshGrid();
    // As the job does for its static grid.
    AdviseLargePages(Grid.get(), sizeof(CellGrid));
    State.ResumeTiming();
    std::uint32_t Area = MarkAll(*Grid, Plan, FastMark);
    State.PauseTiming();
    // A fast wrong answer is no result: every iteration is checked against the sweep line.
    if (Area != Expected) {
      State.SkipWithError(("MISMATCH: area " + std::to_string(Area) + ", sweep line " +
                           std::to_string(Expected))
                              .c_str());
      break;
    }
    Grid.reset();
    State.ResumeTiming();
  }
  State.counters["cell_tests"] = benchmark::Counter(Plan.CellTests);
  State.counters["cells_x"] = benchmark::Counter(Plan.DistinctXCount > 0 ? Plan.DistinctXCount - 1 : 0);
  State.counters["cells_y"] = benchmark::Counter(Plan.DistinctYCount > 0 ? Plan.DistinctYCount - 1 : 0);
}

// Takes --rectangles=N out of the arguments before the library sees them.
std::int64_t TakeRectangleCount(int &Argc, char **Argv) {
  std::int64_t Count = 10000;
  const char *Flag = "--rectangles=";
  int Kept = 1;
  for (int Index = 1; Index < Argc; ++Index) {
    if (std::strncmp(Argv[Index], Flag, std::strlen(Flag)) == 0)
      Count = std::strtoll(Argv[Index] + std::strlen(Flag), nullptr, 10);
    else
      Argv[Kept++] = Argv[Index];
  }
  Argc = Kept;
  return Count;
}

} // namespace

int main(int Argc, char **Argv) {
  std::int64_t Count = TakeRectangleCount(Argc, Argv);
  benchmark::Initialize(&Argc, Argv);
  if (benchmark::ReportUnrecognizedArguments(Argc, Argv))
    return 2;

  std::string Path;
  // Built before anything is timed; the plans must outlive the runs that refer to them.
  std::vector<std::unique_ptr<MarkingPlan>> Plans;
  try {
    const char *TmpDir = std::getenv("TMPDIR");
    std::string Template = std::string(TmpDir && *TmpDir ? TmpDir : "/tmp") + "/taldevon-micro-XXXXXX";
    std::vector<char> Name(Template.begin(), Template.end());
    Name.push_back('\0');
    int Fd = mkstemp(Name.data());
    if (Fd < 0)
      throw std::runtime_error("mkstemp failed");
    close(Fd);
    Path = Name.data();
    std::string Text = RectangleFileText(GenerateRectangles("uniform", Count, Seed));
    WriteWholeFile(Path, Text);
    benchmark::RegisterBenchmark("BM_ReadFile", ReadFile, Path, Count,
                                 static_cast<std::int64_t>(Text.size()))
        ->Unit(benchmark::kMillisecond);

    for (const char *ClassName : {"uniform", "nested", "strips", "worst"}) {
      std::vector<Rectangle> Rectangles = GenerateRectangles(ClassName, Count, Seed);
      std::uint32_t Expected = UnionAreaBySweep(Rectangles);
      Plans.push_back(std::make_unique<MarkingPlan>(PlanMarking(Rectangles)));
      benchmark::RegisterBenchmark((std::string("BM_MarkAll/") + ClassName).c_str(), MarkEverything,
                                   std::cref(*Plans.back()), Expected)
          ->Unit(benchmark::kMillisecond);
    }
  } catch (const std::exception &Error) {
    std::fprintf(stderr, "taldevon_microbench: %s\n", Error.what());
    if (!Path.empty())
      unlink(Path.c_str());
    return 1;
  }

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  unlink(Path.c_str());
  return 0;
}
