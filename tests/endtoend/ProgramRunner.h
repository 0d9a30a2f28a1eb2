// Runs the built program as a user would: in a scratch folder of its own, no arguments, an
// empty standard input, every byte of its output kept.
//
// By default the program is this build's own and the host is Linux. The environment can point
// the same tests at another build of the program:
//   TALDEVON_PROGRAM            the program to run instead of this build's
//   TALDEVON_LAUNCHER           a program that starts it (wine, say), given its path as argument
//   TALDEVON_HOST               linux (the default) or windows: whose error codes to expect
//   TALDEVON_REFERENCE_PROGRAM  a Linux build to compare the program with, run directly
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

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
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

// A program to run, and what starts it ("" to exec it directly).
struct Program {
  std::string Path;
  std::string Launcher;
};

inline std::string FromEnvironment(const char *Name, const std::string &Otherwise = "") {
  const char *Value = std::getenv(Name);
  return Value != nullptr && *Value != '\0' ? std::string(Value) : Otherwise;
}

inline const Program &ProgramUnderTest() {
  static const Program Chosen{FromEnvironment("TALDEVON_PROGRAM", TALDEVON_EXE),
                              FromEnvironment("TALDEVON_LAUNCHER")};
  return Chosen;
}

// The Linux build that another build's runs are compared with, when one is named.
inline std::optional<Program> ReferenceProgram() {
  std::string Path = FromEnvironment("TALDEVON_REFERENCE_PROGRAM");
  if (Path.empty())
    return std::nullopt;
  return Program{Path, ""};
}

enum class HostKind { Linux, Windows };

inline HostKind ProgramHost() {
  static const HostKind Kind = [] {
    std::string Name = FromEnvironment("TALDEVON_HOST", "linux");
    if (Name == "linux")
      return HostKind::Linux;
    if (Name == "windows")
      return HostKind::Windows;
    // A misspelt host would silently test against the wrong error codes.
    throw std::invalid_argument("TALDEVON_HOST must be linux or windows, not " + Name);
  }();
  return Kind;
}

// An error code that is the host's own: the same failure has another number on each host.
struct HostCode {
  int Linux;
  int Windows;
};

inline int OnProgramHost(HostCode Code) {
  return ProgramHost() == HostKind::Windows ? Code.Windows : Code.Linux;
}

// Runs Which with Dir as its working directory, no arguments and an empty standard input. A
// FileSizeLimit (bytes) makes every write past it fail with EFBIG instead of a signal; it binds
// whatever the program starts too, so under Wine the server must already be running.
inline ProgramRun RunProgramIn(const fs::path &Dir, const Program &Which = ProgramUnderTest(),
                               std::optional<rlim_t> FileSizeLimit = std::nullopt) {
  int OutPipe[2], ErrPipe[2];
  // Close-on-exec: a program started meanwhile (another run, a holder) must not keep them open.
  if (pipe2(OutPipe, O_CLOEXEC) != 0 || pipe2(ErrPipe, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  // Built before the fork: no allocation in the child.
  const std::string DirName = Dir.string();
  std::vector<char *> Argv;
  if (!Which.Launcher.empty())
    Argv.push_back(const_cast<char *>(Which.Launcher.c_str()));
  Argv.push_back(const_cast<char *>(Which.Path.c_str()));
  Argv.push_back(nullptr);
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
    if (FileSizeLimit) {
      const rlimit Limit{*FileSizeLimit, *FileSizeLimit};
      if (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &Limit) != 0)
        _exit(127);
    }
    // The launcher is looked up on PATH like a command; the program itself is a path.
    if (Which.Launcher.empty())
      execv(Argv[0], Argv.data());
    else
      execvp(Argv[0], Argv.data());
    _exit(127);
  }
  close(OutPipe[1]);
  close(ErrPipe[1]);

  ProgramRun Run;
  // Both pipes are drained together so that a program filling one cannot stall on the other.
  pollfd Pipes[2] = {{OutPipe[0], POLLIN, 0}, {ErrPipe[0], POLLIN, 0}};
  std::string *Sinks[2] = {&Run.Out, &Run.Err};
  int Open = 2;
  int Status = 0;
  bool Ended = false;
  while (Open > 0) {
    // Once the program has ended, all it wrote is in the pipes: the reading stops when they
    // are empty, even if a process it started (a Wine service, say) still holds them open.
    if (!Ended && waitpid(Child, &Status, WNOHANG) == Child)
      Ended = true;
    int Ready = poll(Pipes, 2, Ended ? 0 : 50);
    if (Ready < 0) {
      if (errno == EINTR)
        continue;
      break;
    }
    if (Ready == 0) {
      if (Ended)
        break;
      continue;
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

  while (!Ended && waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
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

  const fs::path &Folder() const { return Root; }
  fs::path operator/(const char *Name) const { return Root / Name; }
  ProgramRun Run(const Program &Which = ProgramUnderTest()) const {
    return RunProgramIn(Root, Which);
  }

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
