// Every host call of a run made to fail, alone and together with a later call of the same
// statement: the report names the last failure and the check that closed the statement, the
// exit code is its number modulo 256, and the old result survives every stop before the create.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/FakeHost.h"
#include "support/JobRunner.h"

namespace {

const char Rectangles[] = "2\n0 0 2 3\n1 1 3 3\n"; // area 6 + 4 - 2 = 8
const char OldResult[] = "4294967295\r\nfrom an earlier run\r\n";
const char NewResult[] = "8\r\n";

struct Outcome {
  JobOutcome Job;
  std::string Result;
  std::vector<HostCall> Calls;
};

// Reads hand out one line each, so every read belongs to a known statement: read 1 to the
// count line, read k + 1 to the first corner of rectangle k.
Outcome RunWithFaults(const std::vector<HostFault> &Faults, bool ResultOnDevice = false) {
  FakeHost Fake;
  Fake.ReadByLine = true;
  Fake.Files["Taldevon.DAT"] = Rectangles;
  Fake.Files["Taldevon.SOL"] = OldResult;
  if (ResultOnDevice)
    Fake.Kinds["Taldevon.SOL"] = FileKind::CharacterDevice;
  Fake.Faults = Faults;
  JobOutcome Job = RunJobOn(Fake);
  return {Job, Fake.Files["Taldevon.SOL"], Fake.Calls};
}

struct FaultCase {
  const char *What;
  std::vector<HostFault> Faults;
  int Number;        // reported and returned
  const char *Check; // the check that stops the job
  const char *Result; // Taldevon.SOL afterwards
  bool ResultOnDevice = false;
};

const FaultCase Cases[] = {
    {"open", {{HostCall::OpenExisting, 1, 2}}, 2, "open", OldResult},
    {"read of the count line", {{HostCall::ReadBytes, 1, 5}}, 5, "count line", OldResult},
    {"two reads of the count line", {{HostCall::ReadBytes, 1, 5}, {HostCall::ReadBytes, 2, 6}}, 6,
     "count line", OldResult},
    {"read of a corner", {{HostCall::ReadBytes, 2, 300}}, 44, "corner", OldResult},
    {"two reads of one corner", {{HostCall::ReadBytes, 2, 7}, {HostCall::ReadBytes, 3, 9}}, 9,
     "corner", OldResult},
    {"read of the last rectangle", {{HostCall::ReadBytes, 3, 512}}, 0, "corner", OldResult},
    {"reads failing from the last rectangle on", {{HostCall::ReadBytes, 3, 11, true}}, 11, "corner",
     OldResult},
    {"close of the rectangle file", {{HostCall::ReleaseFile, 1, 9}}, 9, "close for reading",
     OldResult},
    {"create", {{HostCall::CreateOrReplace, 1, 13}}, 13, "open for writing", OldResult},
    {"kind", {{HostCall::KindOfFile, 1, 0}}, 105, "open for writing", ""},
    {"kind, then the release of the unknown file",
     {{HostCall::KindOfFile, 1, 0}, {HostCall::ReleaseFile, 2, 5}}, 105, "open for writing", ""},
    {"write-out at the line end of a device", {{HostCall::WriteBytes, 1, 28}}, 28,
     "number and line end", OldResult, true},
    {"write-out at the close", {{HostCall::WriteBytes, 1, 28}}, 28, "close for writing", ""},
    {"write-out at the close, which then releases nothing",
     {{HostCall::WriteBytes, 1, 28}, {HostCall::ReleaseFile, 2, 5}}, 28, "close for writing", ""},
    {"release of the result file", {{HostCall::ReleaseFile, 2, 5}}, 5, "close for writing",
     NewResult},
};

TEST(FaultInjection, EachFailureStopsAtItsStatementsCheck) {
  std::map<std::string, std::string> AddressOfCheck;
  std::set<std::string> Addresses;
  for (const FaultCase &Case : Cases) {
    Outcome Got = RunWithFaults(Case.Faults, Case.ResultOnDevice);
    EXPECT_EQ(Got.Job.ExitCode, Case.Number) << Case.What;
    ASSERT_EQ(Got.Job.Output.size(), 32u) << Case.What;
    std::string Address = Got.Job.Output.substr(21, 8);
    EXPECT_EQ(Got.Job.Output, ExpectedReport(Case.Number, Address)) << Case.What;
    // A device holds no content here; the old bytes stand for "not written to".
    if (!Case.ResultOnDevice) {
      EXPECT_EQ(Got.Result, Case.Result) << Case.What;
    }
    auto [Known, New] = AddressOfCheck.emplace(Case.Check, Address);
    EXPECT_EQ(Known->second, Address) << Case.What << ": check \"" << Case.Check << "\" moved";
    if (New) {
      EXPECT_TRUE(Addresses.insert(Address).second)
          << Case.What << ": two checks share " << Address;
    }
  }
}

TEST(FaultInjection, EveryCallOfARunFailingOnce) {
  // The clean run gives the calls; each is then failed on its own with a code above 255.
  Outcome Clean = RunWithFaults({});
  ASSERT_EQ(Clean.Job.ExitCode, 0);
  ASSERT_EQ(Clean.Result, NewResult);
  std::size_t Create = 0;
  while (Create < Clean.Calls.size() && Clean.Calls[Create] != HostCall::CreateOrReplace)
    ++Create;
  ASSERT_LT(Create, Clean.Calls.size());
  std::map<HostCall, int> Seen;
  for (std::size_t Index = 0; Index < Clean.Calls.size(); ++Index) {
    HostCall Call = Clean.Calls[Index];
    std::int32_t Code = 256 + static_cast<std::int32_t>(Index) + 1;
    Outcome Got = RunWithFaults({{Call, ++Seen[Call], Code}});
    int Number = Call == HostCall::KindOfFile ? 105 : Code % 256;
    EXPECT_EQ(Got.Job.ExitCode, Number) << "call " << Index;
    EXPECT_EQ(Got.Job.Output.substr(0, 17), ExpectedReport(Number, "").substr(0, 17))
        << "call " << Index;
    if (Index <= Create) {
      EXPECT_EQ(Got.Result, OldResult) << "call " << Index << " failed before the result was made";
    }
  }
}

} // namespace
