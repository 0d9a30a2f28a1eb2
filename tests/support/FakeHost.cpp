#include "support/FakeHost.h"

#include <algorithm>
#include <cerrno>

namespace {

FakeHost *Current = nullptr;

FakeHost::OpenFile *Lookup(FileHandle Handle) {
  auto Index = static_cast<std::size_t>(Handle - 1);
  if (Handle < 1 || Index >= Current->Handles.size() || !Current->Handles[Index].Open)
    return nullptr;
  return &Current->Handles[Index];
}

FileHandle NewHandle(const std::string &Name) {
  Current->Handles.push_back({Name});
  return static_cast<FileHandle>(Current->Handles.size());
}

bool IsDirectory(const std::string &Name) {
  return std::find(Current->Directories.begin(), Current->Directories.end(), Name) !=
         Current->Directories.end();
}

std::int32_t FakeOpenExisting(const char *Name, FileHandle *Handle) {
  if (std::int32_t Code = Current->FaultFor(HostCall::OpenExisting))
    return Code;
  if (IsDirectory(Name))
    return EISDIR;
  if (!Current->Files.count(Name))
    return ENOENT;
  *Handle = NewHandle(Name);
  return 0;
}

std::int32_t FakeCreateOrReplace(const char *Name, FileHandle *Handle) {
  if (std::int32_t Code = Current->FaultFor(HostCall::CreateOrReplace))
    return Code;
  if (IsDirectory(Name))
    return EISDIR;
  Current->Files[Name].clear();
  *Handle = NewHandle(Name);
  return 0;
}

std::int32_t FakeReadBytes(FileHandle Handle, std::uint8_t *Buffer, std::int32_t Count,
                           std::int32_t *Got) {
  if (std::int32_t Code = Current->FaultFor(HostCall::ReadBytes))
    return Code;
  FakeHost::OpenFile *File = Lookup(Handle);
  if (File == nullptr)
    return EBADF;
  const std::string &Bytes = Current->Files[File->Name];
  std::size_t Left = Bytes.size() - std::min(Bytes.size(), File->Position);
  std::size_t Take = std::min({Left, static_cast<std::size_t>(Count),
                               static_cast<std::size_t>(Current->ReadLimit)});
  if (Current->ReadByLine) {
    std::size_t LineFeed = Bytes.find('\n', File->Position);
    if (LineFeed != std::string::npos)
      Take = std::min(Take, LineFeed + 1 - File->Position);
  }
  std::copy_n(Bytes.begin() + static_cast<std::ptrdiff_t>(File->Position), Take, Buffer);
  File->Position += Take;
  *Got = static_cast<std::int32_t>(Take);
  return 0;
}

std::int32_t FakeWriteBytes(FileHandle Handle, const std::uint8_t *Buffer, std::int32_t Count) {
  if (std::int32_t Code = Current->FaultFor(HostCall::WriteBytes))
    return Code;
  FakeHost::OpenFile *File = Lookup(Handle);
  if (File == nullptr)
    return EBADF;
  std::string Bytes(reinterpret_cast<const char *>(Buffer), static_cast<std::size_t>(Count));
  Current->Writes.push_back(Bytes);
  if (Current->Kinds.count(File->Name) == 0)
    Current->Files[File->Name] += Bytes;
  return 0;
}

std::int32_t FakeReleaseFile(FileHandle Handle) {
  FakeHost::OpenFile *File = Lookup(Handle);
  if (File == nullptr)
    return EBADF;
  // The handle is gone whatever the result, as on a real host.
  File->Open = false;
  return Current->FaultFor(HostCall::ReleaseFile);
}

FileKind FakeKindOfFile(FileHandle Handle) {
  if (Current->FaultFor(HostCall::KindOfFile) != 0)
    return FileKind::Unknown;
  FakeHost::OpenFile *File = Lookup(Handle);
  if (File == nullptr)
    return FileKind::Unknown;
  auto Kind = Current->Kinds.find(File->Name);
  return Kind == Current->Kinds.end() ? FileKind::Other : Kind->second;
}

void FakeWriteToOutput(const std::uint8_t *Buffer, std::int32_t Count) {
  Current->Output.append(reinterpret_cast<const char *>(Buffer), static_cast<std::size_t>(Count));
  Current->OutputWrites.push_back(static_cast<std::size_t>(Count));
}

void FakeEndProcess(std::int32_t Code) { throw ProcessEnded{Code}; }

const HostServices FakeServices = {FakeOpenExisting, FakeCreateOrReplace, FakeReadBytes,
                                   FakeWriteBytes,   FakeReleaseFile,     FakeKindOfFile,
                                   FakeWriteToOutput, FakeEndProcess};

} // namespace

FakeHost::FakeHost() : Previous(Host) {
  Current = this;
  Host = &FakeServices;
}

FakeHost::~FakeHost() {
  Host = Previous;
  Current = nullptr;
}

int FakeHost::CountOf(HostCall Call) const {
  return static_cast<int>(std::count(Calls.begin(), Calls.end(), Call));
}

std::int32_t FakeHost::FaultFor(HostCall Call) {
  Calls.push_back(Call);
  int Occurrence = CountOf(Call);
  for (const HostFault &Fault : Faults)
    if (Fault.Call == Call &&
        (Occurrence == Fault.Occurrence || (Fault.Persistent && Occurrence > Fault.Occurrence)))
      return Fault.Code == 0 && Call == HostCall::KindOfFile ? 1 : Fault.Code;
  return 0;
}
