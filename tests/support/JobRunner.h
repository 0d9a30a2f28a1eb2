// Runs the whole job in this process on a FakeHost, from a fresh start each time.
#pragma once

#include <cstdint>
#include <string>

#include "support/FakeHost.h"

struct JobOutcome {
  std::int32_t ExitCode;
  std::string Output;
};

// Puts every table, the text file and the stop state back to their start values.
void ResetJobState();

JobOutcome RunJobOn(FakeHost &Fake);

// The report a stop with this number and address writes, as the 32 bytes that reach the output.
std::string ExpectedReport(int Number, const std::string &AddressDigits);
