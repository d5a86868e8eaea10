// A stand-in for the desktop's opener (xdg-open) that records what it is
// handed, first on PATH for this process and every process it starts.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_STAND_IN_OPENER_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_STAND_IN_OPENER_H_

#include <string>
#include <vector>

#include "tests/support/engine_harness/temp_dir.h"

namespace engine_test {

// Each call appends its first argument to the file "opened" and, for the
// latest call, writes its argument count to "count", the argument byte for
// byte to "arg" and its open descriptors (ls -l /proc/PID/fd) to "fds";
// then it sleeps $OPENER_SLEEP seconds (0 unless set) and writes its pid to
// "pid" last, in one step.
class StandInOpener {
 public:
  StandInOpener();
  StandInOpener(const StandInOpener&) = delete;
  StandInOpener& operator=(const StandInOpener&) = delete;

  // The first arguments of the calls that have ended, in order.
  std::vector<std::string> Opened() const;
  // The record file |name|; "" while there is none.
  std::string Recorded(const std::string& name) const;
  const std::string& dir() const { return dir_.path(); }

 private:
  TempDir dir_{"korvel-opener"};
};

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_STAND_IN_OPENER_H_
