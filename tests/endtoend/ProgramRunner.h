// Runs the built program as a user would: in a scratch folder of its own, no arguments, an
// empty standard input, every byte of its output kept.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace endtoend {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct ProgramRun {
  int ExitCode = -1; // -1 when the process did not exit on its own (a signal, say)
  std::string Out;
  std::string Err;
};

// Runs the program with Dir as its working directory, no arguments and an empty standard input.
inline ProgramRun RunProgramIn(const fs::path &Dir) {
  int OutPipe[2], ErrPipe[2];
  if (pipe(OutPipe) != 0 || pipe(ErrPipe) != 0)
    throw std::runtime_error("pipe failed");
  const std::string DirName = Dir.string(); // no allocation in the child
  pid_t Child = fork();
  if (Child < 0)
    throw std::runtime_error("fork failed");
  if (Child == 0) {
    int Null = open("/dev/null", O_RDONLY);
    if (chdir(DirName.c_str()) != 0 || Null < 0 || dup2(Null, STDIN_FILENO) < 0 ||
        dup2(OutPipe[1], STDOUT_FILENO) < 0 || dup2(ErrPipe[1], STDERR_FILENO) < 0)
      _exit(127);
    close(OutPipe[0]);
    close(ErrPipe[0]);
    close(OutPipe[1]);
    close(ErrPipe[1]);
    execl(TALDEVON_EXE, TALDEVON_EXE, static_cast<char *>(nullptr));
    _exit(127);
  }
  close(OutPipe[1]);
  close(ErrPipe[1]);

  ProgramRun Run;
  // Both pipes are drained together so that a program filling one cannot stall on the other.
  pollfd Pipes[2] = {{OutPipe[0], POLLIN, 0}, {ErrPipe[0], POLLIN, 0}};
  std::string *Sinks[2] = {&Run.Out, &Run.Err};
  int Open = 2;
  while (Open > 0) {
    if (poll(Pipes, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      break;
    }
    for (int Index = 0; Index < 2; ++Index) {
      if (Pipes[Index].fd < 0 || Pipes[Index].revents == 0)
        continue;
      char Chunk[4096];
      ssize_t Got = read(Pipes[Index].fd, Chunk, sizeof Chunk);
      if (Got > 0) {
        Sinks[Index]->append(Chunk, static_cast<std::size_t>(Got));
      } else if (Got == 0 || errno != EINTR) {
        close(Pipes[Index].fd);
        Pipes[Index].fd = -1;
        --Open;
      }
    }
  }
  for (const pollfd &Pipe : Pipes)
    if (Pipe.fd >= 0)
      close(Pipe.fd);

  int Status = 0;
  while (waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(Status))
    Run.ExitCode = WEXITSTATUS(Status);
  return Run;
}

// A fresh directory under the system's temporary directory, removed with all it holds.
class ScratchDir {
public:
  ScratchDir() {
    std::string Template = (fs::temp_directory_path() / "taldevon-e2e-XXXXXX").string();
    if (mkdtemp(Template.data()) == nullptr)
      throw std::runtime_error("mkdtemp failed");
    Root = Template;
  }
  ~ScratchDir() {
    std::error_code Ignored;
    fs::remove_all(Root, Ignored); // does not follow symlinks, so /dev/full is safe
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;

  fs::path operator/(const char *Name) const { return Root / Name; }
  ProgramRun Run() const { return RunProgramIn(Root); }

  void Write(const char *Name, const std::string &Bytes) const {
    std::ofstream File(Root / Name, std::ios::binary);
    File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!File)
      throw std::runtime_error("cannot write scratch file");
  }

  // The file's bytes, or nothing when there is no regular file of that name.
  std::optional<std::string> Read(const char *Name) const {
    if (!fs::is_regular_file(Root / Name))
      return std::nullopt;
    std::ifstream File(Root / Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
  }

private:
  fs::path Root;
};

constexpr const char *DatName = "Taldevon.DAT";
constexpr const char *SolName = "Taldevon.SOL";


// Checks the 32-byte stop report for Number and gives its address field ("" if malformed).
inline std::string ReportAddress(const std::string &Out, int Number) {
  EXPECT_EQ(Out.size(), 32u) << "stdout: " << testing::PrintToString(Out);
  if (Out.size() != 32)
    return {};
  char Head[32];
  std::snprintf(Head, sizeof Head, "Runtime error %3d at ", Number);
  EXPECT_EQ(Out.substr(0, 21), Head);
  std::string Address = Out.substr(21, 8);
  EXPECT_TRUE(std::all_of(Address.begin(), Address.end(),
                          [](char Byte) {
                            return (Byte >= '0' && Byte <= '9') || (Byte >= 'A' && Byte <= 'F');
                          }))
      << "address field: " << testing::PrintToString(Address);
  EXPECT_EQ(Out.substr(29), "\0\r\n"s);
  return Address;
}

} // namespace endtoend
