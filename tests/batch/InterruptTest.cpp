// kalvex-batch stopped by a signal: whatever a save had staged is gone, the
// files it was to replace are as they were, a log written so far is in
// place, and the exit code is 128 + the signal's number.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "batch/PlotPicture.h"
#include "support/SaveFaults.h"
#include "support/TestModels.h"

namespace kalvex::batch {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;

const std::string kData = std::string(KALVEX_EXAMPLES) + "/two_species.dat";
const std::string kAlg = std::string(KALVEX_EXAMPLES) + "/two_species.alg";

// The program started with words, its output going to files in dir.
pid_t Start(const std::vector<std::string>& words, const std::string& dir) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  // The child: no display to find, no terminal to draw on, and the signals
  // as a shell at a terminal leaves them (a script's background job would
  // have SIGINT ignored).
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  unsetenv("DISPLAY");
  unsetenv("XDG_RUNTIME_DIR");
  int out = open((dir + "/run.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err = open((dir + "/run.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  std::vector<char*> argv;
  static std::string program = KALVEX_BATCH_EXE;
  argv.push_back(program.data());
  std::vector<std::string> copies = words;
  for (std::string& word : copies) argv.push_back(word.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

int ExitCode(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

std::vector<std::string> Temporaries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().starts_with(".kalvex-")) names.push_back(entry.path().filename());
  return names;
}

// Waits up to half a minute for ready to hold.
template <typename Ready>
bool WaitFor(Ready ready) {
  for (int i = 0; i < 30000 && !ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return ready();
}

// The summary's report is staged, then its picture written into a pipe that
// nobody reads: the save stands still between the two, and is stopped there.
TEST(BatchInterrupt, ASignalWhileASaveIsStagedRemovesWhatItStaged) {
  if (!PlotPicturesBuilt()) GTEST_SKIP() << "this build draws no pictures";
  for (auto [signal, code] : {std::pair{SIGINT, 130}, {SIGTERM, 143}}) {
    const std::string dir = testing::TempDir() + "/interrupt-save-" + std::to_string(signal);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string report = dir + "/fit.kvo", picture = dir + "/picture.png";
    std::ofstream(report, std::ios::binary) << "old report\r\n";
    ASSERT_EQ(mkfifo(picture.c_str(), 0644), 0);
    // Open for reading, never read: a write of more than one small pipe buffer waits.
    int reader = open(picture.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    fcntl(reader, F_SETPIPE_SZ, 4096);

    pid_t pid = Start({"summary", "--species", "2", "--data", kData, "--alg", kAlg, "--out", report, "--plot", picture},
                      dir);
    // The pipe is written only after every regular file of the save was staged.
    const bool writing = WaitFor([&] {
      int available = 0;
      return ioctl(reader, FIONREAD, &available) == 0 && available > 0;
    });
    EXPECT_TRUE(writing) << FileBytes(dir + "/run.err");
    EXPECT_EQ(Temporaries(dir).size(), 1u);  // the report, staged
    kill(pid, signal);
    EXPECT_EQ(ExitCode(pid), code) << FileBytes(dir + "/run.err");
    close(reader);
    EXPECT_EQ(Temporaries(dir), std::vector<std::string>{});
    EXPECT_EQ(FileBytes(report), "old report\r\n");
  }
}

// A fit that would run for hours (no tolerance is met, no call limit is
// near) stopped while it logs: the old log stays whole while the run goes
// on, and the new one, every line written so far, replaces it at the end.
TEST(BatchInterrupt, AnInterruptedFitPutsItsLogInPlace) {
  const std::string dir = testing::TempDir() + "/interrupt-log";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string alg = FileBytes(kAlg);
  alg.replace(alg.find(" 1.0000000E-06  Simplex limit"), 14, " 0.0000000E+00");  // no spread is below 0
  alg.replace(alg.find("          9999  Maximum"), 14, "     999999999");
  std::ofstream(dir + "/endless.alg", std::ios::binary) << alg;
  const std::string log = dir + "/fit.kvl";
  std::ofstream(log, std::ios::binary) << "old log\r\n";

  pid_t pid = Start({"simplex", "--species", "2", "--data", kData, "--alg", dir + "/endless.alg", "--log", log,
                     "--log-frequency", "1", "--out", dir + "/fit.alg"},
                    dir);
  EXPECT_TRUE(WaitFor([&] {
    std::vector<std::string> staged = Temporaries(dir);
    std::error_code gone;
    return staged.size() == 1 && fs::file_size(dir + "/" + staged[0], gone) > 10000 && !gone;
  })) << FileBytes(dir + "/run.err");
  EXPECT_EQ(FileBytes(log), "old log\r\n");
  kill(pid, SIGINT);
  EXPECT_EQ(ExitCode(pid), 130) << FileBytes(dir + "/run.err");
  EXPECT_EQ(Temporaries(dir), std::vector<std::string>{});
  const std::string written = FileBytes(log);
  EXPECT_GT(written.size(), 10000u);
  EXPECT_EQ(written.find("old log"), std::string::npos);
  EXPECT_TRUE(written.ends_with("\r\n"));
  EXPECT_FALSE(fs::exists(dir + "/fit.alg"));
}

}  // namespace
}  // namespace kalvex::batch
