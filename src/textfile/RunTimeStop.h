// The two ways out of the job: the normal end and the run-time error stop with its report.
#pragma once

#include <cstdint>

constexpr std::int32_t ErrorReportSize = 30;

extern std::int32_t ExitStatus;
extern std::uintptr_t StopAddress; // 0 while no stop is pending
extern char ErrorReport[ErrorReportSize];

// Stops the job if any file operation failed since the last check; the report names the place
// just after the call, so every check has an address of its own.
void CheckIo();

[[noreturn]] void RuntimeStop(std::uint8_t Number, std::uintptr_t Address);
[[noreturn]] void ProcessEnd();
