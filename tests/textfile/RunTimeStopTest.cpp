#include <gtest/gtest.h>

#include <string>

#include "support/FakeHost.h"
#include "support/JobRunner.h"
#include "textfile/RunTimeStop.h"
#include "textfile/TextFile.h"

namespace {

JobOutcome Stop(std::uint8_t Number, std::uintptr_t Address) {
  FakeHost Fake;
  ResetJobState();
  try {
    RuntimeStop(Number, Address);
  } catch (const ProcessEnded &Ended) {
    EXPECT_EQ(Fake.OutputWrites, (std::vector<std::size_t>{30, 2}));
    return {Ended.Code, Fake.Output};
  }
}

JobOutcome CheckWith(std::int32_t Status) {
  FakeHost Fake;
  ResetJobState();
  IoStatus = Status;
  try {
    CheckIo();
  } catch (const ProcessEnded &Ended) {
    return {Ended.Code, Fake.Output};
  }
  return {-1, Fake.Output};
}

TEST(RuntimeStop, ReportHasTheNumberRightAlignedAndEightHexDigits) {
  struct StopCase {
    std::uint8_t Number;
    std::uintptr_t Address;
    const char *Digits;
  } Cases[] = {{5, 0x1A2B, "00001A2B"},     {32, 1, "00000001"},     {106, 0xDEADBEEF, "DEADBEEF"},
               {255, 0xF, "0000000F"},      {0, 0x10, "00000010"},
               // Only the low eight digits fit; the rest must not spill over "at".
               {2, 0x123456789ABULL, "456789AB"}};
  for (const StopCase &Case : Cases) {
    JobOutcome Outcome = Stop(Case.Number, Case.Address);
    EXPECT_EQ(Outcome.ExitCode, Case.Number);
    EXPECT_EQ(Outcome.Output, ExpectedReport(Case.Number, Case.Digits));
    EXPECT_EQ(Outcome.Output.size(), 32u);
  }
}

TEST(CheckIo, ReturnsWhileNothingFailed) {
  JobOutcome Outcome = CheckWith(0);
  EXPECT_EQ(Outcome.ExitCode, -1);
  EXPECT_EQ(Outcome.Output, "");
}

TEST(CheckIo, ReportsTheStatusModulo256) {
  struct StatusCase {
    std::int32_t Status;
    int Reported;
  } Cases[] = {{2, 2}, {106, 106}, {300, 44}, {256, 0}, {511, 255}, {-1, 255}};
  for (const StatusCase &Case : Cases) {
    JobOutcome Outcome = CheckWith(Case.Status);
    EXPECT_EQ(Outcome.ExitCode, Case.Reported) << "status " << Case.Status;
    ASSERT_EQ(Outcome.Output.size(), 32u);
    std::string Field = std::to_string(Case.Reported);
    EXPECT_EQ(Outcome.Output.substr(14, 3), std::string(3 - Field.size(), ' ') + Field);
  }
}

TEST(CheckIo, AddressNamesTheCallSite) {
  JobOutcome First = CheckWith(7);
  JobOutcome Again = CheckWith(7);
  EXPECT_EQ(First.Output, Again.Output) << "one place, one address";
  FakeHost Fake;
  ResetJobState();
  IoStatus = 7;
  std::string Elsewhere;
  try {
    CheckIo();
  } catch (const ProcessEnded &) {
    Elsewhere = Fake.Output;
  }
  ASSERT_EQ(Elsewhere.size(), 32u);
  EXPECT_NE(Elsewhere.substr(21, 8), First.Output.substr(21, 8));
  EXPECT_NE(First.Output.substr(21, 8), "00000000");
}

} // namespace
