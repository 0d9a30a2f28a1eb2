// Token to number: an optional sign, then decimal digits or a "$", "x", "X", "0x", "0X" prefix
// and hexadecimal digits. Pure, so that a table can test every form.
#include "textfile/TextFile.h"

namespace {

constexpr ConvertedToken Invalid = {0, false};

int HexDigit(char Byte) {
  if (Byte >= '0' && Byte <= '9')
    return Byte - '0';
  if (Byte >= 'a' && Byte <= 'f')
    return Byte - 'a' + 10;
  if (Byte >= 'A' && Byte <= 'F')
    return Byte - 'A' + 10;
  return -1;
}

// Negation of a two's-complement value, modulo 2^32 as the file format defines it.
std::int32_t Signed(std::uint32_t Accumulator, bool Negative) {
  return static_cast<std::int32_t>(Negative ? 0u - Accumulator : Accumulator);
}

ConvertedToken ConvertDecimal(const char *Digits, const char *End, bool Negative) {
  if (Digits == End)
    return Invalid;
  std::uint32_t Accumulator = 0;
  for (; Digits != End; ++Digits) {
    // At most 214748364 before a digit keeps the accumulator inside 32 bits: 2147483649 at most.
    if (*Digits < '0' || *Digits > '9' || Accumulator > 214748364u)
      return Invalid;
    Accumulator = Accumulator * 10 + static_cast<std::uint32_t>(*Digits - '0');
  }
  if (Accumulator > (Negative ? 2147483648u : 2147483647u))
    return Invalid;
  return {Signed(Accumulator, Negative), true};
}

ConvertedToken ConvertHexadecimal(const char *Digits, const char *End, bool Negative) {
  if (Digits == End)
    return Invalid;
  std::uint32_t Accumulator = 0;
  for (; Digits != End; ++Digits) {
    int Digit = HexDigit(*Digits);
    // Only the top digit position must be free: then the digit fits in 32 bits.
    if (Digit < 0 || Accumulator > 0x0FFFFFFFu)
      return Invalid;
    Accumulator = Accumulator * 16 + static_cast<std::uint32_t>(Digit);
  }
  return {Signed(Accumulator, Negative), true};
}

} // namespace

ConvertedToken ConvertToken(const char *Token, std::int32_t Length) {
  const char *Byte = Token;
  const char *End = Token + Length;
  bool Negative = false;
  if (Byte != End && (*Byte == '-' || *Byte == '+')) {
    Negative = *Byte == '-';
    ++Byte;
  }
  if (Byte == End)
    return Invalid;
  if (*Byte == '$' || *Byte == 'x' || *Byte == 'X')
    return ConvertHexadecimal(Byte + 1, End, Negative);
  if (*Byte == '0' && Byte + 1 != End && (Byte[1] == 'x' || Byte[1] == 'X'))
    return ConvertHexadecimal(Byte + 2, End, Negative);
  return ConvertDecimal(Byte, End, Negative);
}
