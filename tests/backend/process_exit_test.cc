#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/backend/backend_fixture.h"

namespace {

using std::chrono::milliseconds;

// A small program starts the backend through the launcher and then ends.
// This test process becomes the orphaned backend's parent (subreaper), so it
// can see how the backend ended and reap it.
class ProcessExitTest : public BackendFixture {
 protected:
  void SetUp() override {
    BackendFixture::SetUp();
    if (IsSkipped()) {
      return;
    }
    UseBackend(PROBE_BACKEND);
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  }

  // Runs the launch helper and returns the pid of the backend it started.
  pid_t LaunchThrough(SpawnedProcess& helper, const char* ending) {
    EXPECT_TRUE(helper.Start({LAUNCH_HELPER, dataDir_, workDir_, ending}));
    std::string line = helper.ReadLine(milliseconds(10000));
    return line.empty() ? 0 : static_cast<pid_t>(atoi(line.c_str()));
  }
};

TEST_F(ProcessExitTest, NormalExitKillsBackend) {
  // The backend drops its parent-death signal, so only the exit handler
  // can end it.
  setenv("KORVEL_TEST_KEEP_ORPHANED", "1", 1);
  SpawnedProcess helper;
  pid_t backend = LaunchThrough(helper, "exit");
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  int helperStatus = helper.Wait();
  ASSERT_TRUE(WIFEXITED(helperStatus));
  EXPECT_EQ(WEXITSTATUS(helperStatus), 0);
  int status = 0;
  ASSERT_TRUE(guard.WaitForEnd(milliseconds(5000), status));
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

TEST_F(ProcessExitTest, KilledParentTakesBackendAlong) {
  SpawnedProcess helper;
  pid_t backend = LaunchThrough(helper, "hang");
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  int status = 0;
  // Still there while the helper lives.
  EXPECT_FALSE(guard.WaitForEnd(milliseconds(200), status));
  EXPECT_EQ(kill(backend, 0), 0);
  helper.Kill();
  helper.Wait();
  ASSERT_TRUE(guard.WaitForEnd(milliseconds(5000), status));
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

// Started with stdout and stderr closed, the launcher's pipe lands on those
// very descriptors; the backend must still get the pipe as both streams.
TEST_F(ProcessExitTest, ClosedStandardStreamsStillReachTheBackend) {
  SpawnedProcess helper;
  pid_t backend = LaunchThrough(helper, "closed-streams");
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  Report report = ReadReport(backend, milliseconds(5000));
  EXPECT_EQ(report["fds"], "0,1,2");
  EXPECT_EQ(report["stdout"].rfind("pipe:", 0), 0u) << report["stdout"];
  EXPECT_EQ(report["stdout"], report["stderr"]);
  helper.Wait();
}

}  // namespace
