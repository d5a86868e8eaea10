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

}  // namespace
