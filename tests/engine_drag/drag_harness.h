// Child processes of the drag tests, read as JSON lines, and the pointer
// moves of a real XDND drag between two windows.

#ifndef TESTS_ENGINE_DRAG_DRAG_HARNESS_H_
#define TESTS_ENGINE_DRAG_DRAG_HARNESS_H_

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/x_pointer.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {

// A child in a process group of its own. The destructor closes its stdin;
// a child that |leaves_on_eof| must then exit by itself (a failure if not);
// either way its group is killed and the child reaped. Declare a Reaper
// before it for the processes it leaves behind elsewhere.
class Child {
 public:
  Child(const std::vector<std::string>& argv, bool leaves_on_eof);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The first event, seen before or arriving, named |name| and matching
  // |match|; a null json on timeout.
  json WaitFor(const std::string& name,
               const std::function<bool(const json&)>& match = nullptr,
               milliseconds timeout = milliseconds(20000)) {
    return child_.WaitForEvent(name, match, timeout);
  }
  // Every event named |name| so far.
  std::vector<json> Events(const std::string& name) {
    child_.Collect();
    return child_.Events(name);
  }
  // Every line so far, for failure messages.
  std::string Transcript() const { return child_.Transcript(); }

 private:
  const bool leaves_on_eof_;
  JsonLineChild child_;
};

}  // namespace engine_test

#endif  // TESTS_ENGINE_DRAG_DRAG_HARNESS_H_
