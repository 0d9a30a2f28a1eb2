#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeHost.h"
#include "support/JobRunner.h"
#include "textfile/TextFile.h"

namespace {

class WriteText : public ::testing::Test {
protected:
  FakeHost Fake;
  TextFile File{};

  void Create(FileKind Kind = FileKind::Other) {
    ResetJobState();
    if (Kind != FileKind::Other)
      Fake.Kinds["out"] = Kind;
    Fake.Files["out"] = "an older and longer result\r\n";
    BindName(File, "out");
    OpenForWriting(File);
  }
};

TEST_F(WriteText, NumberIsPlainDecimalDigits) {
  struct NumberCase {
    std::int64_t Value;
    const char *Text;
  } Cases[] = {{0, "0"},           {9, "9"},
               {10, "10"},         {2147483648LL, "2147483648"},
               {4294967295LL, "4294967295"}, {-1, "-1"},
               {INT64_MIN, "-9223372036854775808"}};
  for (const NumberCase &Case : Cases) {
    Create();
    WriteNumber(File, Case.Value);
    CloseText(File);
    EXPECT_EQ(Fake.Files["out"], Case.Text);
  }
}

TEST_F(WriteText, DiskFileGetsTheWholeLineInOneWriteAtClose) {
  Create();
  WriteNumber(File, 4294967295LL);
  WriteLineEnd(File);
  EXPECT_TRUE(Fake.Writes.empty());
  EXPECT_EQ(Fake.Files["out"], "") << "creating the file replaces the old one";
  CloseText(File);
  EXPECT_EQ(Fake.Writes, (std::vector<std::string>{"4294967295\r\n"}));
  EXPECT_EQ(File.Mode, FileMode::Closed);
  EXPECT_EQ(IoStatus, 0);
}

TEST_F(WriteText, CharacterDeviceGetsEachLineAtItsEnd) {
  Create(FileKind::CharacterDevice);
  WriteNumber(File, 12);
  EXPECT_TRUE(Fake.Writes.empty());
  WriteLineEnd(File);
  EXPECT_EQ(Fake.Writes, (std::vector<std::string>{"12\r\n"}));
  CloseText(File);
  EXPECT_EQ(Fake.Writes.size(), 1u) << "nothing left to write at the close";
  EXPECT_EQ(Fake.CountOf(HostCall::ReleaseFile), 1);
}

TEST_F(WriteText, FullBufferIsWrittenOutAtOnce) {
  Create();
  for (int Index = 0; Index < 13; ++Index)
    WriteNumber(File, 1234567890); // 130 bytes
  ASSERT_EQ(Fake.Writes.size(), 1u);
  EXPECT_EQ(Fake.Writes[0].size(), 128u);
  CloseText(File);
  ASSERT_EQ(Fake.Writes.size(), 2u);
  EXPECT_EQ(Fake.Writes[1], "90");
}

TEST_F(WriteText, UnknownKindIsClosedAgainWith105) {
  Create(FileKind::Unknown);
  EXPECT_EQ(IoStatus, FileKindUnknownError);
  EXPECT_EQ(File.Mode, FileMode::Closed);
  EXPECT_EQ(Fake.CountOf(HostCall::ReleaseFile), 1);
  EXPECT_EQ(Fake.Files["out"], "") << "the file was created, so its old content is gone";
}

TEST_F(WriteText, FailedCreateLeavesTheFileClosedAndUntouched) {
  Fake.Faults = {{HostCall::CreateOrReplace, 1, 13}};
  Create();
  EXPECT_EQ(IoStatus, 13);
  EXPECT_EQ(File.Mode, FileMode::Closed);
  EXPECT_EQ(Fake.Files["out"], "an older and longer result\r\n");
  EXPECT_EQ(Fake.CountOf(HostCall::KindOfFile), 0);
}

TEST_F(WriteText, FailedWriteOutAtCloseKeepsTheFileOpen) {
  Fake.Faults = {{HostCall::WriteBytes, 1, 28}};
  Create();
  WriteNumber(File, 5);
  WriteLineEnd(File);
  CloseText(File);
  EXPECT_EQ(IoStatus, 28);
  EXPECT_EQ(File.Mode, FileMode::Writing);
  EXPECT_EQ(File.BufferEnd, 0) << "the buffer counts as empty after a failed write-out";
  EXPECT_EQ(Fake.CountOf(HostCall::ReleaseFile), 0);
}

TEST_F(WriteText, FailedReleaseAtCloseIsReported) {
  Fake.Faults = {{HostCall::ReleaseFile, 1, 5}};
  Create();
  WriteNumber(File, 5);
  CloseText(File);
  EXPECT_EQ(IoStatus, 5);
  EXPECT_EQ(Fake.Files["out"], "5");
}

} // namespace
