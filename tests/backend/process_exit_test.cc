#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/backend/backend_fixture.h"
#include "tests/support/engine_harness/child_process.h"

namespace {

using engine_test::ChildProcess;
using engine_test::DescribeStatus;
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

  // The launch helper, ending as |ending| says.
  std::vector<std::string> Helper(const char* ending) {
    return {LAUNCH_HELPER, dataDir_, workDir_, ending};
  }
  // The pid of the backend that |helper| started.
  static pid_t BackendOf(ChildProcess& helper) {
    const std::optional<std::string> line =
        helper.ReadLine(milliseconds(10000));
    return line ? static_cast<pid_t>(atoi(line->c_str())) : 0;
  }
};

TEST_F(ProcessExitTest, NormalExitKillsBackend) {
  // The backend drops its parent-death signal, so only the exit handler
  // can end it.
  setenv("KORVEL_TEST_KEEP_ORPHANED", "1", 1);
  ChildProcess helper(Helper("exit"));
  pid_t backend = BackendOf(helper);
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  const std::optional<int> helperStatus =
      helper.WaitForExit(milliseconds(10000));
  ASSERT_TRUE(helperStatus);
  EXPECT_EQ(DescribeStatus(*helperStatus), "exit 0");
  int status = 0;
  ASSERT_TRUE(guard.WaitForEnd(milliseconds(5000), status));
  // When the helper's exit is slow (leak detection scans its memory after
  // the exit handlers), its launcher thread reaps the killed backend before
  // it could be orphaned: it ended while the helper was exiting, which only
  // the exit handler's kill can do.
  if (status != OrphanGuard::kReapedElsewhere) {
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
  }
}

// The exit handler's kill is no backend crash: a launcher thread that sees
// it before the process ends must not close the browsers.
TEST_F(ProcessExitTest, ExitHandlerKillClosesNoBrowsers) {
  setenv("KORVEL_TEST_KEEP_ORPHANED", "1", 1);
  ChildProcess helper(Helper("slow-exit"));
  pid_t backend = BackendOf(helper);
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  const std::optional<int> helperStatus =
      helper.WaitForExit(milliseconds(10000));
  ASSERT_TRUE(helperStatus);
  EXPECT_EQ(DescribeStatus(*helperStatus), "exit 0");
  // The helper waited for its launcher thread, which reaped the backend.
  EXPECT_NE(kill(backend, 0), 0);
  EXPECT_EQ(helper.ReadLine(milliseconds(100)), std::nullopt);
}

TEST_F(ProcessExitTest, KilledParentTakesBackendAlong) {
  ChildProcess helper(Helper("hang"));
  pid_t backend = BackendOf(helper);
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  int status = 0;
  // Still there while the helper lives.
  EXPECT_FALSE(guard.WaitForEnd(milliseconds(200), status));
  EXPECT_EQ(kill(backend, 0), 0);
  // The helper alone, not its process group, which the backend shares.
  kill(helper.pid(), SIGKILL);
  helper.WaitForExit(milliseconds(10000));
  ASSERT_TRUE(guard.WaitForEnd(milliseconds(5000), status));
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

// Started with stdout and stderr closed, the launcher's pipe lands on those
// very descriptors; the backend must still get the pipe as both streams.
TEST_F(ProcessExitTest, ClosedStandardStreamsStillReachTheBackend) {
  ChildProcess helper(Helper("closed-streams"));
  pid_t backend = BackendOf(helper);
  ASSERT_GT(backend, 0);
  OrphanGuard guard(backend);
  Report report = ReadReport(backend, milliseconds(5000));
  EXPECT_EQ(report["fds"], "0,1,2");
  EXPECT_EQ(report["stdout"].rfind("pipe:", 0), 0u) << report["stdout"];
  EXPECT_EQ(report["stdout"], report["stderr"]);
}

}  // namespace
