// taldevon_timejob JOB_EXE DAT_FILE RUNS [LIMIT_SECONDS]
// Runs the job RUNS times in a scratch folder holding a copy of DAT_FILE and prints
// "median_seconds max_rss_kib result". A run still going after LIMIT_SECONDS is killed; then
// it prints "timeout" and exits 124, like timeout(1), and makes no further runs.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"

namespace {

constexpr int TimeoutExit = 124;

std::string ScratchDir;

void RemoveScratch() {
  if (ScratchDir.empty())
    return;
  unlink((ScratchDir + "/Taldevon.DAT").c_str());
  unlink((ScratchDir + "/Taldevon.SOL").c_str());
  rmdir(ScratchDir.c_str());
}

[[noreturn]] void Fail(const std::string &Message) {
  std::fprintf(stderr, "taldevon_timejob: %s\n", Message.c_str());
  RemoveScratch();
  std::exit(1);
}

bool ParsePositive(const char *Text, long &Value) {
  char *End = nullptr;
  errno = 0;
  Value = std::strtol(Text, &End, 10);
  return *Text != '\0' && *End == '\0' && errno == 0 && Value > 0;
}

std::string ReadAll(const std::string &Path, bool &Found) {
  std::ifstream In(Path, std::ios::binary);
  Found = static_cast<bool>(In);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

struct RunOutcome {
  double Seconds;
  long MaxRssKib;
  bool TimedOut;
};

RunOutcome RunOnce(const std::string &Job, long LimitSeconds) {
  double Start = MonotonicSeconds();
  pid_t Child = fork();
  if (Child < 0)
    Fail(std::string("fork: ") + std::strerror(errno));
  if (Child == 0) {
    // Only async-signal-safe calls between fork and exec.
    if (chdir(ScratchDir.c_str()) != 0)
      _exit(126);
    int Null = open("/dev/null", O_WRONLY);
    if (Null < 0 || dup2(Null, STDOUT_FILENO) < 0)
      _exit(126);
    close(Null);
    // A pending alarm survives exec, and SIGALRM ends the job by default: the limit needs no
    // watcher process, and its end is told apart from any failure of the job itself.
    if (LimitSeconds > 0)
      alarm(static_cast<unsigned>(std::min<long>(LimitSeconds, UINT_MAX)));
    execl(Job.c_str(), Job.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  int Status = 0;
  rusage Usage{};
  while (wait4(Child, &Status, 0, &Usage) < 0)
    if (errno != EINTR)
      Fail(std::string("wait4: ") + std::strerror(errno));
  double Seconds = MonotonicSeconds() - Start;
  if (WIFSIGNALED(Status) && WTERMSIG(Status) == SIGALRM)
    return {Seconds, Usage.ru_maxrss, true};
  if (WIFSIGNALED(Status))
    Fail("the job died of signal " + std::to_string(WTERMSIG(Status)));
  if (WEXITSTATUS(Status) != 0)
    Fail("the job exited with " + std::to_string(WEXITSTATUS(Status)));
  return {Seconds, Usage.ru_maxrss, false};
}

} // namespace

int main(int Argc, char **Argv) {
  long Runs = 0, LimitSeconds = 0;
  if ((Argc != 4 && Argc != 5) || !ParsePositive(Argv[3], Runs) ||
      (Argc == 5 && !ParsePositive(Argv[4], LimitSeconds))) {
    std::fprintf(stderr, "usage: taldevon_timejob JOB_EXE DAT_FILE RUNS [LIMIT_SECONDS]\n");
    return 2;
  }
  // The job runs in another folder, so its path must not depend on this one.
  char *JobPath = realpath(Argv[1], nullptr);
  if (JobPath == nullptr || access(JobPath, X_OK) != 0)
    Fail(std::string("not an executable: ") + Argv[1]);
  std::string Job = JobPath;
  std::free(JobPath);

  bool Found = false;
  std::string Rectangles = ReadAll(Argv[2], Found);
  if (!Found)
    Fail(std::string("cannot read ") + Argv[2]);

  const char *TmpDir = std::getenv("TMPDIR");
  std::string Template = std::string(TmpDir && *TmpDir ? TmpDir : "/tmp") + "/taldevon-timejob-XXXXXX";
  std::vector<char> Name(Template.begin(), Template.end());
  Name.push_back('\0');
  if (mkdtemp(Name.data()) == nullptr)
    Fail(std::string("mkdtemp: ") + std::strerror(errno));
  ScratchDir = Name.data();
  try {
    WriteWholeFile(ScratchDir + "/Taldevon.DAT", Rectangles);
  } catch (const std::exception &Error) {
    Fail(Error.what());
  }

  std::vector<double> Seconds;
  long MaxRssKib = 0;
  std::string Result;
  for (long Run = 0; Run < Runs; ++Run) {
    // Gone before each run, so that a stale result can never pass for this run's.
    unlink((ScratchDir + "/Taldevon.SOL").c_str());
    RunOutcome Outcome = RunOnce(Job, LimitSeconds);
    if (Outcome.TimedOut) {
      RemoveScratch();
      std::printf("timeout\n");
      return TimeoutExit;
    }
    Seconds.push_back(Outcome.Seconds);
    MaxRssKib = std::max(MaxRssKib, Outcome.MaxRssKib);
    std::string Text = ReadAll(ScratchDir + "/Taldevon.SOL", Found);
    if (!Found)
      Fail("the job wrote no Taldevon.SOL");
    if (Text.size() < 3 || Text.compare(Text.size() - 2, 2, "\r\n") != 0 ||
        Text.find_first_not_of("0123456789") != Text.size() - 2)
      Fail("Taldevon.SOL is not one line of digits ending in CR LF");
    Text.resize(Text.size() - 2);
    if (Run > 0 && Text != Result)
      Fail("runs disagree: " + Result + " then " + Text);
    Result = Text;
  }
  RemoveScratch();

  std::sort(Seconds.begin(), Seconds.end());
  std::size_t Middle = Seconds.size() / 2;
  double Median = Seconds.size() % 2 ? Seconds[Middle] : (Seconds[Middle - 1] + Seconds[Middle]) / 2;
  std::printf("%.4f %ld %s\n", Median, MaxRssKib, Result.c_str());
  return 0;
}
