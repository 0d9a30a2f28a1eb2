// A small model of how the rectangle file reads, written apart from src/textfile so that the
// fuzz target and the hostile-file tests can hold the job to it: the stop a file must end in,
// or the rectangles the job must see. It works on the whole file at once; the job's buffer and
// its one-byte look-back must not change what a file means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace reference {

struct Corners {
  std::int32_t X1, Y1, X2, Y2;
};

struct Expected {
  int Stop = 0; // the run-time error the file must stop the job with, or 0
  std::vector<Corners> Rectangles; // what the job must read when Stop is 0
};

constexpr std::int32_t Capacity = 10000;
constexpr int MalformedNumber = 106;
constexpr int BeyondCapacity = 201;

inline int DigitValue(char Byte, unsigned Base) {
  if (Byte >= '0' && Byte <= '9')
    return Byte - '0';
  if (Base == 16 && Byte >= 'a' && Byte <= 'f')
    return Byte - 'a' + 10;
  if (Base == 16 && Byte >= 'A' && Byte <= 'F')
    return Byte - 'A' + 10;
  return -1;
}

// The value of one token, or nothing when it is not a number.
inline std::optional<std::int32_t> TokenValue(std::string_view Token) {
  bool Negative = false;
  if (!Token.empty() && (Token[0] == '+' || Token[0] == '-')) {
    Negative = Token[0] == '-';
    Token.remove_prefix(1);
  }
  unsigned Base = 10;
  // "0x" before "x": "0x1F" is hexadecimal, never a decimal 0 followed by junk.
  for (std::string_view Prefix : {"0x", "0X", "$", "x", "X"})
    if (Token.substr(0, Prefix.size()) == Prefix) {
      Base = 16;
      Token.remove_prefix(Prefix.size());
      break;
    }
  if (Token.empty())
    return std::nullopt;
  std::uint64_t Value = 0;
  std::size_t Significant = 0; // digits from the first nonzero one on
  for (char Byte : Token) {
    int Digit = DigitValue(Byte, Base);
    if (Digit < 0)
      return std::nullopt;
    if (Value != 0 || Digit != 0)
      ++Significant;
    // Beyond these lengths no value fits in 32 bits; stopping here also keeps Value in 64.
    if (Significant > (Base == 16 ? 8u : 10u))
      return std::nullopt;
    Value = Value * Base + static_cast<unsigned>(Digit);
  }
  std::uint64_t Limit = Base == 16 ? 0xFFFFFFFFu : Negative ? 2147483648u : 2147483647u;
  if (Value > Limit)
    return std::nullopt;
  auto Bits = static_cast<std::uint32_t>(Value);
  // Negation wraps modulo 2^32 on purpose: "-$80000000" and "-2147483648" are the same value.
  return static_cast<std::int32_t>(Negative ? 0u - Bits : Bits);
}

class Reader {
public:
  // Nothing after the first Ctrl-Z is part of the file.
  explicit Reader(std::string_view Bytes) : Left(Bytes.substr(0, Bytes.find('\x1a'))) {}

  // A missing number at the end of the file reads as 0; a malformed one as nothing.
  std::optional<std::int32_t> Number() {
    while (!Left.empty() && IsSeparator(Left.front()))
      Left.remove_prefix(1);
    std::size_t Length = 0;
    while (Length < Left.size() && Length < 32 && !IsSeparator(Left[Length]))
      ++Length;
    if (Length == 0)
      return 0;
    std::string_view Token = Left.substr(0, Length);
    Left.remove_prefix(Length);
    return TokenValue(Token);
  }

  void SkipLine() {
    std::size_t LineFeed = Left.find('\n');
    Left.remove_prefix(LineFeed == std::string_view::npos ? Left.size() : LineFeed + 1);
  }

private:
  static bool IsSeparator(char Byte) { return static_cast<unsigned char>(Byte) <= 32; }
  std::string_view Left;
};

// One outcome per check: a statement's malformed number counts only once the whole statement
// has been read, and the count's own check also refuses a count beyond capacity.
inline Expected ReadRectangleFile(std::string_view Bytes) {
  Reader File(Bytes);
  std::optional<std::int32_t> Count = File.Number();
  File.SkipLine();
  if (!Count)
    return {MalformedNumber, {}};
  if (*Count > Capacity)
    return {BeyondCapacity, {}};
  Expected Result;
  for (std::int32_t Index = 1; Index <= *Count; ++Index) {
    std::optional<std::int32_t> X1 = File.Number(), Y1 = File.Number();
    if (!X1 || !Y1)
      return {MalformedNumber, {}};
    std::optional<std::int32_t> X2 = File.Number(), Y2 = File.Number();
    File.SkipLine();
    if (!X2 || !Y2)
      return {MalformedNumber, {}};
    Result.Rectangles.push_back({*X1, *Y1, *X2, *Y2});
  }
  return Result;
}

} // namespace reference
