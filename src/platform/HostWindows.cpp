// Windows backend of the host services. Only Windows code belongs here.
#include "platform/Host.h"

#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase; // provided by the linker at the start of the image

namespace {

// Rarely, a failed call leaves no code; a general failure then stands in, so that a failure can
// never read as success.
std::int32_t LastError() {
  DWORD Code = GetLastError();
  return Code != ERROR_SUCCESS ? static_cast<std::int32_t>(Code) : ERROR_GEN_FAILURE;
}

HANDLE AsHandle(FileHandle Handle) { return reinterpret_cast<HANDLE>(Handle); }

// FILE_SHARE_READ and no more: another reader may look on, but no one may change the file
// while the job holds it; a file already open for writing elsewhere is refused with the host's
// own code.
std::int32_t Open(const char *Name, DWORD Access, DWORD Disposition, FileHandle *Handle) {
  HANDLE File = CreateFileA(Name, Access, FILE_SHARE_READ, nullptr, Disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE)
    return LastError();
  *Handle = reinterpret_cast<FileHandle>(File);
  return 0;
}

// Without FILE_FLAG_BACKUP_SEMANTICS a directory is refused here, as the job needs.
std::int32_t WindowsOpenExisting(const char *Name, FileHandle *Handle) {
  return Open(Name, GENERIC_READ, OPEN_EXISTING, Handle);
}

// CREATE_ALWAYS truncates an existing file, so a longer old result leaves nothing behind.
std::int32_t WindowsCreateOrReplace(const char *Name, FileHandle *Handle) {
  return Open(Name, GENERIC_WRITE, CREATE_ALWAYS, Handle);
}

std::int32_t WindowsReadBytes(FileHandle Handle, std::uint8_t *Buffer, std::int32_t Count,
                              std::int32_t *Got) {
  DWORD Done = 0;
  if (!ReadFile(AsHandle(Handle), Buffer, static_cast<DWORD>(Count), &Done, nullptr))
    return LastError();
  *Got = static_cast<std::int32_t>(Done);
  return 0;
}

// One call and no comparison of the count: a synchronous write to a file or a device either
// takes every byte or fails with a code of its own.
std::int32_t WindowsWriteBytes(FileHandle Handle, const std::uint8_t *Buffer, std::int32_t Count) {
  DWORD Done = 0;
  if (!WriteFile(AsHandle(Handle), Buffer, static_cast<DWORD>(Count), &Done, nullptr))
    return LastError();
  return 0;
}

// Only 1 counts as success: a value the documentation does not promise is not taken on trust.
std::int32_t WindowsReleaseFile(FileHandle Handle) {
  if (CloseHandle(AsHandle(Handle)) != 1)
    return LastError();
  return 0;
}

// FILE_TYPE_UNKNOWN is also what a failed query gives; either way the job cannot trust the file.
FileKind WindowsKindOfFile(FileHandle Handle) {
  switch (GetFileType(AsHandle(Handle))) {
  case FILE_TYPE_UNKNOWN:
    return FileKind::Unknown;
  case FILE_TYPE_CHAR:
    return FileKind::CharacterDevice;
  default:
    return FileKind::Other;
  }
}

void WindowsWriteToOutput(const std::uint8_t *Buffer, std::int32_t Count) {
  DWORD Done = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), Buffer, static_cast<DWORD>(Count), &Done, nullptr);
}

// ExitProcess, not exit: the C and C++ runtime's exit handlers are not run on the way out.
void WindowsEndProcess(std::int32_t Code) { ExitProcess(static_cast<UINT>(Code)); }

const HostServices Native = {WindowsOpenExisting, WindowsCreateOrReplace, WindowsReadBytes,
                             WindowsWriteBytes,   WindowsReleaseFile,     WindowsKindOfFile,
                             WindowsWriteToOutput, WindowsEndProcess};

} // namespace

const HostServices &NativeHost() { return Native; }

const HostServices *Host = &Native;

// The image base, not a fixed address: with address space layout randomisation the loader
// may place the image anywhere.
std::uintptr_t CodeOffset(const void *Address) {
  return reinterpret_cast<std::uintptr_t>(Address) -
         reinterpret_cast<std::uintptr_t>(&__ImageBase);
}

// Large pages on Windows need the "lock pages in memory" privilege, which an ordinary user
// lacks, and a static table cannot be moved onto them anyway: declining is the advice's
// documented outcome.
void AdviseLargePages(void *Address, std::size_t Size) {
  (void)Address;
  (void)Size;
}
