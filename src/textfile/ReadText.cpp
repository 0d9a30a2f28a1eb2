// The reading side of the text file: bytes through the 128-byte buffer, tokens, numbers, lines.
#include "textfile/TextFile.h"

void OpenForReading(TextFile &File) {
  File.BufferEnd = 0;
  File.BufferPos = 0;
  FileHandle Handle = 0;
  if (std::int32_t Code = Host->OpenExisting(File.Name, &Handle)) {
    IoStatus = Code;
    return;
  }
  File.Handle = Handle;
  File.Mode = FileMode::Reading;
}

int NextChar(TextFile &File) {
  if (File.Mode != FileMode::Reading)
    return EndOfFile;
  for (;;) {
    if (File.BufferPos < File.BufferEnd) {
      std::uint8_t Byte = File.Buffer[File.BufferPos];
      // The mark stays unread, so the end once met is met again without touching the file.
      if (Byte == EndOfFileMark)
        return EndOfFile;
      ++File.BufferPos;
      return Byte;
    }
    File.BufferPos = 0;
    File.BufferEnd = 0;
    std::int32_t Got = 0;
    if (std::int32_t Code = Host->ReadBytes(File.Handle, File.Buffer, TextBufferSize, &Got)) {
      // This end does not last: the next call tries the read again.
      IoStatus = Code;
      return EndOfFile;
    }
    if (Got <= 0) {
      File.Buffer[0] = EndOfFileMark;
      File.BufferEnd = 1;
      return EndOfFile;
    }
    File.BufferEnd = Got < TextBufferSize ? Got : TextBufferSize;
  }
}

// Moves the read position back over the byte NextChar just gave; it is still in the buffer.
static void LeaveUnread(TextFile &File) { --File.BufferPos; }

bool SkipSeparators(TextFile &File) {
  for (;;) {
    int Byte = NextChar(File);
    if (Byte == EndOfFile)
      return false;
    if (Byte > 32) {
      LeaveUnread(File);
      return true;
    }
  }
}

std::int32_t ReadNumber(TextFile &File) {
  if (!SkipSeparators(File))
    return 0;
  char Token[MaxTokenLength + 1];
  std::int32_t Length = 0;
  while (Length < MaxTokenLength) {
    int Byte = NextChar(File);
    if (Byte == EndOfFile)
      break;
    if (Byte <= 32) {
      // Leave the separator unread so that SkipLine still sees the line feed that ends this line.
      LeaveUnread(File);
      break;
    }
    Token[Length++] = static_cast<char>(Byte);
  }
  Token[Length] = '\0';
  ConvertedToken Converted = ConvertToken(Token, Length);
  if (!Converted.Valid) {
    IoStatus = InvalidNumberError;
    return 0;
  }
  return Converted.Value;
}

void SkipLine(TextFile &File) {
  for (;;) {
    int Byte = NextChar(File);
    if (Byte == EndOfFile || Byte == 10)
      return;
  }
}
