#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <dirent.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "tests/backend/backend_fixture.h"
#include "tests/config/file_faults.h"
#include "tests/instance/recording_client_actions.h"

namespace {

using std::chrono::milliseconds;

using LauncherTest = BackendFixture;

// Starts from several threads at once, or while a backend runs, must never
// launch a second backend.
TEST_F(LauncherTest, RacingStartsLaunchOneBackend) {
  std::atomic<bool> go{false};
  std::vector<std::thread> callers;
  for (int i = 0; i < 8; ++i) {
    callers.emplace_back([&go] {
      while (!go) {
      }
      StartBackend();
    });
  }
  go = true;
  for (std::thread& caller : callers) {
    caller.join();
  }
  ASSERT_TRUE(WaitForBackendState(true, 5000));
  pid_t pid = CurrentBackendPid();
  ASSERT_FALSE(ReadReport(pid, milliseconds(5000)).empty());
  // Give any second launch the time to show itself.
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_EQ(ReportedPids(), std::vector<pid_t>{pid});
  // Further starts while one runs change nothing either.
  StartBackend();
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_EQ(CurrentBackendPid(), pid);
  EXPECT_EQ(ReportedPids().size(), 1u);
}

// Nothing of the browser process may leak into the backend: descriptors
// without close-on-exec as the engine has them (a file, a socket, one at 700
// past a close loop that stops early), the requesting thread's blocked
// signals.
TEST_F(LauncherTest, BackendStartsCleanInItsOwnDirectory) {
  int file = open("/dev/null", O_RDONLY);
  ASSERT_GE(file, 3);
  int sock = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(sock, 3);
  int high = fcntl(file, F_DUPFD, 700);
  ASSERT_GE(high, 700);
  sigset_t blocked, previous;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGUSR2);
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blocked, &previous), 0);
  pid_t pid = StartAndWait();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);

  Report report = ReadReport(pid, milliseconds(5000));
  close(file);
  close(sock);
  close(high);
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report["fds"], "0,1,2");
  EXPECT_EQ(report["sigblk"], "0000000000000000");
  EXPECT_EQ(report["cwd"], workDir_);
  EXPECT_EQ(report["argc"], "1");
  EXPECT_EQ(report["argv0"], workDir_ + "/korvel-backend");
  // stdout and stderr are one pipe.
  EXPECT_EQ(report["stdout"].rfind("pipe:", 0), 0u) << report["stdout"];
  EXPECT_EQ(report["stdout"], report["stderr"]);
}

// A launch that cannot even make its pipe must not leave the state at
// "starting" (every later start refused) nor the window open without a
// backend.
TEST_F(LauncherTest, FailedLaunchReturnsToIdle) {
  {
    DescriptorStarvation starvation;
    StartBackend();
    EXPECT_TRUE(recording::WaitForCloseCount(1, milliseconds(5000)));
  }
  EXPECT_TRUE(WaitForBackendState(false, 0));
  EXPECT_TRUE(ReportedPids().empty());
}

// A backend that logs 100 MiB as fast as it can: a reader that stalls leaves
// it blocked on a full pipe, one that keeps what it reads grows the shell by
// the flood. A reopen token split over two writes (each read on its own) is
// not one; a whole token after all that still raises the window.
TEST_F(LauncherTest, OutputFloodAndSplitTokenNeitherStallNorGrow) {
  const long long floodBytes = 100ll << 20;
  setenv("KORVEL_TEST_FLOOD", std::to_string(floodBytes).c_str(), 1);
  setenv("KORVEL_TEST_SPLIT_TOKEN", "1", 1);
  setenv("KORVEL_TEST_OUTPUT", "korvel:reopen\r\n", 1);
  const long peakBefore = file_faults::PeakResidentKb();
  ASSERT_GT(peakBefore, 0);
  pid_t pid = StartAndWait();

  Report flood = ReadReport(pid, milliseconds(60000), "flood");
  ASSERT_FALSE(flood.empty()) << "the backend is still blocked writing";
  EXPECT_EQ(flood["bytes"], std::to_string(floodBytes));
  printf("flood: %lld bytes written in %s ms\n", floodBytes,
         flood["ms"].c_str());
  ASSERT_FALSE(ReadReport(pid, milliseconds(10000), "written").empty());
  EXPECT_TRUE(recording::WaitForRaiseCount(1, milliseconds(5000)));
  // Every chunk before the whole token was handled before it; one raise
  // more could only come from the split token.
  EXPECT_FALSE(recording::WaitForRaiseCount(2, milliseconds(500)));

  const long growthKb = file_faults::PeakResidentKb() - peakBefore;
  printf("peak resident growth: %ld KiB\n", growthKb);
  EXPECT_LT(growthKb, 16 * 1024);
  EXPECT_EQ(recording::CloseCount(), 0);
  EXPECT_EQ(kill(pid, 0), 0);
}

void NoteSignal(int) {}

// A signal that reaches the launcher thread must not look like the
// backend's exit: that would close the application.
TEST_F(LauncherTest, SignalsDoNotInterruptSupervision) {
  struct sigaction action = {};
  struct sigaction previous = {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  pid_t pid = StartAndWait();
  ASSERT_FALSE(ReadReport(pid, milliseconds(5000)).empty());

  // Every other thread of this process, the launcher among them.
  for (int round = 0; round < 5; ++round) {
    DIR* tasks = opendir("/proc/self/task");
    ASSERT_NE(tasks, nullptr);
    while (dirent* entry = readdir(tasks)) {
      pid_t tid = atoi(entry->d_name);
      if (tid > 0 && tid != gettid()) {
        tgkill(getpid(), tid, SIGUSR1);
      }
    }
    closedir(tasks);
    std::this_thread::sleep_for(milliseconds(20));
  }
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(recording::CloseCount(), 0);
  EXPECT_EQ(CurrentBackendPid(), pid);
  EXPECT_EQ(kill(pid, 0), 0);
  sigaction(SIGUSR1, &previous, nullptr);
}

// A launch underway is neither running nor idle; a waiter must wake on the
// change, not sleep to its bound.
TEST_F(LauncherTest, WaitForStateIgnoresALaunchUnderway) {
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    backendState.starting = true;
  }
  Stopwatch watch;
  EXPECT_FALSE(WaitForBackendState(true, 300));
  EXPECT_FALSE(WaitForBackendState(false, 300));
  EXPECT_GE(watch.ElapsedMs(), 600);
  EXPECT_LT(watch.ElapsedMs(), 1500);

  // A waiter wakes as soon as the state it wants is set.
  std::thread setter([] {
    std::this_thread::sleep_for(milliseconds(200));
    SetBackendState(false, false);
  });
  // (Woken by the change, not by its 5 s bound, when the state would hold
  // as well.)
  Stopwatch wake;
  EXPECT_TRUE(WaitForBackendState(false, 5000));
  EXPECT_GE(wake.ElapsedMs(), 150);
  EXPECT_LT(wake.ElapsedMs(), 4000);
  setter.join();
}

}  // namespace
