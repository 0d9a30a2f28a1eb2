// Process-level checks: the built program run in a scratch directory, its output bytes, exit
// code and result file compared exactly.
#include <gtest/gtest.h>

// The error numbers below are Linux's errno values, and the program is started with fork/exec.
#if defined(__linux__)

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "ProgramRunner.h"

namespace {

using namespace endtoend;

// ---------------------------------------------------------------------------------------------
// Normal runs

struct NormalCase {
  const char *Name;
  std::string Dat;
  std::uint32_t Area;
};

void PrintTo(const NormalCase &Case, std::ostream *Out) { *Out << Case.Name; }

// Rectangle i spans x = i..i+2, so neighbours overlap and the union is 10001 wide, 1 high.
std::string TenThousandRectangles() {
  std::string Dat = "10000\r\n";
  for (int Index = 0; Index < 10000; ++Index)
    Dat += std::to_string(Index) + " 0 " + std::to_string(Index + 2) + " 1\r\n";
  return Dat;
}

std::vector<NormalCase> NormalCases() {
  return {
      {"TwoOverlappingLf", "2\n0 0 2 2\n1 1 3 3\n", 7},
      {"TwoOverlappingCrLf", "2\r\n0 0 2 2\r\n1 1 3 3\r\n", 7},
      {"TextAfterNumbersIgnored", "2 rectangles\n0 0 2 2 first\n1 1 3 3 second 9 9\n", 7},
      {"AnyLowByteSeparates", "2\n0\0" "0\t2\v2\x01\n1\f1\r3 3\n"s, 7},
      {"HexForms", "1\n-$2 -0X2 x2 +0x2\n", 16},
      {"WrapsModulo2To32", "1\n-$80000000 -2147483648 X7FFFFFFF 2147483647\n", 1},
      // 32 zeros then "1": the token ends after 32 bytes and the "1" is left as line rest.
      {"LongRunSplitsInto32ByteTokens", "1\n0 0 1 " + std::string(32, '0') + "1\n", 0},
      {"CountZero", "0 rectangles\nnot a number\n", 0},
      {"EmptyFile", "", 0},
      // What follows a count of zero or less is never read: a malformed line would stop the job.
      {"CountMinus5", "-5\nnot a number\n", 0},
      {"CountMinus1073741824", "-1073741824\nnot a number\n", 0},
      {"CountMinus1073741825", "-1073741825\nnot a number\n", 0},
      {"CountInt32Min", "-2147483648\nnot a number\n", 0},
      {"Count10000", TenThousandRectangles(), 10001},
  };
}

class RunProgramNormal : public testing::TestWithParam<NormalCase> {};

TEST_P(RunProgramNormal, WritesResultLineSilently) {
  const NormalCase &Case = GetParam();
  ScratchDir Dir;
  Dir.Write(DatName, Case.Dat);

  ProgramRun Run = Dir.Run();

  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_EQ(Run.Out, "");
  EXPECT_EQ(Run.Err, "");
  std::optional<std::string> Sol = Dir.Read(SolName);
  ASSERT_TRUE(Sol.has_value()) << SolName << " was not written";
  EXPECT_EQ(*Sol, std::to_string(Case.Area) + "\r\n");
  // The rectangle file is only read.
  EXPECT_EQ(Dir.Read(DatName), Case.Dat);
}

INSTANTIATE_TEST_SUITE_P(Files, RunProgramNormal, testing::ValuesIn(NormalCases()),
                         [](const testing::TestParamInfo<NormalCase> &Info) {
                           return std::string(Info.param.Name);
                         });

TEST(RunProgramResultFile, LongerOldResultIsReplacedWhole) {
  ScratchDir Dir;
  Dir.Write(DatName, "0\n");
  Dir.Write(SolName, "4294967295\r\nsecond line of an old run\r\n");

  ProgramRun Run = Dir.Run();

  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_EQ(Run.Out, "");
  EXPECT_EQ(Run.Err, "");
  EXPECT_EQ(Dir.Read(SolName), "0\r\n");
}

// ---------------------------------------------------------------------------------------------
// Stops

enum class Layout {
  DatFile,        // Taldevon.DAT holds Dat, an old Taldevon.SOL is there
  NoDat,          // no Taldevon.DAT, an old Taldevon.SOL is there
  DatIsDirectory, // Taldevon.DAT is a directory, an old Taldevon.SOL is there
  SolIsDirectory, // Taldevon.DAT holds Dat, Taldevon.SOL is a directory
  SolIsDevFull,   // Taldevon.DAT holds Dat, Taldevon.SOL is a symlink to /dev/full
};

struct StopCase {
  const char *Name;
  Layout Files;
  std::string Dat;
  int Number;
  // The check expected to stop the job: one name, one address; different names, different ones.
  const char *Check;
};

void PrintTo(const StopCase &Case, std::ostream *Out) { *Out << Case.Name; }

const std::string OldSol = "old result\r\nmore\r\n";
const std::string ValidDat = "1\n0 0 2 2\n";

const std::vector<StopCase> &StopCases() {
  static const std::vector<StopCase> Cases = {
      {"MissingDat", Layout::NoDat, "", 2, "open for reading"},
      {"DirectoryDat", Layout::DatIsDirectory, "", 21, "open for reading"},
      {"MalformedCorner", Layout::DatFile, "1\n1 2 3 4x\n", 106, "corner"},
      // The count line has one check, whether its number is malformed or too large.
      {"MalformedCount", Layout::DatFile, "1x\n0 0 2 2\n", 106, "count line"},
      // Corners that would stop with 106 if read: the count must stop the job first.
      {"Count10001", Layout::DatFile, "10001\nnot a number\n", 201, "count line"},
      {"CountInt32Max", Layout::DatFile, "2147483647\nnot a number\n", 201, "count line"},
      {"DirectorySol", Layout::SolIsDirectory, ValidDat, 21, "open for writing"},
      {"SolOnDevFull", Layout::SolIsDevFull, ValidDat, 28, "line end"},
  };
  return Cases;
}

// Lays out Dir for Case; false when this host lacks what the case needs.
bool Arrange(const ScratchDir &Dir, const StopCase &Case) {
  switch (Case.Files) {
  case Layout::DatFile:
    Dir.Write(DatName, Case.Dat);
    Dir.Write(SolName, OldSol);
    break;
  case Layout::NoDat:
    Dir.Write(SolName, OldSol);
    break;
  case Layout::DatIsDirectory:
    fs::create_directory(Dir / DatName);
    Dir.Write(SolName, OldSol);
    break;
  case Layout::SolIsDirectory:
    Dir.Write(DatName, Case.Dat);
    fs::create_directory(Dir / SolName);
    break;
  case Layout::SolIsDevFull:
    if (!fs::exists("/dev/full"))
      return false;
    Dir.Write(DatName, Case.Dat);
    fs::create_symlink("/dev/full", Dir / SolName);
    break;
  }
  return true;
}

class RunProgramStop : public testing::TestWithParam<StopCase> {};

TEST_P(RunProgramStop, ReportsAndLeavesOldResult) {
  const StopCase &Case = GetParam();
  ScratchDir Dir;
  if (!Arrange(Dir, Case))
    GTEST_SKIP() << "/dev/full does not exist on this host";

  ProgramRun Run = Dir.Run();

  EXPECT_EQ(Run.ExitCode, Case.Number % 256);
  ReportAddress(Run.Out, Case.Number);
  EXPECT_EQ(Run.Err, "");
  switch (Case.Files) {
  case Layout::SolIsDirectory:
    EXPECT_TRUE(fs::is_directory(Dir / SolName));
    break;
  case Layout::SolIsDevFull:
    EXPECT_TRUE(fs::is_symlink(Dir / SolName));
    break;
  default:
    EXPECT_EQ(Dir.Read(SolName), OldSol) << "a stop before writing changed the old result";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, RunProgramStop, testing::ValuesIn(StopCases()),
                         [](const testing::TestParamInfo<StopCase> &Info) {
                           return std::string(Info.param.Name);
                         });

TEST(RunProgramStopAddress, StableForOneCheckDistinctAcrossChecks) {
  std::map<std::string, std::string> AddressOfCheck; // check name -> address
  std::map<std::string, std::string> CheckAtAddress; // address -> first check seen there
  for (const StopCase &Case : StopCases()) {
    SCOPED_TRACE(Case.Name);
    ScratchDir First, Second;
    if (!Arrange(First, Case) || !Arrange(Second, Case))
      continue; // the stop table already reports the skip
    ProgramRun FirstRun = First.Run();
    ProgramRun SecondRun = Second.Run();
    EXPECT_EQ(FirstRun.Out, SecondRun.Out) << "same fault, different report";

    std::string Address = ReportAddress(FirstRun.Out, Case.Number);
    if (Address.empty())
      continue;
    auto [Known, New] = AddressOfCheck.emplace(Case.Check, Address);
    if (!New) {
      EXPECT_EQ(Address, Known->second) << "check '" << Case.Check << "' moved";
    }
    auto [Seen, Free] = CheckAtAddress.emplace(Address, Case.Check);
    if (!Free) {
      EXPECT_EQ(Seen->second, Case.Check)
          << "checks '" << Seen->second << "' and '" << Case.Check << "' share " << Address;
    }
  }
}

} // namespace

#endif // defined(__linux__)
