#include "tests/engine_browser/browser_harness.h"

#include <sys/wait.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace engine_test {

BrowserApp::BrowserApp()
    : app_({BROWSER_TEST_APP, "--cache-root=" + cache_root_.path()},
           cache_root_.path() + "/stderr.log") {
  started_ = app_.process().started() &&
             !WaitForEvent("ready", nullptr, milliseconds(30000)).is_null();
}

BrowserApp::~BrowserApp() {
  if (::testing::Test::HasFailure()) {
    // What the app reported explains most failures.
    std::fprintf(stderr, "Events of the failed run:\n%s",
                 app_.Transcript().c_str());
  }
  Quit(milliseconds(5000));
}

json BrowserApp::Command(json command) {
  const std::string name = command.at("cmd");
  return app_.Command(
      command.dump(),
      [&](const json& event) {
        return IsEvent(event, "done") && event.value("cmd", "") == name;
      },
      milliseconds(15000));
}

int BrowserApp::Create(const std::string& url) {
  json reply = Command({{"cmd", "create"}, {"url", url}});
  return reply.is_null() ? 0 : reply.value("browser", 0);
}

bool BrowserApp::Quit(milliseconds timeout) {
  ChildProcess& process = app_.process();
  if (!process.started()) {
    return false;
  }
  process.SendLine(json({{"cmd", "quit"}}).dump());
  const std::optional<int> status = process.WaitForExit(timeout);
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

}  // namespace engine_test
