// Runs browser_test_app (or an app speaking its protocol) as a child
// process: commands as JSON lines with a "cmd", answered by a "done" event
// of the same "cmd"; every other line is an event of the engine.

#ifndef TESTS_ENGINE_BROWSER_BROWSER_HARNESS_H_
#define TESTS_ENGINE_BROWSER_BROWSER_HARNESS_H_

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/page_server.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {

// One run of the app in a fresh cache directory. The destructor asks it to
// quit, then kills its whole process group and reaps everything it left
// behind.
class BrowserApp {
 public:
  BrowserApp();
  ~BrowserApp();
  BrowserApp(const BrowserApp&) = delete;
  BrowserApp& operator=(const BrowserApp&) = delete;

  // True once the app reported that the engine is up.
  bool started() const { return started_; }

  // Sends |command| and returns its "done" answer (null on timeout).
  json Command(json command);
  // Creates a browser on |url| and returns its identifier (0 on failure).
  int Create(const std::string& url);
  void Policy(const json& values) {
    Command({{"cmd", "policy"}, {"values", values}});
  }
  json State(int browser) {
    return Command({{"cmd", "state"}, {"browser", browser}});
  }

  // Waits for the first event named |name| after the mark (see Mark) that
  // matches; a null json on timeout.
  json WaitForEvent(const std::string& name,
                    const std::function<bool(const json&)>& match = nullptr,
                    milliseconds timeout = milliseconds(15000)) {
    return app_.WaitForEvent(name, match, timeout);
  }
  // Events named |name| received so far (after the mark).
  std::vector<json> Events(const std::string& name) {
    return app_.Events(name);
  }
  // Reads whatever arrives during |duration|.
  void Drain(milliseconds duration) { app_.Drain(duration); }
  // Later searches only look at events that arrive from now on.
  void Mark() { app_.Mark(); }

  // Asks the app to leave; true when it exited by itself with status 0.
  bool Quit(milliseconds timeout = milliseconds(15000));

 private:
  // Members go in reverse: the app, then whatever it left behind, then its
  // directory.
  TempDir cache_root_{"korvel-browser-test"};
  Reaper reaper_;
  JsonLineChild app_;
  bool started_ = false;
};

}  // namespace engine_test

#endif  // TESTS_ENGINE_BROWSER_BROWSER_HARNESS_H_
