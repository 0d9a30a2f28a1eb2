// The host services the job needs, and nothing more: files, standard output, process end.
// Every call gives 0 or the host's own error code (never 0 for a failure); none throws or prints.
#pragma once

#include <cstddef>
#include <cstdint>

using FileHandle = std::intptr_t;

enum class FileKind { Unknown, CharacterDevice, Other };

struct HostServices {
  std::int32_t (*OpenExisting)(const char *Name, FileHandle *Handle);
  std::int32_t (*CreateOrReplace)(const char *Name, FileHandle *Handle);
  std::int32_t (*ReadBytes)(FileHandle Handle, std::uint8_t *Buffer, std::int32_t Count,
                            std::int32_t *Got);
  std::int32_t (*WriteBytes)(FileHandle Handle, const std::uint8_t *Buffer, std::int32_t Count);
  std::int32_t (*ReleaseFile)(FileHandle Handle);
  FileKind (*KindOfFile)(FileHandle Handle);
  // Results are ignored by design: there is nowhere left to report a failure of the report.
  void (*WriteToOutput)(const std::uint8_t *Buffer, std::int32_t Count);
  // Must not return; a test double may leave by throwing instead.
  void (*EndProcess)(std::int32_t Code);
};

// The services the job calls through. Points at the native backend unless a test swaps it.
extern const HostServices *Host;

const HostServices &NativeHost();

// Asks the host to back the whole pages of a large zero-filled table with large pages, which
// cuts the cost of first touches and address translation many times. Only advice: nothing
// changes when the host declines.
void AdviseLargePages(void *Address, std::size_t Size);

// Where Address lies relative to the start of the loaded program image, so that the same code
// gets the same number in every run whatever address the loader chose.
std::uintptr_t CodeOffset(const void *Address);
