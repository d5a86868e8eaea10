// The korvel executable as users run it, for end-to-end tests: in a private
// home (tests/support/private-home) holding a release of the substitute
// backend, on the test's own X server, driven through the backend's page
// driver (devbackend/page_driver.h) in the page the backend serves.

#ifndef TESTS_BRIDGE_KORVEL_FIXTURE_H_
#define TESTS_BRIDGE_KORVEL_FIXTURE_H_

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {

class KorvelFixture : public ::testing::Test {
 protected:
  // The version of the installed release the data directory names.
  static constexpr int kReleaseVersion = 600;

  void SetUp() override;
  void TearDown() override;

  // Starts korvel in the working directory that holds the splash picture;
  // the backend serves |appPage| at "/".
  ChildProcess& Start(const std::string& appPage = "/test/scenario.html");

  // The main window once it exists (mapped or not); 0 after 20 s.
  unsigned long WaitForMainWindow();
  // Starts korvel and waits until the page answers in its main window; that
  // window, or 0 when it never does.
  unsigned long StartApp(ChildProcess*& shell);
  // Shows |main| from the page, as the application does once drawn; whether
  // it then shows.
  bool ShowFromPage(unsigned long main);
  // Clicks into the shown |main| until the page has the user's activation
  // (engines ask before leaving only pages the user has touched).
  bool ActivatePage(unsigned long main);

  // Runs |code| as the body of an async function in the page (or in its
  // frame named by |target|) and returns {"value": ...}, {"undefined":
  // true} or {"error": ...}; {"timeout": true} when no answer came.
  nlohmann::json RunInPage(const std::string& code,
                           const std::string& target = "main",
                           milliseconds timeout = milliseconds(20000));

  // The value |code| returned; fails the test on anything else.
  nlohmann::json Eval(const std::string& code,
                      const std::string& target = "main");

  // What the next backend the shell starts does (its settings file).
  void SetNextBackend(const nlohmann::json& settings);
  // Posts |body| to the running backend's control endpoint |path|.
  bool Control(const std::string& path, const nlohmann::json& body);

  // The substitute backends the shell |parent| runs.
  static std::vector<pid_t> BackendsOf(pid_t parent);

  TempDir work_{"korvel-e2e"};

 private:
  std::vector<std::unique_ptr<ChildProcess>> runs_;
  int lastSeq_ = 0;
};

}  // namespace engine_test

#endif  // TESTS_BRIDGE_KORVEL_FIXTURE_H_
