// Runs the fuzz target over saved inputs without the fuzzing engine, so that the seed corpus
// and every reproducer kept in it run under ctest with any compiler. Arguments, when given, are
// files or folders to replay instead of the corpus.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size);

namespace fs = std::filesystem;

namespace {

void AddInputs(const fs::path &Where, std::vector<fs::path> &Inputs) {
  if (!fs::is_directory(Where)) {
    Inputs.push_back(Where);
    return;
  }
  for (const fs::directory_entry &Entry : fs::directory_iterator(Where))
    if (Entry.is_regular_file())
      Inputs.push_back(Entry.path());
}

} // namespace

int main(int Count, char **Arguments) {
  std::vector<fs::path> Inputs;
  if (Count < 2)
    AddInputs(TALDEVON_FUZZ_CORPUS, Inputs);
  for (int Index = 1; Index < Count; ++Index)
    AddInputs(Arguments[Index], Inputs);
  std::sort(Inputs.begin(), Inputs.end());
  if (Inputs.empty()) {
    // An empty or misplaced corpus would otherwise pass while checking nothing.
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  for (const fs::path &Input : Inputs) {
    std::ifstream File(Input, std::ios::binary);
    if (!File) {
      std::fprintf(stderr, "cannot read %s\n", Input.c_str());
      return 1;
    }
    std::string Bytes((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    // Named before the run: a failed check aborts, and the last name printed is the culprit.
    std::fprintf(stderr, "replaying %s\n", Input.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(Bytes.data()), Bytes.size());
  }
  std::printf("%zu inputs replayed\n", Inputs.size());
  return 0;
}
