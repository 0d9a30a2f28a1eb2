// The checked-status rule and the run-time error stop.
#include "textfile/RunTimeStop.h"

#include <cstdlib>

#include "platform/Host.h"
#include "textfile/TextFile.h"

std::int32_t ExitStatus = 0;
std::uintptr_t StopAddress = 0;
char ErrorReport[ErrorReportSize] = "Runtime error     at 00000000";

namespace {

constexpr int NumberLastPosition = 17;  // 1-based positions in the report
constexpr int AddressLastPosition = 29;
constexpr int AddressDigits = 8;

void FillReport(std::int32_t Number, std::uintptr_t Address) {
  std::uint32_t Value = static_cast<std::uint32_t>(Number) & 0xFF;
  int Position = NumberLastPosition;
  do {
    ErrorReport[Position - 1] = static_cast<char>('0' + Value % 10);
    Value /= 10;
    --Position;
  } while (Value != 0);
  // Eight positions is all the report has; a larger address must not spill over "at".
  std::uintptr_t Remaining = Address;
  Position = AddressLastPosition;
  do {
    ErrorReport[Position - 1] = "0123456789ABCDEF"[Remaining % 16];
    Remaining /= 16;
    --Position;
  } while (Remaining != 0 && Position > AddressLastPosition - AddressDigits);
}

} // namespace

[[gnu::noinline]] void CheckIo() {
  if (IoStatus == 0)
    return;
  RuntimeStop(static_cast<std::uint8_t>(IoStatus & 0xFF),
              CodeOffset(__builtin_return_address(0)));
}

void RuntimeStop(std::uint8_t Number, std::uintptr_t Address) {
  ExitStatus = Number;
  StopAddress = Address;
  ProcessEnd();
}

void ProcessEnd() {
  if (StopAddress != 0) {
    FillReport(ExitStatus, StopAddress);
    static const std::uint8_t LineEnd[2] = {13, 10};
    // The whole buffer, its NUL included, then the line end in a write of its own.
    Host->WriteToOutput(reinterpret_cast<const std::uint8_t *>(ErrorReport), ErrorReportSize);
    Host->WriteToOutput(LineEnd, 2);
    StopAddress = 0;
  }
  Host->EndProcess(ExitStatus);
  std::abort(); // only a broken host double returns from EndProcess
}
