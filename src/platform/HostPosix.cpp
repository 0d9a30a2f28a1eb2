// POSIX backend of the host services. Only generic UNIX code belongs here.
#include "platform/Host.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" char __executable_start; // provided by the linker at the start of the image

namespace {

// errno of a failed call, never 0, so that a failure can never read as success.
std::int32_t LastError() { return errno != 0 ? errno : EIO; }

std::int32_t PosixOpenExisting(const char *Name, FileHandle *Handle) {
  // Non-blocking so that a FIFO without a writer cannot hang the job at the open.
  int Fd = open(Name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (Fd < 0)
    return LastError();
  struct stat Info;
  if (fstat(Fd, &Info) != 0) {
    std::int32_t Code = LastError();
    close(Fd);
    return Code;
  }
  // Linux opens a directory for reading; refuse it here, where the host would refuse it.
  if (S_ISDIR(Info.st_mode)) {
    close(Fd);
    return EISDIR;
  }
  int Flags = fcntl(Fd, F_GETFL);
  if (Flags < 0 || fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK) != 0) {
    std::int32_t Code = LastError();
    close(Fd);
    return Code;
  }
  *Handle = Fd;
  return 0;
}

std::int32_t PosixCreateOrReplace(const char *Name, FileHandle *Handle) {
  int Fd = open(Name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  if (Fd < 0)
    return LastError();
  *Handle = Fd;
  return 0;
}

std::int32_t PosixReadBytes(FileHandle Handle, std::uint8_t *Buffer, std::int32_t Count,
                            std::int32_t *Got) {
  for (;;) {
    ssize_t Done = read(static_cast<int>(Handle), Buffer, static_cast<size_t>(Count));
    if (Done >= 0) {
      *Got = static_cast<std::int32_t>(Done);
      return 0;
    }
    if (errno != EINTR)
      return LastError();
  }
}

// Loops over short writes: a result that reached the file only in part must not count as written.
std::int32_t PosixWriteBytes(FileHandle Handle, const std::uint8_t *Buffer, std::int32_t Count) {
  while (Count > 0) {
    ssize_t Done = write(static_cast<int>(Handle), Buffer, static_cast<size_t>(Count));
    if (Done < 0) {
      if (errno == EINTR)
        continue;
      return LastError();
    }
    if (Done == 0)
      return EIO;
    Buffer += Done;
    Count -= static_cast<std::int32_t>(Done);
  }
  return 0;
}

std::int32_t PosixReleaseFile(FileHandle Handle) {
  // On Linux the descriptor is gone even when close reports EINTR; retrying could close another.
  if (close(static_cast<int>(Handle)) != 0 && errno != EINTR)
    return LastError();
  return 0;
}

FileKind PosixKindOfFile(FileHandle Handle) {
  struct stat Info;
  if (fstat(static_cast<int>(Handle), &Info) != 0)
    return FileKind::Unknown;
  return S_ISCHR(Info.st_mode) ? FileKind::CharacterDevice : FileKind::Other;
}

void PosixWriteToOutput(const std::uint8_t *Buffer, std::int32_t Count) {
  while (Count > 0) {
    ssize_t Done = write(STDOUT_FILENO, Buffer, static_cast<size_t>(Count));
    if (Done < 0 && errno == EINTR)
      continue;
    if (Done <= 0)
      return;
    Buffer += Done;
    Count -= static_cast<std::int32_t>(Done);
  }
}

// _exit, not exit: nothing of the C or C++ runtime is flushed or closed on the way out.
void PosixEndProcess(std::int32_t Code) { _exit(Code & 0xFF); }

const HostServices Native = {PosixOpenExisting, PosixCreateOrReplace, PosixReadBytes,
                             PosixWriteBytes,   PosixReleaseFile,     PosixKindOfFile,
                             PosixWriteToOutput, PosixEndProcess};

} // namespace

const HostServices &NativeHost() { return Native; }

const HostServices *Host = &Native;

std::uintptr_t CodeOffset(const void *Address) {
  return reinterpret_cast<std::uintptr_t>(Address) -
         reinterpret_cast<std::uintptr_t>(&__executable_start);
}

void AdviseLargePages(void *Address, std::size_t Size) {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t LargePage = std::uintptr_t{2} << 20;
  auto Start = reinterpret_cast<std::uintptr_t>(Address);
  std::uintptr_t First = (Start + LargePage - 1) & ~(LargePage - 1);
  std::uintptr_t Last = (Start + Size) & ~(LargePage - 1);
  if (First < Last)
    madvise(reinterpret_cast<void *>(First), Last - First, MADV_HUGEPAGE);
#else
  (void)Address;
  (void)Size;
#endif
}
