#include <signal.h>
#include <sys/prctl.h>

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
// This test process becomes the parent (subreaper) of a backend it orphans,
// so that the fixture reaps it.
class ProcessExitTest : public BackendFixture {
 protected:
  void SetUp() override {
    BackendFixture::SetUp();
    if (IsSkipped()) {
      return;
    }
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  }

  // The helper's process group, the backend in it, goes before the fixture
  // reaps every child.
  void TearDown() override {
    helper_.reset();
    BackendFixture::TearDown();
  }

  // Runs the launch helper, ending as |ending| says; the pid of the backend
  // it started, 0 when none was reported.
  pid_t Launch(const char* ending) {
    helper_.emplace(
        std::vector<std::string>{LAUNCH_HELPER, dataDir_, workDir_, ending});
    const std::optional<std::string> line =
        helper_->ReadLine(milliseconds(10000));
    return line ? static_cast<pid_t>(atoi(line->c_str())) : 0;
  }

  // The helper, ending as |ending| says and with a backend that drops its
  // parent-death signal (only the exit handler can end it), exits with 0.
  pid_t LaunchAndExit(const char* ending) {
    setenv("KORVEL_TEST_KEEP_ORPHANED", "1", 1);
    const pid_t backend = Launch(ending);
    const std::optional<int> status = helper_->WaitForExit(milliseconds(10000));
    EXPECT_TRUE(status);
    EXPECT_EQ(DescribeStatus(status.value_or(-1)), "exit 0");
    return backend;
  }

  std::optional<ChildProcess> helper_;
};

// The exit handler must kill a backend that outlives the parent-death
// signal, and that kill is no backend crash: a launcher thread that sees it
// before the process ends must not close the browsers.
TEST_F(ProcessExitTest, ExitHandlerKillClosesNoBrowsers) {
  const pid_t backend = LaunchAndExit("slow-exit");
  ASSERT_GT(backend, 0);
  // The helper waited for its launcher thread, which reaped the backend.
  EXPECT_NE(kill(backend, 0), 0);
  EXPECT_EQ(helper_->ReadLine(milliseconds(100)), std::nullopt);
}

// Started with stdout and stderr closed, the launcher's pipe lands on those
// very descriptors; the backend must still get the pipe as both streams.
TEST_F(ProcessExitTest, ClosedStandardStreamsStillReachTheBackend) {
  const pid_t backend = Launch("closed-streams");
  ASSERT_GT(backend, 0);
  Report report = ReadReport(backend, milliseconds(5000));
  EXPECT_EQ(report["fds"], "0,1,2");
  EXPECT_EQ(report["stdout"].rfind("pipe:", 0), 0u) << report["stdout"];
  EXPECT_EQ(report["stdout"], report["stderr"]);
}

}  // namespace
