#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeHost.h"
#include "support/JobRunner.h"
#include "textfile/TextFile.h"

namespace {

// Opens a file holding Bytes through the double, ready for reading.
class ReadText : public ::testing::Test {
protected:
  FakeHost Fake;
  TextFile File{};

  void Open(const std::string &Bytes) {
    ResetJobState();
    Fake.Files["in"] = Bytes;
    BindName(File, "in");
    OpenForReading(File);
    ASSERT_EQ(IoStatus, 0);
  }

  std::vector<std::int32_t> ReadNumbers(int Count) {
    std::vector<std::int32_t> Values;
    for (int Index = 0; Index < Count; ++Index)
      Values.push_back(ReadNumber(File));
    return Values;
  }
};

using Numbers = std::vector<std::int32_t>;

TEST_F(ReadText, AnyByteUpTo32Separates) {
  Open(std::string("\t 1\f2\0" "3\x01\x1F" "4\r\n5  ", 15));
  EXPECT_EQ(ReadNumbers(6), (Numbers{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(IoStatus, 0);
}

TEST_F(ReadText, MissingNumbersReadAsZeroWithoutError) {
  for (const char *Bytes : {"", "   \r\n\r\n\t", "7"}) {
    Open(Bytes);
    Numbers Got = ReadNumbers(3);
    EXPECT_EQ(Got[1], 0) << "file \"" << Bytes << "\"";
    EXPECT_EQ(Got[2], 0);
    EXPECT_EQ(IoStatus, 0);
  }
}

TEST_F(ReadText, LongRunIsCutIntoTokensOf32Bytes) {
  Open(std::string(32, '0') + "12345678 9\n");
  EXPECT_EQ(ReadNumbers(3), (Numbers{0, 12345678, 9}));
  EXPECT_EQ(IoStatus, 0);
}

TEST_F(ReadText, RestOfLongRunIsDiscardedBySkipLine) {
  Open(std::string(32, '1').replace(0, 31, 31, '0') + "999\n42\n");
  EXPECT_EQ(ReadNumber(File), 1);
  SkipLine(File);
  EXPECT_EQ(ReadNumber(File), 42);
}

TEST_F(ReadText, SkipLineEndsOnlyAtLineFeed) {
  struct LineCase {
    const char *Bytes;
    std::int32_t AfterSkip;
  } Cases[] = {
      {"1 2 3\n4", 4},
      {"1 2 3\r\n4", 4},
      {"1\r2\r3\r4", 0}, // a carriage return alone ends no line: the skip eats the rest
      {"1 2", 0},
      {"1\n\n5", 5}, // blank lines are separators to the next ReadNumber
  };
  for (const LineCase &Case : Cases) {
    Open(Case.Bytes);
    EXPECT_EQ(ReadNumber(File), 1);
    SkipLine(File);
    EXPECT_EQ(ReadNumber(File), Case.AfterSkip) << "file \"" << Case.Bytes << "\"";
  }
}

TEST_F(ReadText, SkipLineAfterTokenStillSeesItsLineFeed) {
  Open("5\n6\n");
  EXPECT_EQ(ReadNumber(File), 5);
  SkipLine(File);
  EXPECT_EQ(ReadNumber(File), 6);
}

TEST_F(ReadText, CtrlZEndsTheFileForGood) {
  Open("1 2\x1A" "3 4\n5");
  EXPECT_EQ(ReadNumbers(4), (Numbers{1, 2, 0, 0}));
  int ReadsAtEnd = Fake.CountOf(HostCall::ReadBytes);
  SkipLine(File);
  EXPECT_EQ(ReadNumber(File), 0);
  EXPECT_EQ(Fake.CountOf(HostCall::ReadBytes), ReadsAtEnd) << "the end once met is kept";
  EXPECT_EQ(IoStatus, 0);
}

TEST_F(ReadText, CtrlZEndsATokenToo) {
  Open("12\x1A" "34");
  EXPECT_EQ(ReadNumbers(2), (Numbers{12, 0}));
}

TEST_F(ReadText, ReadsTheHostIn128ByteBlocks) {
  std::string Bytes;
  while (Bytes.size() < 300)
    Bytes += "1234567 ";
  Open(Bytes);
  while (SkipSeparators(File))
    ReadNumber(File);
  // ceil(304 / 128) reads with data, then one that finds the end; never again after it.
  EXPECT_EQ(Fake.CountOf(HostCall::ReadBytes), 4);
  EXPECT_EQ(ReadNumber(File), 0);
  EXPECT_EQ(Fake.CountOf(HostCall::ReadBytes), 4);
}

TEST_F(ReadText, ShortReadsFromTheHostAreJoinedIntoTokens) {
  Fake.ReadLimit = 1;
  Open("123 -45\n$FF");
  EXPECT_EQ(ReadNumbers(3), (Numbers{123, -45, 255}));
}

TEST_F(ReadText, FailedReadGivesAnEndThatDoesNotLast) {
  Fake.Faults = {{HostCall::ReadBytes, 1, 5}};
  Open("77 88");
  EXPECT_EQ(ReadNumber(File), 0);
  EXPECT_EQ(IoStatus, 5);
  EXPECT_EQ(ReadNumber(File), 77) << "the next read tries the file again";
  EXPECT_EQ(ReadNumber(File), 88);
  EXPECT_EQ(IoStatus, 5) << "a success never clears the status";
}

TEST_F(ReadText, FailedReadMidTokenEndsTheToken) {
  Fake.ReadLimit = 2;
  Fake.Faults = {{HostCall::ReadBytes, 2, 9}};
  Open("1234");
  EXPECT_EQ(ReadNumber(File), 12);
  EXPECT_EQ(IoStatus, 9);
  EXPECT_EQ(ReadNumber(File), 34);
}

TEST_F(ReadText, InvalidTokenSets106AndReadingGoesOn) {
  Open("12x 34\n");
  ReadNumber(File);
  EXPECT_EQ(IoStatus, InvalidNumberError);
  EXPECT_EQ(ReadNumber(File), 34);
}

TEST_F(ReadText, MissingFileLeavesTheHostCodeAndAClosedFile) {
  ResetJobState();
  BindName(File, "absent");
  OpenForReading(File);
  EXPECT_EQ(IoStatus, 2);
  EXPECT_EQ(File.Mode, FileMode::Closed);
  EXPECT_EQ(ReadNumber(File), 0);
}

TEST_F(ReadText, CloseReleasesTheHandleAndReportsItsFailure) {
  Fake.Faults = {{HostCall::ReleaseFile, 1, 300}};
  Open("1");
  CloseText(File);
  EXPECT_EQ(File.Mode, FileMode::Closed);
  EXPECT_EQ(IoStatus, 300);
}

} // namespace
