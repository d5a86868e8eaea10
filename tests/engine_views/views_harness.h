// Runs views_test_app as a child process: one command per line, answered by
// a "done", "state" or "error" event; every other line is an event of the
// engine. The X server's view of the windows comes from the shared X
// helpers.

#ifndef TESTS_ENGINE_VIEWS_VIEWS_HARNESS_H_
#define TESTS_ENGINE_VIEWS_VIEWS_HARNESS_H_

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {

// One run of the app. The destructor asks it to quit, then kills it and
// reaps it together with every process it left behind.
class ViewsApp {
 public:
  ViewsApp();
  ~ViewsApp();
  ViewsApp(const ViewsApp&) = delete;
  ViewsApp& operator=(const ViewsApp&) = delete;

  // Sends one command line and waits for its answer ("done" or "state"); an
  // "error" answer or none is a test failure.
  json Command(const std::string& line);
  // The "state" answer for window |id|.
  json State(int id) { return Command("state " + std::to_string(id)); }

  // Waits for the first event (seen before or arriving) that matches; a
  // null json on timeout.
  json WaitFor(const std::function<bool(const json&)>& match,
               milliseconds timeout = milliseconds(15000)) {
    return app_.WaitFor(match, timeout);
  }
  // Position of the first event so far that matches, or -1.
  int IndexOf(const std::function<bool(const json&)>& match);
  json WaitForEvent(const std::string& name,
                    int window = -1,
                    milliseconds timeout = milliseconds(15000));
  // Every event received so far named |name|.
  std::vector<json> Events(const std::string& name);

  // Asks the app to close its windows and leave; true when it exited by
  // itself with status 0.
  bool Quit(milliseconds timeout = milliseconds(15000));

 private:
  // Members go in reverse: the app, then whatever it left behind, then its
  // directory.
  TempDir cache_root_{"engine-views"};
  Reaper reaper_;
  JsonLineChild app_;
};

}  // namespace engine_test

#endif  // TESTS_ENGINE_VIEWS_VIEWS_HARNESS_H_
