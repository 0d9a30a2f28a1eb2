// The job's text file: reading numbers and lines from the rectangle file, writing the result
// line, and the checked-status rule that turns a failed operation into a run-time error stop.
#pragma once

#include <cstdint>

#include "platform/Host.h"

constexpr std::int32_t TextBufferSize = 128;
constexpr std::int32_t MaxTokenLength = 32;
constexpr std::uint8_t EndOfFileMark = 26;
constexpr int EndOfFile = -1;

// Codes of the text-file facility itself; every other code is the host's.
constexpr std::int32_t FileKindUnknownError = 105;
constexpr std::int32_t InvalidNumberError = 106;

enum class FileMode { Closed, Reading, Writing };

struct TextFile {
  const char *Name;
  FileHandle Handle;
  FileMode Mode;
  bool WriteOutAtLineEnd;
  std::int32_t BufferEnd; // valid bytes in Buffer
  std::int32_t BufferPos; // next unread byte (reading) or unused
  std::uint8_t Buffer[TextBufferSize];
};

// The code of the last failed file operation since the job started; 0 while none failed.
extern std::int32_t IoStatus;

void BindName(TextFile &File, const char *Name);
void CloseText(TextFile &File);

// Reading.
void OpenForReading(TextFile &File);
int NextChar(TextFile &File);        // a byte 0..255, or EndOfFile
bool SkipSeparators(TextFile &File); // true when a token follows
std::int32_t ReadNumber(TextFile &File);
void SkipLine(TextFile &File);

struct ConvertedToken {
  std::int32_t Value;
  bool Valid;
};
ConvertedToken ConvertToken(const char *Token, std::int32_t Length);

// Writing.
void OpenForWriting(TextFile &File);
void WriteNumber(TextFile &File, std::int64_t Value);
void WriteLineEnd(TextFile &File);
