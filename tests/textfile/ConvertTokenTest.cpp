#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "textfile/TextFile.h"

namespace {

struct TokenCase {
  const char *Token;
  std::int32_t Value;
  bool Valid;
};

const TokenCase TokenCases[] = {
    {"0", 0, true},
    {"00", 0, true},
    {"+5", 5, true},
    {"007", 7, true},
    {"010", 10, true}, // a leading zero does not make it octal
    {"-0", 0, true},
    {"-12", -12, true},
    {"2147483647", 2147483647, true},
    {"-2147483648", -2147483647 - 1, true},
    {"00000000000000000000002147483647", 2147483647, true},
    {"2147483648", 0, false},
    {"-2147483649", 0, false},
    {"4294967296", 0, false},
    {"99999999999", 0, false},
    {"$1F", 31, true},
    {"x1F", 31, true},
    {"X1f", 31, true},
    {"0x1F", 31, true},
    {"0X1f", 31, true},
    {"-0x10", -16, true},
    {"+$a", 10, true},
    {"$7FFFFFFF", 2147483647, true},
    {"$FFFFFFFF", -1, true},
    {"$80000000", -2147483647 - 1, true},
    {"-$80000000", -2147483647 - 1, true},
    {"-$FFFFFFFF", 1, true},
    {"$00000000FFFFFFFF", -1, true}, // leading zeros do not count against the eight digits
    {"$100000000", 0, false},
    {"1.5", 0, false},
    {"1e3", 0, false},
    {"1,2", 0, false},
    {"5abc", 0, false},
    {"--5", 0, false},
    {"+-5", 0, false},
    {"-+5", 0, false},
    {"-", 0, false},
    {"+", 0, false},
    {"$", 0, false},
    {"x", 0, false},
    {"0x", 0, false},
    {"-0x", 0, false},
    {"$-5", 0, false},
    {"0x$5", 0, false},
    {"$1G", 0, false},
    {"0b101", 0, false},
    {"\xEF\xBB\xBF"
     "5",
     0, false}, // a byte-order mark belongs to the token
    {"\x80", 0, false},
};

TEST(ConvertToken, EveryFormReadsAsDocumented) {
  for (const TokenCase &Case : TokenCases) {
    ConvertedToken Got = ConvertToken(Case.Token, static_cast<std::int32_t>(std::strlen(Case.Token)));
    EXPECT_EQ(Got.Valid, Case.Valid) << "token \"" << Case.Token << "\"";
    if (Case.Valid && Got.Valid) {
      EXPECT_EQ(Got.Value, Case.Value) << "token \"" << Case.Token << "\"";
    }
  }
}

TEST(ConvertToken, EmptyTokenIsInvalid) { EXPECT_FALSE(ConvertToken("", 0).Valid); }

TEST(ConvertToken, DecimalRoundTripOverTheWholeRange) {
  // A strided sweep: every printed 32-bit value must read back as itself, in decimal and hex.
  for (std::int64_t Value = -2147483648LL; Value <= 2147483647LL; Value += 65537 * 3) {
    std::string Decimal = std::to_string(Value);
    ConvertedToken Got = ConvertToken(Decimal.c_str(), static_cast<std::int32_t>(Decimal.size()));
    ASSERT_TRUE(Got.Valid) << Decimal;
    ASSERT_EQ(Got.Value, Value) << Decimal;
    char Hex[16];
    std::snprintf(Hex, sizeof Hex, "$%X", static_cast<unsigned>(static_cast<std::uint32_t>(Value)));
    Got = ConvertToken(Hex, static_cast<std::int32_t>(std::strlen(Hex)));
    ASSERT_TRUE(Got.Valid) << Hex;
    ASSERT_EQ(Got.Value, Value) << Hex;
  }
}

} // namespace
