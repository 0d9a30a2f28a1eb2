#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "job/Tables.h"
#include "support/FakeHost.h"
#include "support/JobRunner.h"

namespace {

const char OldResult[] = "12345\r\nleft by an earlier run\r\n";

struct JobRun {
  JobOutcome Outcome;
  std::string Result; // Taldevon.SOL afterwards
};

JobRun RunWith(const std::string &Rectangles, std::vector<HostFault> Faults = {}) {
  FakeHost Fake;
  Fake.Files["Taldevon.DAT"] = Rectangles;
  Fake.Files["Taldevon.SOL"] = OldResult;
  Fake.Faults = std::move(Faults);
  JobOutcome Outcome = RunJobOn(Fake);
  return {Outcome, Fake.Files["Taldevon.SOL"]};
}

std::string AddressOf(const JobOutcome &Outcome) {
  return Outcome.Output.size() == 32 ? Outcome.Output.substr(21, 8) : "";
}

TEST(Job, NormalRunWritesTheResultLineAndNothingElse) {
  for (const char *Rectangles : {"0\r\n", "", "  \n\n", "-5\n1 2 3 4\n", "-1073741824\n",
                                 "-1073741825\n1 1 2 2\n", "-2147483648\n"}) {
    JobRun Result = RunWith(Rectangles);
    EXPECT_EQ(Result.Outcome.ExitCode, 0) << Rectangles;
    EXPECT_EQ(Result.Outcome.Output, "");
    EXPECT_EQ(Result.Result, "0\r\n");
    EXPECT_EQ(PointCount, 0);
  }
}

TEST(Job, ReadsCountAndCornersByTheLineRules) {
  JobRun Result = RunWith("2 rectangles follow\r\n"
                       "1 2\n 3 4 ignored words\n"
                       "-5 $10 x7 0X8 9 10 11 12\n"
                       "99 99 99 99\n");
  EXPECT_EQ(Result.Outcome.ExitCode, 0);
  ASSERT_EQ(PointCount, 4);
  EXPECT_EQ((std::vector<int>{CornerX[1], CornerY[1], CornerX[2], CornerY[2]}),
            (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ((std::vector<int>{CornerX[3], CornerY[3], CornerX[4], CornerY[4]}),
            (std::vector<int>{-5, 16, 7, 8}));
  EXPECT_EQ(CornerX[5], 0) << "nothing past the count is read";
}

TEST(Job, CountAboveCapacityStopsBeforeAnyCornerIsRead) {
  for (const char *Count : {"10001", "2147483647", "1073741824"}) {
    FakeHost Fake;
    Fake.Files["Taldevon.DAT"] = std::string(Count) + "\n1 1 2 2\n";
    Fake.Files["Taldevon.SOL"] = OldResult;
    JobOutcome Outcome = RunJobOn(Fake);
    EXPECT_EQ(Outcome.ExitCode, CapacityError) << Count;
    EXPECT_EQ(Outcome.Output.substr(0, 17), "Runtime error 201");
    EXPECT_EQ(CornerX[1], 0);
    EXPECT_EQ(Fake.Files["Taldevon.SOL"], OldResult);
    EXPECT_EQ(Fake.CountOf(HostCall::CreateOrReplace), 0);
  }
}

TEST(Job, CheckComesAfterTheWholeStatement) {
  // The malformed x of corner 1 stops the job only once its y has been read too.
  JobRun Result = RunWith("1\n1x 77 3 4\n");
  EXPECT_EQ(Result.Outcome.ExitCode, 106);
  EXPECT_EQ(CornerY[1], 77);
  EXPECT_EQ(CornerX[2], 0) << "the next corner is not read";
  EXPECT_EQ(Result.Result, OldResult);
}

TEST(Job, LastFailureOfAStatementIsReported) {
  // Reads of 5 bytes: the first holds "1\n1x " (a malformed x), the second, for y, fails.
  FakeHost Fake;
  Fake.ReadLimit = 5;
  Fake.Files["Taldevon.DAT"] = "1\n1x 2 3 4\n";
  Fake.Faults = {{HostCall::ReadBytes, 2, 300}};
  JobOutcome Outcome = RunJobOn(Fake);
  EXPECT_EQ(Outcome.ExitCode, 44) << "300 modulo 256, the read failure after the 106";
}

TEST(Job, EveryCheckHasItsOwnAddress) {
  struct StopCase {
    const char *Check;
    const char *Rectangles;
    std::vector<HostFault> Faults;
    int Number;
    bool ResultOnDevice = false;
  } Cases[] = {
      {"open", nullptr, {}, 2},
      {"count line", "x\n", {}, 106},
      {"corner", "1\n1 1 2 z\n", {}, 106},
      // The first corner of a rectangle is a statement without the line skip: same check.
      {"corner", "1\n1 z 2 2\n", {}, 106},
      {"close of the rectangle file", "0\n", {{HostCall::ReleaseFile, 1, 5}}, 5},
      {"open for writing", "0\n", {{HostCall::CreateOrReplace, 1, 13}}, 13},
      {"open for writing", "0\n", {{HostCall::KindOfFile, 1, 0}}, 105},
      {"number and line end", "0\n", {{HostCall::WriteBytes, 1, 28}}, 28, true},
      {"close of the result file", "0\n", {{HostCall::WriteBytes, 1, 28}}, 28},
      {"close of the result file", "0\n", {{HostCall::ReleaseFile, 2, 9}}, 9},
  };
  std::map<std::string, std::string> AddressOfCheck;
  std::set<std::string> Addresses;
  for (const StopCase &Case : Cases) {
    FakeHost Fake;
    if (Case.Rectangles)
      Fake.Files["Taldevon.DAT"] = Case.Rectangles;
    if (Case.ResultOnDevice)
      Fake.Kinds["Taldevon.SOL"] = FileKind::CharacterDevice;
    Fake.Faults = Case.Faults;
    JobOutcome Outcome = RunJobOn(Fake);
    EXPECT_EQ(Outcome.ExitCode, Case.Number) << Case.Check;
    ASSERT_EQ(Outcome.Output.size(), 32u) << Case.Check;
    std::string Address = AddressOf(Outcome);
    EXPECT_EQ(Outcome.Output, ExpectedReport(Case.Number, Address)) << Case.Check;
    auto [Known, New] = AddressOfCheck.emplace(Case.Check, Address);
    EXPECT_EQ(Known->second, Address) << "one check, one address: " << Case.Check;
    if (New) {
      EXPECT_TRUE(Addresses.insert(Address).second) << "shared by two checks: " << Case.Check;
    }
  }
  EXPECT_EQ(Addresses.size(), 7u);
}

TEST(Job, StopBeforeWritingLeavesTheOldResultAlone) {
  struct FailureCase {
    const char *Rectangles;
    std::vector<HostFault> Faults;
  } Cases[] = {
      {"2\n0 0 1 1\n", {{HostCall::ReadBytes, 1, 5}}},
      {"1\n0 0 1 1\n", {{HostCall::ReleaseFile, 1, 5}}},
      {"1\n0 0 1 1.5\n", {}},
  };
  for (const FailureCase &Case : Cases) {
    JobRun Result = RunWith(Case.Rectangles, Case.Faults);
    EXPECT_NE(Result.Outcome.ExitCode, 0) << Case.Rectangles;
    EXPECT_EQ(Result.Result, OldResult) << Case.Rectangles;
  }
}

TEST(Job, ResultFileGetsOneWriteAtClose) {
  FakeHost Fake;
  Fake.Files["Taldevon.DAT"] = "0\n";
  Fake.Files["Taldevon.SOL"] = OldResult;
  JobOutcome Outcome = RunJobOn(Fake);
  EXPECT_EQ(Outcome.ExitCode, 0);
  EXPECT_EQ(Fake.Writes, (std::vector<std::string>{"0\r\n"}));
  EXPECT_EQ(Fake.CountOf(HostCall::ReleaseFile), 2) << "both files are released";
}

TEST(Job, FailedWriteOutLeavesTheResultFileEmpty) {
  JobRun Result = RunWith("0\n", {{HostCall::WriteBytes, 1, 28}});
  EXPECT_EQ(Result.Outcome.ExitCode, 28);
  EXPECT_EQ(Result.Result, "");
}

} // namespace
