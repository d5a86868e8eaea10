// Worker threads that cannot be had: the caller hears of it instead of the
// process ending on the exception std::thread throws.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>

#include <gtest/gtest.h>

#include "client/detached_thread.h"
#include "tests/support/engine_harness/wait_until.h"

namespace {

TEST(RunDetachedTest, NoThreadUnderAProcessLimitIsReportedNotFatal) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A limit of no processes binds only without privileges.
    const rlimit none = {0, 0};
    if (setrlimit(RLIMIT_NPROC, &none) != 0 ||
        (getuid() == 0 && setuid(65534) != 0)) {
      _exit(3);
    }
    _exit(RunDetached([] {}) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the process died: " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::atomic<bool> ran{false};
  EXPECT_TRUE(RunDetached([&ran] { ran = true; }));
  EXPECT_TRUE(engine_test::WaitUntil([&ran] { return ran.load(); }));
}

}  // namespace
