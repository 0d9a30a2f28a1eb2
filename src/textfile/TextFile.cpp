// Binding and closing the text file, and the writing side: the result line and its write-out.
#include "textfile/TextFile.h"

std::int32_t IoStatus = 0;

namespace {

// The buffer counts as empty afterwards even when the write failed: the stop that follows
// ends the job, and a retry could only write the same bytes twice.
std::int32_t WriteOutBuffer(TextFile &File) {
  std::int32_t Count = File.BufferEnd;
  File.BufferEnd = 0;
  if (Count == 0 || File.Mode != FileMode::Writing)
    return 0;
  std::int32_t Code = Host->WriteBytes(File.Handle, File.Buffer, Count);
  if (Code != 0)
    IoStatus = Code;
  return Code;
}

void AppendByte(TextFile &File, std::uint8_t Byte) {
  File.Buffer[File.BufferEnd++] = Byte;
  if (File.BufferEnd == TextBufferSize)
    WriteOutBuffer(File);
}

} // namespace

void BindName(TextFile &File, const char *Name) {
  File.Name = Name;
  File.Handle = 0;
  File.Mode = FileMode::Closed;
  File.WriteOutAtLineEnd = false;
  File.BufferEnd = 0;
  File.BufferPos = 0;
}

void CloseText(TextFile &File) {
  if (File.Mode == FileMode::Closed)
    return;
  // A failed write-out leaves the file open: the stop that follows ends the process, which
  // releases the handle.
  if (File.Mode == FileMode::Writing && File.BufferEnd > 0 && WriteOutBuffer(File) != 0)
    return;
  File.Mode = FileMode::Closed;
  if (std::int32_t Code = Host->ReleaseFile(File.Handle))
    IoStatus = Code;
}

void OpenForWriting(TextFile &File) {
  File.BufferEnd = 0;
  File.BufferPos = 0;
  File.WriteOutAtLineEnd = false;
  FileHandle Handle = 0;
  if (std::int32_t Code = Host->CreateOrReplace(File.Name, &Handle)) {
    IoStatus = Code;
    return;
  }
  switch (Host->KindOfFile(Handle)) {
  case FileKind::Unknown:
    Host->ReleaseFile(Handle);
    IoStatus = FileKindUnknownError;
    return;
  case FileKind::CharacterDevice:
    // A terminal or device should see each line as it is finished, not at the close.
    File.WriteOutAtLineEnd = true;
    break;
  case FileKind::Other:
    break;
  }
  File.Handle = Handle;
  File.Mode = FileMode::Writing;
}

void WriteNumber(TextFile &File, std::int64_t Value) {
  char Digits[20];
  int Count = 0;
  // Work on the magnitude as unsigned so that the most negative value has one too.
  std::uint64_t Magnitude =
      Value < 0 ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
  do {
    Digits[Count++] = static_cast<char>('0' + Magnitude % 10);
    Magnitude /= 10;
  } while (Magnitude != 0);
  if (Value < 0)
    AppendByte(File, '-');
  while (Count > 0)
    AppendByte(File, static_cast<std::uint8_t>(Digits[--Count]));
}

void WriteLineEnd(TextFile &File) {
  AppendByte(File, 13);
  AppendByte(File, 10);
  if (File.WriteOutAtLineEnd)
    WriteOutBuffer(File);
}
