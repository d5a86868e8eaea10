// The shell's start in the development engine, with the shell's BrowserApp:
// the main window on the error page when the application never answers, and
// a second start while the last browser closes. (The main window and popups
// as the korvel executable opens them: BridgeTest; second starts of it:
// EndingTest.SecondStartsLeaveNothing.)

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/page_server.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

// One run of shell_test_app on |appUrl|, started in a directory holding a
// splash picture. The app leaves when its stdin closes.
class ShellRun {
 public:
  // |cacheRoot| defaults to a directory of this run's own.
  ShellRun(const std::string& appUrl,
           const std::string& allow,
           const std::string& cacheRoot = "") {
    dir_.Write("loading.pixel", std::string("\x40\x00\x20\x00", 4));
    app_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{
            "/usr/bin/env", "--chdir=" + dir_.path(), SHELL_TEST_APP,
            "--app-url=" + appUrl, "--allow=" + allow,
            "--cache-root=" + (cacheRoot.empty() ? dir_.path() : cacheRoot)},
        dir_.path() + "/stderr.log");
  }
  ~ShellRun() {
    if (app_) {
      app_->CloseStdin();
      app_->WaitForExit(milliseconds(5000));
    }
  }

  bool started() const { return app_->started(); }
  // Sends |command| to the app; the number of browsers its client holds
  // once the command ran, or -1.
  int Command(const std::string& command) {
    app_->SendLine(command);
    const std::string prefix = "{\"browsers\":";
    // Other output (the splash's notes) may come first.
    while (std::optional<std::string> line =
               app_->ReadLine(milliseconds(5000))) {
      if (line->rfind(prefix, 0) == 0) {
        return std::stoi(line->substr(prefix.size()));
      }
    }
    return -1;
  }
  const std::string& dir() const { return dir_.path(); }
  // Waits for the app to end on its own; its wait status, or nothing.
  std::optional<int> WaitForExit(milliseconds timeout) {
    return app_->WaitForExit(timeout);
  }

 private:
  TempDir dir_{"korvel-shell-start"};
  std::unique_ptr<ChildProcess> app_;
};

// The first shell window once it is titled |title|; 0 if none comes.
unsigned long WaitForMainWindow(const std::string& title) {
  std::vector<unsigned long> windows;
  WaitUntil(
      [&] {
        windows = WindowsOfClass("KorVel");
        return !windows.empty() && HasTitle(windows[0], title);
      },
      milliseconds(15000));
  return windows.empty() || !HasTitle(windows[0], title) ? 0 : windows[0];
}

// An application that never answers gets the error page instead.
TEST(ShellStartTest, SilentApplicationGivesTheErrorPage) {
  const std::string port = std::to_string(ClosedPort());
  ShellRun run("http://127.0.0.1:" + port + "/app", "localhost:" + port);
  ASSERT_TRUE(run.started());
  const unsigned long main = WaitForMainWindow("Korvel Error");
  ASSERT_NE(main, 0u);
  EXPECT_EQ(MapState(main), "IsUnMapped");
}

// A second start while the application closes its last browser has no
// window to raise, yet must be handled: left to the engine, it would open a
// window of its own, which would keep the closing application alive.
TEST(ShellStartTest, SecondStartWhileClosingOpensNoWindow) {
  PageServer server;
  server.Page("/app", "<title>application</title>");
  const std::string allow = "localhost:" + std::to_string(server.port());
  ShellRun first(server.Url("/app"), allow);
  ASSERT_TRUE(first.started());
  ASSERT_NE(WaitForMainWindow("application"), 0u);
  ASSERT_EQ(first.Command("closing"), 1);

  ShellRun second(server.Url("/app"), allow, first.dir());
  const std::optional<int> status = second.WaitForExit(milliseconds(15000));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(DescribeStatus(*status), "exit 1");
  // The running instance answered the relaunch before the second start
  // ended; a window opened for it would be a browser of the client now.
  EXPECT_EQ(first.Command("browsers"), 1);
}

}  // namespace
}  // namespace engine_test
