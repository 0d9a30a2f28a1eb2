// taldevon_generate CLASS COUNT SEED: writes a rectangle file of that class to standard output.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "RectangleClasses.h"

namespace {

int Usage() {
  std::string Names;
  for (const std::string &Name : RectangleClassNames())
    Names += (Names.empty() ? "" : "|") + Name;
  std::fprintf(stderr, "usage: taldevon_generate %s COUNT SEED\n", Names.c_str());
  return 2;
}

bool ParseUnsigned(const char *Text, unsigned long long &Value) {
  char *End = nullptr;
  errno = 0;
  Value = std::strtoull(Text, &End, 10);
  return *Text != '\0' && *Text != '-' && *End == '\0' && errno == 0;
}

} // namespace

int main(int Argc, char **Argv) {
  unsigned long long Count = 0, Seed = 0;
  if (Argc != 4 || !IsRectangleClass(Argv[1]) || !ParseUnsigned(Argv[2], Count) ||
      !ParseUnsigned(Argv[3], Seed) || Count > 100000000ULL)
    return Usage();
  try {
    std::string Text = RectangleFileText(
        GenerateRectangles(Argv[1], static_cast<std::int64_t>(Count), static_cast<std::uint64_t>(Seed)));
    if (std::fwrite(Text.data(), 1, Text.size(), stdout) != Text.size() || std::fflush(stdout) != 0) {
      std::perror("taldevon_generate: write");
      return 1;
    }
  } catch (const std::exception &Error) {
    std::fprintf(stderr, "taldevon_generate: %s\n", Error.what());
    return 1;
  }
  return 0;
}
