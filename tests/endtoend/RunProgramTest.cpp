// Process-level checks: the built program run in a scratch directory, its output bytes, exit
// code and result file compared exactly.
#include <gtest/gtest.h>

// The program is started with fork/exec; the error numbers below are Linux's errno values
// unless TALDEVON_HOST names another host (see ProgramRunner.h).
#if defined(__linux__)

#include <chrono>
#include <csignal>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ProgramRunner.h"

namespace {

using namespace endtoend;
using namespace std::chrono_literals;

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
  SolIsReadOnly,  // Taldevon.DAT holds Dat, the old Taldevon.SOL has no write permission
  DatHeldOpen,    // Taldevon.DAT is open for writing elsewhere, an old Taldevon.SOL is there
  SolHeldOpen,    // Taldevon.DAT holds Dat, Taldevon.SOL is open for writing in another process
  SolSizeLimited, // Taldevon.DAT holds Dat, an old Taldevon.SOL is there, no file may grow at all
};

// The host's code for each layout that fails a file operation; the job's own numbers (106, 201)
// are the same everywhere. 0: the layout is no failure on that host.
constexpr HostCode NoFile{2, 2};
constexpr HostCode IsDirectory{21, 5}; // EISDIR; ERROR_ACCESS_DENIED
// ENOSPC. Wine writes through to the Linux device and turns its ENOSPC into ERROR_DISK_FULL,
// the code Windows gives for a full disk.
constexpr HostCode DiskFull{28, 112};
constexpr HostCode ReadOnly{13, 5};    // EACCES; ERROR_ACCESS_DENIED
constexpr HostCode OpenElsewhere{0, 32}; // Linux has no share modes; ERROR_SHARING_VIOLATION
// EFBIG. Windows has no limit of this kind; Wine turns the EFBIG it meets into ERROR_GEN_FAILURE.
constexpr HostCode TooLarge{27, 31};
constexpr HostCode Malformed{106, 106};
constexpr HostCode BeyondCapacity{201, 201};

struct StopCase {
  const char *Name;
  Layout Files;
  std::string Dat;
  HostCode Number;
  // The check expected to stop the job: one name, one address; different names, different ones.
  const char *Check;
};

void PrintTo(const StopCase &Case, std::ostream *Out) { *Out << Case.Name; }

const std::string OldSol = "old result\r\nmore\r\n";
const std::string ValidDat = "1\n0 0 2 2\n";

const std::vector<StopCase> &StopCases() {
  static const std::vector<StopCase> Cases = {
      {"MissingDat", Layout::NoDat, "", NoFile, "open for reading"},
      {"DirectoryDat", Layout::DatIsDirectory, "", IsDirectory, "open for reading"},
      {"DatOpenElsewhere", Layout::DatHeldOpen, "", OpenElsewhere, "open for reading"},
      {"MalformedCorner", Layout::DatFile, "1\n1 2 3 4x\n", Malformed, "corner"},
      // The count line has one check, whether its number is malformed or too large.
      {"MalformedCount", Layout::DatFile, "1x\n0 0 2 2\n", Malformed, "count line"},
      // Corners that would stop with 106 if read: the count must stop the job first.
      {"Count10001", Layout::DatFile, "10001\nnot a number\n", BeyondCapacity, "count line"},
      {"CountInt32Max", Layout::DatFile, "2147483647\nnot a number\n", BeyondCapacity,
       "count line"},
      {"DirectorySol", Layout::SolIsDirectory, ValidDat, IsDirectory, "open for writing"},
      {"ReadOnlySol", Layout::SolIsReadOnly, ValidDat, ReadOnly, "open for writing"},
      {"SolOpenElsewhere", Layout::SolHeldOpen, ValidDat, OpenElsewhere, "open for writing"},
      // A device gets each line as it ends, a file only at the close: two checks.
      {"SolOnDevFull", Layout::SolIsDevFull, ValidDat, DiskFull, "line end"},
      {"SolBeyondSizeLimit", Layout::SolSizeLimited, ValidDat, TooLarge, "close"},
  };
  return Cases;
}

// Keeps a file open for writing in another Windows process (Wine's command interpreter, waiting
// for a line on its standard input) until destroyed. Only Windows refuses a second opener, and
// only a process of the same host can hold the file so that the host sees it.
class HeldOpen {
public:
  HeldOpen(const ScratchDir &Dir, const char *Name) {
    const std::string DirName = Dir.Folder().string();
    const std::string &Launcher = ProgramUnderTest().Launcher;
    // ">>" opens the file for writing and creates it: its appearance tells that it is held.
    const std::string Command = "set /p Line=>>"s + Name;
    const char *Argv[] = {Launcher.c_str(), "cmd", "/c", Command.c_str(), nullptr};
    int Input[2];
    // Close-on-exec: a program run meanwhile must not keep the holder's input open.
    if (pipe2(Input, O_CLOEXEC) != 0)
      throw std::runtime_error("pipe failed");
    Holder = fork();
    if (Holder < 0)
      throw std::runtime_error("fork failed");
    if (Holder == 0) {
      int Null = open("/dev/null", O_WRONLY);
      if (chdir(DirName.c_str()) != 0 || Null < 0 || dup2(Input[0], STDIN_FILENO) < 0 ||
          dup2(Null, STDOUT_FILENO) < 0 || dup2(Null, STDERR_FILENO) < 0)
        _exit(127);
      close(Input[0]);
      close(Input[1]);
      execvp(Argv[0], const_cast<char *const *>(Argv));
      _exit(127);
    }
    close(Input[0]);
    Release = Input[1];
    const auto Deadline = std::chrono::steady_clock::now() + 30s;
    while (!fs::exists(Dir / Name)) {
      const char *Failure = nullptr;
      if (waitpid(Holder, nullptr, WNOHANG) == Holder) {
        Holder = -1;
        Failure = "the holder ended before it opened ";
      } else if (std::chrono::steady_clock::now() > Deadline) {
        Failure = "the holder did not open within 30 s: ";
      }
      if (Failure != nullptr) {
        End();
        throw std::runtime_error(Failure + std::string(Name));
      }
      std::this_thread::sleep_for(10ms);
    }
  }
  ~HeldOpen() { End(); }
  HeldOpen(const HeldOpen &) = delete;
  HeldOpen &operator=(const HeldOpen &) = delete;

private:
  // The end of its input lets the holder finish; one that hangs is killed rather than waited for.
  void End() {
    close(Release);
    if (Holder < 0)
      return;
    for (auto Deadline = std::chrono::steady_clock::now() + 10s;
         waitpid(Holder, nullptr, WNOHANG) == 0;) {
      if (std::chrono::steady_clock::now() > Deadline) {
        kill(Holder, SIGKILL);
        waitpid(Holder, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(10ms);
    }
  }

  pid_t Holder = -1;
  int Release = -1;
};

// True when a file without write permission still opens for writing here, as it does for root.
bool ReadOnlyIsWritable(const fs::path &File) {
  int Fd = open(File.c_str(), O_WRONLY);
  if (Fd < 0)
    return false;
  close(Fd);
  return true;
}

// Lays out Dir for Case, with Held keeping a file open where the layout asks for it. Gives why
// this host cannot have the layout, or "" once it is in place.
std::string Arrange(const ScratchDir &Dir, const StopCase &Case,
                    std::optional<HeldOpen> &Held) {
  if (OnProgramHost(Case.Number) == 0)
    return "this failure does not exist on Linux: it has no share modes, so another process "
           "with the file open for writing does not keep the job out";
  switch (Case.Files) {
  case Layout::DatFile:
  case Layout::SolSizeLimited:
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
      return "/dev/full does not exist on this host";
    Dir.Write(DatName, Case.Dat);
    fs::create_symlink("/dev/full", Dir / SolName);
    break;
  case Layout::SolIsReadOnly:
    Dir.Write(DatName, Case.Dat);
    Dir.Write(SolName, OldSol);
    fs::permissions(Dir / SolName, fs::perms::owner_read | fs::perms::group_read |
                                       fs::perms::others_read);
    // Wine maps the read-only attribute to the write permission bits and opens the file with
    // the user's rights, so under root neither host refuses it.
    if (ReadOnlyIsWritable(Dir / SolName))
      return "this user may write a file without write permission (root), so neither Linux "
             "nor Wine on it refuses a read-only result file";
    break;
  case Layout::DatHeldOpen:
  case Layout::SolHeldOpen:
    if (ProgramUnderTest().Launcher.empty())
      return "holding a file open needs TALDEVON_LAUNCHER to start Wine's command interpreter";
    if (Case.Files == Layout::DatHeldOpen) {
      Dir.Write(SolName, OldSol);
      Held.emplace(Dir, DatName);
    } else {
      Dir.Write(DatName, Case.Dat);
      Held.emplace(Dir, SolName);
    }
    break;
  }
  return "";
}

ProgramRun RunIn(const ScratchDir &Dir, const StopCase &Case) {
  if (Case.Files == Layout::SolSizeLimited)
    return RunProgramIn(Dir.Folder(), ProgramUnderTest(), 0);
  return Dir.Run();
}

class RunProgramStop : public testing::TestWithParam<StopCase> {};

TEST_P(RunProgramStop, ReportsAndLeavesOldResult) {
  const StopCase &Case = GetParam();
  ScratchDir Dir;
  std::optional<HeldOpen> Held;
  if (std::string WhyNot = Arrange(Dir, Case, Held); !WhyNot.empty())
    GTEST_SKIP() << WhyNot;

  ProgramRun Run = RunIn(Dir, Case);

  const int Number = OnProgramHost(Case.Number);
  EXPECT_EQ(Run.ExitCode, Number % 256);
  ReportAddress(Run.Out, Number);
  EXPECT_EQ(Run.Err, "");
  switch (Case.Files) {
  case Layout::SolIsDirectory:
    EXPECT_TRUE(fs::is_directory(Dir / SolName));
    break;
  case Layout::SolIsDevFull:
    EXPECT_TRUE(fs::is_symlink(Dir / SolName));
    break;
  case Layout::SolHeldOpen:
    EXPECT_EQ(Dir.Read(SolName), "") << "the result reached a file held open elsewhere";
    break;
  case Layout::SolSizeLimited:
    // Replacing the old result truncates it; only the write of the new one is refused.
    EXPECT_EQ(Dir.Read(SolName), "");
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
    std::optional<HeldOpen> FirstHeld, SecondHeld;
    if (!Arrange(First, Case, FirstHeld).empty() || !Arrange(Second, Case, SecondHeld).empty())
      continue; // the stop table already reports the skip
    ProgramRun FirstRun = RunIn(First, Case);
    ProgramRun SecondRun = RunIn(Second, Case);
    EXPECT_EQ(FirstRun.Out, SecondRun.Out) << "same fault, different report";

    std::string Address = ReportAddress(FirstRun.Out, OnProgramHost(Case.Number));
    if (Address.empty())
      continue;
    // An offset from the start of the image lands in its code, which the program file holds
    // whole; an absolute address or a wrong base lands far beyond.
    EXPECT_LT(std::stoull(Address, nullptr, 16), fs::file_size(ProgramUnderTest().Path))
        << "the address is not an offset into the program";
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

// ---------------------------------------------------------------------------------------------
// Another build against the Linux build

// Files whose outcome depends on their bytes alone: every build of the job must give the same
// exit code, the same report but for the address digits, and the same result file.
struct SameBytesCase {
  std::string Name;
  std::optional<std::string> Dat; // nothing: there is no rectangle file
};

std::vector<SameBytesCase> SameBytesCases() {
  std::vector<SameBytesCase> Cases;
  for (const NormalCase &Case : NormalCases())
    Cases.push_back({Case.Name, Case.Dat});
  for (const StopCase &Case : StopCases()) {
    if (Case.Files == Layout::DatFile)
      Cases.push_back({Case.Name, Case.Dat});
    else if (Case.Files == Layout::NoDat)
      Cases.push_back({Case.Name, std::nullopt});
  }
  // Where a build's runtime could treat bytes as text: Ctrl-Z, CR without LF, bytes above 127,
  // and lines that cross the 128-byte buffer.
  const std::vector<SameBytesCase> Extra = {
      {"CtrlZBeforeLastRectangle", "2\r\n0 0 2 2\r\n\x1a" "1 1 3 3\r\n"},
      {"CtrlZInsideNumber", "1\n0 0 12\x1a" "3 4\n"},
      {"CrOnlyLines", "2\r0 0 2 2\r1 1 3 3\r"},
      {"HighByteInsideNumber", "1\n0 0 2 \xff" "2\n"},
      {"HighBytesAfterNumbers", "1\n0 0 2 2 \x80\x9a\xfe\xff\n"},
      {"NumbersAcrossBufferEdges", "3\n" + std::string(120, ' ') + "0 0 5 5\n" +
                                       std::string(125, '\t') + "1 1 7 7\n-3 -3 1 1\n"},
      {"LineLongerThanBuffer", "1\n0 0 4 4 " + std::string(300, 'z') + "\n"},
  };
  Cases.insert(Cases.end(), Extra.begin(), Extra.end());
  return Cases;
}

// One test rather than one per file: without a reference build there is one skip to report.
TEST(RunProgramSameAsReference, SameReportExitCodeAndResultForEveryFile) {
  std::optional<Program> Reference = ReferenceProgram();
  if (!Reference)
    GTEST_SKIP() << "set TALDEVON_REFERENCE_PROGRAM to a Linux build to compare this one with";
  for (const SameBytesCase &Case : SameBytesCases()) {
    SCOPED_TRACE(Case.Name);
    ScratchDir Tested, Referred;
    for (const ScratchDir *Dir : {&Tested, &Referred}) {
      if (Case.Dat)
        Dir->Write(DatName, *Case.Dat);
      Dir->Write(SolName, OldSol);
    }

    ProgramRun Run = Tested.Run();
    ProgramRun Want = Referred.Run(*Reference);

    EXPECT_EQ(Run.ExitCode, Want.ExitCode);
    EXPECT_EQ(Run.Err, Want.Err);
    // The address digits name a place in each build's own code, so they alone may differ.
    constexpr std::size_t AddressAt = 21, AddressDigits = 8;
    std::string Out = Run.Out, WantOut = Want.Out;
    if (Out.size() == 32 && WantOut.size() == 32) {
      Out.replace(AddressAt, AddressDigits, AddressDigits, '#');
      WantOut.replace(AddressAt, AddressDigits, AddressDigits, '#');
    }
    EXPECT_EQ(Out, WantOut);
    EXPECT_EQ(Tested.Read(SolName), Referred.Read(SolName));
    EXPECT_EQ(Tested.Read(DatName), Case.Dat) << "the rectangle file is only read";
  }
}

} // namespace

#endif // defined(__linux__)
