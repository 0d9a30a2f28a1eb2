// Union-area cases with published answers, written by others, run from the shared folder beside
// the project: each folder holds a Taldevon.DAT and the expected Taldevon.SOL.
#include <gtest/gtest.h>

#if defined(__linux__)

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramRunner.h"

namespace {

using namespace endtoend;

std::string ReadBytes(const fs::path &Path) {
  std::ifstream File(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

std::vector<fs::path> Cases() {
  std::vector<fs::path> Folders;
  std::error_code Error;
  for (const fs::directory_entry &Entry : fs::directory_iterator(TALDEVON_CASES_EXTERNAL, Error))
    if (fs::exists(Entry.path() / "Taldevon.DAT") && fs::exists(Entry.path() / "expected.SOL"))
      Folders.push_back(Entry.path());
  std::sort(Folders.begin(), Folders.end());
  return Folders;
}

TEST(ExternalCases, EveryPublishedAnswerIsMatched) {
  std::vector<fs::path> Folders = Cases();
  if (Folders.empty())
    GTEST_SKIP() << "no external cases at " << TALDEVON_CASES_EXTERNAL
                 << " (the shared folder is not beside this checkout)";
  for (const fs::path &Folder : Folders) {
    // The shared folder is read-only: run on a copy of the rectangle file.
    ScratchDir Dir;
    Dir.Write(DatName, ReadBytes(Folder / "Taldevon.DAT"));
    ProgramRun Run = Dir.Run();
    EXPECT_EQ(Run.ExitCode, 0) << Folder.filename() << ": " << Run.Out;
    EXPECT_EQ(Dir.Read(SolName), ReadBytes(Folder / "expected.SOL")) << Folder.filename();
  }
}

} // namespace

#endif // defined(__linux__)
