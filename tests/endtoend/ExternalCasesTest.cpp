// Union-area cases with published answers, written by others, run from the shared folder beside
// the project: each folder holds a Taldevon.DAT and the expected Taldevon.SOL.
#include <gtest/gtest.h>

#if defined(__linux__)

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path &Path) {
  std::ifstream File(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

// The number of rectangles a case holds, from its count line.
long CountOf(const fs::path &Rectangles) {
  std::ifstream File(Rectangles);
  long Count = 0;
  File >> Count;
  return Count;
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

int RunIn(const fs::path &Folder) {
  pid_t Child = fork();
  if (Child == 0) {
    if (chdir(Folder.c_str()) != 0)
      _exit(127);
    execl(TALDEVON_EXE, TALDEVON_EXE, static_cast<char *>(nullptr));
    _exit(127);
  }
  int Status = 0;
  waitpid(Child, &Status, 0);
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

TEST(ExternalCases, EveryPublishedAnswerIsMatched) {
  std::vector<fs::path> Folders = Cases();
  if (Folders.empty())
    GTEST_SKIP() << "no external cases at " << TALDEVON_CASES_EXTERNAL
                 << " (the shared folder is not beside this checkout)";
  for (const fs::path &Folder : Folders) {
    // The shared folder is read-only: run on a copy of the rectangle file.
    fs::path Scratch = fs::temp_directory_path() / ("taldevon-case-" + Folder.filename().string());
    fs::remove_all(Scratch);
    fs::create_directories(Scratch);
    fs::copy_file(Folder / "Taldevon.DAT", Scratch / "Taldevon.DAT");
    EXPECT_EQ(RunIn(Scratch), 0) << Folder.filename();
    EXPECT_EQ(ReadBytes(Scratch / "Taldevon.SOL"), ReadBytes(Folder / "expected.SOL"))
        << Folder.filename() << " (" << CountOf(Folder / "Taldevon.DAT") << " rectangles)";
    fs::remove_all(Scratch);
  }
}

} // namespace

#endif // defined(__linux__)
