#include "tests/engine_views/views_harness.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

namespace engine_test {

ViewsApp::ViewsApp()
    : app_({VIEWS_TEST_APP, "--cache-root=" + cache_root_.path()}) {
  if (WaitForEvent("ready").is_null()) {
    ADD_FAILURE() << "the app did not get ready";
  }
}

ViewsApp::~ViewsApp() {
  Quit(milliseconds(5000));
}

json ViewsApp::Command(const std::string& line) {
  const json answer = app_.Command(
      line,
      [](const json& event) {
        const std::string name = event.value("event", "");
        return name == "done" || name == "state" || name == "error";
      },
      milliseconds(10000));
  if (answer.is_null()) {
    ADD_FAILURE() << "no answer to: " << line;
    return json();
  }
  if (answer.value("event", "") == "error") {
    ADD_FAILURE() << "app refused: " << answer.dump();
  }
  return answer;
}

json ViewsApp::WaitForEvent(const std::string& name,
                            int window,
                            milliseconds timeout) {
  return WaitFor(
      [&](const json& event) {
        return event.value("event", "") == name &&
               (window < 0 || event.value("window", -1) == window);
      },
      timeout);
}

int ViewsApp::IndexOf(const std::function<bool(const json&)>& match) {
  app_.Collect();
  return app_.IndexOf(match);
}

std::vector<json> ViewsApp::Events(const std::string& name) {
  app_.Collect();
  return app_.Events(name);
}

bool ViewsApp::Quit(milliseconds timeout) {
  ChildProcess& process = app_.process();
  if (!process.started()) {
    return false;
  }
  process.SendLine("quit");
  const std::optional<int> status = process.WaitForExit(timeout);
  // Its last words stay readable for the test.
  app_.Collect();
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

}  // namespace engine_test
