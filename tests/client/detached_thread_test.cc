// Worker threads that cannot be had: the caller hears of it instead of the
// process ending on the exception std::thread throws. (That a thread runs
// its work: every OpenExternallyTest case opens through one.)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "client/detached_thread.h"

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
}

}  // namespace
