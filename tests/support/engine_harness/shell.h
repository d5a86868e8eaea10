// Shell commands and loopback ports for tests.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_SHELL_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_SHELL_H_

#include <string>

namespace engine_test {

// Standard output of |command| run by /bin/sh, or "" when it exits with a
// non-zero status. Its stderr is discarded: tests poll commands that are
// expected to fail for a while (xwininfo on a window not there yet).
std::string Shell(const std::string& command);

// A loopback port that nothing listens on (bound, then released).
int ClosedPort();

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_SHELL_H_
