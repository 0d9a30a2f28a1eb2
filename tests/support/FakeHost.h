// A host double: files live in memory, every call is logged, and any call can be made to fail.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Host.h"

// Thrown by the double's EndProcess so that a test regains control when the job ends.
struct ProcessEnded {
  std::int32_t Code;
};

enum class HostCall { OpenExisting, CreateOrReplace, ReadBytes, WriteBytes, ReleaseFile, KindOfFile };

struct HostFault {
  HostCall Call;
  int Occurrence;        // 1 = the first call of that kind
  std::int32_t Code;     // the error code it gives (ignored for KindOfFile: it says Unknown)
  bool Persistent = false; // fail every later call of that kind too
};

class FakeHost {
public:
  std::map<std::string, std::string> Files;
  std::map<std::string, FileKind> Kinds; // files absent here are ordinary disk files
  std::vector<std::string> Directories;
  std::string Output;                       // what reached standard output
  std::vector<std::size_t> OutputWrites;    // the size of each write to standard output
  std::vector<std::string> Writes;          // each write to a file, as one string
  std::vector<HostCall> Calls;              // every file call, in order
  std::vector<HostFault> Faults;
  std::int32_t ReadLimit = 1 << 30;         // the most bytes one read hands out
  bool ReadByLine = false;                  // a read stops after a line feed

  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost &) = delete;
  FakeHost &operator=(const FakeHost &) = delete;

  int CountOf(HostCall Call) const;

  // Internal to the double.
  std::int32_t FaultFor(HostCall Call);
  struct OpenFile {
    std::string Name;
    std::size_t Position = 0;
    bool Open = true;
  };
  std::vector<OpenFile> Handles;

private:
  const HostServices *Previous;
};
