// Hostile rectangle files run through the built program: huge, binary, cut anywhere, at the
// edge of capacity, and not a regular file at all. Each must end in the documented result or
// stop, with the old result file untouched by a stop.
#include <gtest/gtest.h>

// FIFOs, permissions and errno values below are Linux's, and the program is run by fork/exec.
#if defined(__linux__)

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <limits>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../fuzz/ReferenceModel.h"
#include "ProgramRunner.h"

namespace {

using namespace endtoend;
using namespace std::chrono_literals;

const std::string OldSol = "old result\r\nfrom an earlier run\r\n";

// What a file must end in: a stop with its number, or the area in the result file.
struct Outcome {
  int Stop = 0;
  std::uint32_t Area = 0;
};

std::ostream &operator<<(std::ostream &Out, const Outcome &Want) {
  return Want.Stop ? Out << "stop " << Want.Stop : Out << "area " << Want.Area;
}

ProgramRun RunOn(const ScratchDir &Dir, const std::string &Dat) {
  Dir.Write(DatName, Dat);
  Dir.Write(SolName, OldSol);
  return Dir.Run();
}

void ExpectOutcome(const ScratchDir &Dir, const ProgramRun &Run, const Outcome &Want) {
  SCOPED_TRACE(testing::Message() << "expected " << Want);
  EXPECT_EQ(Run.Err, "");
  if (Want.Stop != 0) {
    EXPECT_EQ(Run.ExitCode, Want.Stop);
    ReportAddress(Run.Out, Want.Stop);
    EXPECT_EQ(Dir.Read(SolName), OldSol) << "a stop before writing changed the old result";
    return;
  }
  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_EQ(Run.Out, "");
  EXPECT_EQ(Dir.Read(SolName), std::to_string(Want.Area) + "\r\n");
}

// The union area by brute force over the cells between all edges: slow, but nothing in it can
// go wrong for the few rectangles a test file holds.
std::uint32_t AreaByCells(const std::vector<reference::Corners> &Rectangles) {
  struct Box {
    std::int64_t X1, Y1, X2, Y2;
  };
  std::vector<Box> Boxes;
  std::vector<std::int64_t> Xs, Ys;
  for (const reference::Corners &R : Rectangles) {
    Box B{std::min(R.X1, R.X2), std::min(R.Y1, R.Y2), std::max(R.X1, R.X2), std::max(R.Y1, R.Y2)};
    Boxes.push_back(B);
    Xs.insert(Xs.end(), {B.X1, B.X2});
    Ys.insert(Ys.end(), {B.Y1, B.Y2});
  }
  for (std::vector<std::int64_t> *Edges : {&Xs, &Ys}) {
    std::sort(Edges->begin(), Edges->end());
    Edges->erase(std::unique(Edges->begin(), Edges->end()), Edges->end());
  }
  std::uint64_t Area = 0;
  for (std::size_t I = 0; I + 1 < Xs.size(); ++I)
    for (std::size_t J = 0; J + 1 < Ys.size(); ++J)
      if (std::any_of(Boxes.begin(), Boxes.end(), [&](const Box &B) {
            return B.X1 <= Xs[I] && Xs[I + 1] <= B.X2 && B.Y1 <= Ys[J] && Ys[J + 1] <= B.Y2;
          }))
        // Wraps modulo 2^64; the low 32 bits, all the result keeps, stay exact.
        Area += static_cast<std::uint64_t>(Xs[I + 1] - Xs[I]) *
                static_cast<std::uint64_t>(Ys[J + 1] - Ys[J]);
  return static_cast<std::uint32_t>(Area);
}

// What the reading rules make of a file, with the area counted cell by cell.
Outcome ByTheRules(const std::string &Dat) {
  reference::Expected Read = reference::ReadRectangleFile(Dat);
  if (Read.Stop != 0)
    return {Read.Stop, 0};
  return {0, AreaByCells(Read.Rectangles)};
}

// Bytes 0..32 without the Ctrl-Z, which would end the file.
std::string Separators(std::size_t Size, unsigned Seed) {
  std::mt19937 Random(Seed);
  std::uniform_int_distribution<int> Byte(0, 31);
  std::string Bytes(Size, ' ');
  for (char &Each : Bytes) {
    int Value = Byte(Random);
    Each = static_cast<char>(Value >= 26 ? Value + 1 : Value);
  }
  return Bytes;
}

// ---------------------------------------------------------------------------------------------
// A table of files, each with the one outcome the rules allow

struct HostileCase {
  const char *Name;
  std::string (*Dat)(); // built only when its case runs: some are tens of megabytes
  Outcome Want;
};

void PrintTo(const HostileCase &Case, std::ostream *Out) { *Out << Case.Name; }

constexpr std::size_t ThirtyMegabytes = 30u << 20;

// Rectangle i (from 0) is i + 1 wide, one high, and touches the one before at a corner: every
// rectangle is one cell of the grid, and the union of Count of them is Count (Count + 1) / 2.
std::string TouchingRectangles(std::int64_t Count) {
  std::string Dat = std::to_string(Count) + "\r\n";
  for (std::int64_t Index = 0; Index < Count; ++Index)
    Dat += std::to_string(Index * (Index + 1) / 2) + " " + std::to_string(Index) + " " +
           std::to_string((Index + 1) * (Index + 2) / 2) + " " + std::to_string(Index + 1) + "\r\n";
  return Dat;
}

const std::string Unreadable = "1x 2 3 4\n"; // stops the job with 106 if it is ever read

const std::vector<HostileCase> &HostileCases() {
  static const std::vector<HostileCase> Cases = {
      {"ThirtyMegabytesOfSeparators", [] { return Separators(ThirtyMegabytes, 1); }, {.Area = 0}},
      // The reader must go through all of them rather than give up on a long empty stretch.
      {"CornersAfterThirtyMegabytesOfSeparators",
       [] { return "1\n" + Separators(ThirtyMegabytes, 2) + "0 0 3 3\n"; }, {.Area = 9}},
      {"MillionDigitCount", [] { return std::string(1000000, '1') + "\n0 0 1 1\n"; }, {.Stop = 106}},
      {"MillionDigitCorner", [] { return "1\n0 0 1 " + std::string(1000000, '7') + "\n"; },
       {.Stop = 106}},
      // The first 32 zeros are a token of their own, a count of 0; the rest of the line is skipped.
      {"MillionZeroCount", [] { return std::string(1000000, '0') + "7\n0 0 1 1\n"; }, {.Area = 0}},
      {"ThirtyTwoZerosThenDigitsAsCount",
       [] { return std::string(32, '0') + "5\n" + Unreadable; }, {.Area = 0}},
      // y1 is the 32 zeros; the 7 after them is x2, and the 9 is left over on the line.
      {"ThirtyTwoZerosThenDigitsAsCorner",
       [] { return "1\n0 " + std::string(32, '0') + "7 5 9\n"; }, {.Area = 35}},
      {"CrOnlyLineEndsAfterCount", [] { return std::string("2\r0 0 1 1\r0 0 2 2\r"); }, {.Area = 0}},
      // A CR does not end the first rectangle's line: "1 1 3 3" is skipped with it.
      {"CrOnlyLineEndsAfterCorners",
       [] { return std::string("2\n0 0 2 2\r1 1 3 3\r\n5 5 6 6\n"); }, {.Area = 5}},
      {"Count10000", [] { return TouchingRectangles(10000); }, {.Area = 50005000}},
      // Every line is well formed: the count alone stops the job.
      {"Count10001", [] { return TouchingRectangles(10001); }, {.Stop = 201}},
      {"CountHexMinus1073741824", [] { return "-$40000000\n" + Unreadable; }, {.Area = 0}},
      // Doubled in 32 bits this count would wrap to 2147483646 rectangles.
      {"CountHexMinus1073741825", [] { return "-$40000001\n" + Unreadable; }, {.Area = 0}},
      {"CountHexInt32Min", [] { return "$80000000\n" + Unreadable; }, {.Area = 0}},
      {"CountHexMinusOne", [] { return "0xFFFFFFFF\n" + Unreadable; }, {.Area = 0}},
      // 16 + 4 + (2^32 - 1), modulo 2^32; the zero-size ones add nothing.
      {"ReversedAndZeroSize",
       [] {
         return std::string("6\n5 5 1 1\n1 5 5 1\n10 0 10 100\n0 20 7 20\n-1 -3 -3 -1\n"
                            "2147483647 0 -2147483648 1\n");
       },
       {.Area = 19}},
  };
  return Cases;
}

class HostileFile : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFile, EndsInTheDocumentedOutcome) {
  const HostileCase &Case = GetParam();
  ScratchDir Dir;
  ProgramRun Run = RunOn(Dir, Case.Dat());
  ExpectOutcome(Dir, Run, Case.Want);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFile, testing::ValuesIn(HostileCases()),
                         [](const testing::TestParamInfo<HostileCase> &Info) {
                           return std::string(Info.param.Name);
                         });

// ---------------------------------------------------------------------------------------------
// Every byte value inside a token

// "1\n1?2 0 30 4\n" with the byte in the middle of the first corner's x.
Outcome ByteInsideToken(int Byte) {
  if (Byte >= '0' && Byte <= '9')
    return {.Area = static_cast<std::uint32_t>((102 + 10 * (Byte - '0') - 30) * 4)};
  if (Byte == 26)
    return {.Area = 0}; // the file ends after "1": the other corners read as 0
  if (Byte <= 32)
    return {.Area = 28}; // x1 = 1, y1 = 2, x2 = 0, y2 = 30
  return {.Stop = 106};
}

// "1\n?7 0 30 4\n" with the byte leading the first corner's x.
Outcome ByteLeadingToken(int Byte) {
  if (Byte >= '0' && Byte <= '9') {
    int X1 = 10 * (Byte - '0') + 7;
    return {.Area = static_cast<std::uint32_t>(std::abs(30 - X1) * 4)};
  }
  if (Byte == '-')
    return {.Area = 37 * 4};
  if (Byte == '+' || Byte == '$' || Byte == 'x' || Byte == 'X' || (Byte <= 32 && Byte != 26))
    return {.Area = 23 * 4}; // x1 = 7
  if (Byte == 26)
    return {.Area = 0};
  return {.Stop = 106};
}

TEST(HostileBytes, EveryByteValueInsideAndLeadingAToken) {
  for (int Byte = 0; Byte < 256; ++Byte) {
    SCOPED_TRACE("byte " + std::to_string(Byte));
    const char Raw = static_cast<char>(Byte);
    struct {
      std::string Dat;
      Outcome Want;
    } Placings[] = {{"1\n1"s + Raw + "2 0 30 4\n", ByteInsideToken(Byte)},
                    {"1\n"s + Raw + "7 0 30 4\n", ByteLeadingToken(Byte)}};
    for (const auto &Placing : Placings) {
      ScratchDir Dir;
      ProgramRun Run = RunOn(Dir, Placing.Dat);
      ExpectOutcome(Dir, Run, Placing.Want);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// A Ctrl-Z anywhere

TEST(HostileBytes, CtrlZAnywhereReadsAsTheFileCutThere) {
  // A cut can leave a lone "-" or "$", which stops the job: the Ctrl-Z must stop it the same way.
  const std::string Dat = "3\r\n0 0 4 4\r\n-2 -2 1 1\r\n$A x5 -1 +3\r\n";
  for (std::size_t Cut = 0; Cut <= Dat.size(); ++Cut) {
    SCOPED_TRACE("Ctrl-Z at byte " + std::to_string(Cut));
    ScratchDir CutDir, MarkedDir;
    ProgramRun CutRun = RunOn(CutDir, Dat.substr(0, Cut));
    ExpectOutcome(CutDir, CutRun, ByTheRules(Dat.substr(0, Cut)));
    ProgramRun MarkedRun = RunOn(MarkedDir, Dat.substr(0, Cut) + '\x1a' + Dat.substr(Cut));
    EXPECT_EQ(MarkedRun.ExitCode, CutRun.ExitCode);
    EXPECT_EQ(MarkedRun.Out, CutRun.Out) << "a stop at another check";
    EXPECT_EQ(MarkedRun.Err, "");
    EXPECT_EQ(MarkedDir.Read(SolName), CutDir.Read(SolName));
  }
}

// ---------------------------------------------------------------------------------------------
// Seeded garbage

// Two kinds of seeded garbage: raw bytes, which seldom get past the count, and a soup of number
// forms, separators, stray bytes and now and then a Ctrl-Z, which often gets as far as the area.
std::string RawBytes(std::mt19937 &Random) {
  std::string Dat(std::uniform_int_distribution<std::size_t>(1, 2000)(Random), ' ');
  for (char &Byte : Dat)
    Byte = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(Random));
  return Dat;
}

std::string NumberSoup(std::mt19937 &Random) {
  auto Pick = [&Random](int Below) { return std::uniform_int_distribution<int>(0, Below - 1)(Random); };
  auto Some = [&](const char *Bytes, int Count) {
    std::string Run;
    const std::string_view From(Bytes);
    for (int Index = 0; Index < Count; ++Index)
      Run += From[static_cast<std::size_t>(Pick(static_cast<int>(From.size())))];
    return Run;
  };
  const char *const Signs[] = {"", "", "-", "+"};
  const char *const HexPrefixes[] = {"$", "x", "X", "0x", "0X"};
  // Small counts mostly, so that the rectangles get read; a quarter start with anything.
  std::string Dat = Pick(4) ? std::to_string(Pick(40)) + "\n" : "";
  for (int Tokens = 20 + Pick(200); Tokens > 0; --Tokens) {
    if (Pick(100) < 2) {
      Dat += RawBytes(Random).substr(0, static_cast<std::size_t>(1 + Pick(40)));
    } else {
      Dat += Signs[Pick(4)];
      if (Pick(4) == 0)
        Dat += HexPrefixes[Pick(5)] + Some("0123456789abcdefABCDEF", 1 + Pick(8));
      else // short numbers overlap; now and then one near or past the 32-bit limits
        Dat += Some("0123456789", Pick(10) ? 1 + Pick(2) : 1 + Pick(11));
    }
    Dat += Some(" \t\r\n\n\x0b", 1 + Pick(2));
    if (Pick(300) == 0)
      Dat += '\x1a';
  }
  return Dat;
}

TEST(HostileBytes, SeededGarbageEndsAsTheRulesSay) {
  for (unsigned Seed = 1; Seed <= 32; ++Seed) {
    SCOPED_TRACE("garbage seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    std::string Dat = Seed % 4 == 0 ? RawBytes(Random) : NumberSoup(Random);
    ScratchDir Dir;
    ProgramRun Run = RunOn(Dir, Dat);
    ExpectOutcome(Dir, Run, ByTheRules(Dat));
  }
}

// ---------------------------------------------------------------------------------------------
// The full worst case

// Tall rectangles one cell wide, each in a column of its own: every cell the marking meets is
// new. The columns never share a y, so the union is the plain sum of the areas.
TEST(HostileCapacity, TenThousandTallRectanglesInColumnsOfTheirOwn) {
  constexpr std::int64_t Count = 10000;
  constexpr std::int64_t Min = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t Max = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t Step = (Max - Min) / (2 * Count + 2);
  std::mt19937_64 Random(20240611);
  std::vector<std::int64_t> Ends(Count), Columns(Count);
  for (std::int64_t Index = 0; Index < Count; ++Index)
    Ends[Index] = Columns[Index] = Index;
  std::shuffle(Ends.begin(), Ends.end(), Random);
  std::shuffle(Columns.begin(), Columns.end(), Random);

  std::string Dat = std::to_string(Count) + "\n";
  std::uint64_t Area = 0;
  for (std::int64_t Index = 0; Index < Count; ++Index) {
    // Every left edge lies left of every right edge, so each rectangle spans Count rows.
    std::int64_t X1 = Min + Index * Step, X2 = Max - Ends[Index] * Step;
    std::int64_t Y1 = Min + 2 * Columns[Index] * Step, Y2 = Y1 + Step;
    // Odd rectangles give their corners the other way round.
    Dat += Index % 2 ? std::to_string(X2) + " " + std::to_string(Y2) + " " + std::to_string(X1) +
                           " " + std::to_string(Y1) + "\n"
                     : std::to_string(X1) + " " + std::to_string(Y1) + " " + std::to_string(X2) +
                           " " + std::to_string(Y2) + "\n";
    Area += static_cast<std::uint64_t>(X2 - X1) * static_cast<std::uint64_t>(Step);
  }

  ScratchDir Dir;
  ProgramRun Run = RunOn(Dir, Dat);
  ExpectOutcome(Dir, Run, {.Area = static_cast<std::uint32_t>(Area)});
}

// ---------------------------------------------------------------------------------------------
// Not a regular file

// Runs the program in the background; gives up waiting after a bound so that a hang fails the
// test instead of stalling the suite, and Release then frees the program.
template <typename ReleaseFn>
ProgramRun RunBounded(const ScratchDir &Dir, ReleaseFn Release) {
  std::future<ProgramRun> Running = std::async(std::launch::async, [&Dir] { return Dir.Run(); });
  if (Running.wait_for(20s) == std::future_status::timeout) {
    ADD_FAILURE() << "the program still ran after 20 s";
    Release();
  }
  return Running.get();
}

// Opening for writing wakes a reader blocked on the FIFO; closing again gives it the end.
void GiveFifoAnEnd(const fs::path &Fifo) {
  int Writer = open(Fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (Writer >= 0)
    close(Writer);
}

TEST(HostileFifo, WithoutAWriterReadsAsAnEmptyFile) {
  ScratchDir Dir;
  ASSERT_EQ(mkfifo((Dir / DatName).c_str(), 0600), 0);
  Dir.Write(SolName, OldSol);
  ProgramRun Run = RunBounded(Dir, [&] { GiveFifoAnEnd(Dir / DatName); });
  ExpectOutcome(Dir, Run, {.Area = 0});
}

// Waits, within a bound, until the program has taken every byte written so far.
bool DrainedByReader(int Fifo) {
  for (auto Deadline = std::chrono::steady_clock::now() + 20s;
       std::chrono::steady_clock::now() < Deadline; std::this_thread::sleep_for(1ms)) {
    int Waiting = 0;
    if (ioctl(Fifo, FIONREAD, &Waiting) != 0 || Waiting == 0)
      return true;
  }
  return false;
}

TEST(HostileFifo, WithAWriterReadsWhatIsWrittenInPieces) {
  // Pieces cut a number ("2" then "2" make 22) and a line: a read that comes back short is not
  // the end of the file, only the writer's close is.
  const std::string Pieces[] = {"2\n0 0 2", "2 2\n1 1 3", " 3\n"};
  ScratchDir Dir;
  const fs::path Fifo = Dir / DatName;
  ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
  Dir.Write(SolName, OldSol);
  // Read and write ends in one: the open never blocks, and the program, once it opens the
  // FIFO, finds a writer and waits for bytes rather than taking an empty FIFO as the end.
  int Writer = open(Fifo.c_str(), O_RDWR);
  ASSERT_GE(Writer, 0);
  std::future<ProgramRun> Running = std::async(std::launch::async, [&Dir] { return Dir.Run(); });
  // No assertion may leave before the close: the program would wait for the writer for ever.
  for (const std::string &Piece : Pieces) {
    EXPECT_EQ(write(Writer, Piece.data(), Piece.size()), static_cast<ssize_t>(Piece.size()));
    EXPECT_TRUE(DrainedByReader(Writer)) << "the program did not read " << Piece;
  }
  close(Writer);
  if (Running.wait_for(20s) == std::future_status::timeout) {
    ADD_FAILURE() << "the program still ran 20 s after the writer closed";
    GiveFifoAnEnd(Fifo);
  }
  ProgramRun Run = Running.get();
  // 0..22 by 0..2 and 1..3 by 1..3 overlap in 2.
  ExpectOutcome(Dir, Run, {.Area = 46});
}

// ---------------------------------------------------------------------------------------------
// Permissions

// The permission cases need a user whom a file's mode keeps out. Root is let in everywhere,
// so as root the program runs as "nobody" (uid 65534) instead, through setpriv, from a copy in
// the scratch folder that such a user can reach. Gives nothing when that cannot be arranged.
ProgramRun RunAsNobody(const ScratchDir &Dir) {
  fs::path Copy = Dir / "taldevon-copy";
  fs::copy_file(ProgramUnderTest().Path, Copy);
  Dir.Write("as-nobody", "#!/bin/sh\n"
                         "exec /usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups -- \"$1\"\n");
  const fs::perms Reachable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec;
  for (const fs::path &Path : {Dir / "as-nobody", Copy, Dir.Folder()})
    fs::permissions(Path, Reachable);
  return Dir.Run({Copy.string(), (Dir / "as-nobody").string()});
}

std::optional<ProgramRun> RunKeptOutByModes(const ScratchDir &Dir) {
  if (geteuid() != 0)
    return Dir.Run();
  if (!fs::exists("/usr/bin/setpriv"))
    return std::nullopt;
  // The same run on a file nobody is kept from must succeed, or a 13 would prove nothing.
  // Nobody may not create files in the folder, so the control's result file is there already.
  ScratchDir Control;
  Control.Write(DatName, "1\n0 0 2 2\n");
  Control.Write(SolName, OldSol);
  fs::permissions(Control / SolName, fs::perms::all & ~fs::perms::owner_exec &
                                         ~fs::perms::group_exec & ~fs::perms::others_exec);
  if (RunAsNobody(Control).ExitCode != 0 || Control.Read(SolName) != "4\r\n")
    return std::nullopt;
  return RunAsNobody(Dir);
}

// A valid rectangle file and an old result, one of them given Mode; the job must stop with 13.
void ExpectStopWith13WhenModeKeepsOut(const char *Name, mode_t Mode) {
  ScratchDir Dir;
  Dir.Write(DatName, "1\n0 0 2 2\n");
  Dir.Write(SolName, OldSol);
  ASSERT_EQ(chmod((Dir / Name).c_str(), Mode), 0);
  std::optional<ProgramRun> Run = RunKeptOutByModes(Dir);
  if (!Run)
    GTEST_SKIP() << "cannot run the program as a user whom a file's mode keeps out (running as "
                    "root without setpriv, or the temporary folder shuts other users out)";
  ExpectOutcome(Dir, *Run, {.Stop = 13});
}

TEST(HostilePermissions, UnreadableRectangleFileStopsWith13) {
  ExpectStopWith13WhenModeKeepsOut(DatName, 0);
}

TEST(HostilePermissions, ReadOnlyResultFileStopsWith13) {
  ExpectStopWith13WhenModeKeepsOut(SolName, 0444);
}

} // namespace

#endif // defined(__linux__)
