#include "tests/engine_drag/drag_harness.h"

#include <gtest/gtest.h>

namespace engine_test {

Child::Child(const std::vector<std::string>& argv, bool leaves_on_eof)
    : leaves_on_eof_(leaves_on_eof), child_(argv) {
  if (!child_.process().started()) {
    ADD_FAILURE() << "could not start " << argv.at(0);
  }
}

Child::~Child() {
  ChildProcess& process = child_.process();
  process.CloseStdin();
  if (leaves_on_eof_ && process.started() &&
      !process.WaitForExit(milliseconds(10000))) {
    ADD_FAILURE() << "child " << process.pid() << " did not leave by itself";
  }
}

}  // namespace engine_test
