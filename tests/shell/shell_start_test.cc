// The shell's start in the development engine: BrowserApp puts up the
// splash, waits for the application, and creates the main window hidden and
// centred, or on the error page when the application never answers; popups
// show themselves at the bounds they asked for. (Second starts of the korvel
// executable: EndingTest.SecondStartsLeaveNothing.)

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/splash/x_probe.h"
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

std::string Allow(const PageServer& server) {
  return "localhost:" + std::to_string(server.port());
}

// Until the application answers, only the splash is up; then the main
// window exists on the application, hidden, centred, of the shell's class,
// and the splash stays until the page asks to be shown.
TEST(ShellStartTest, MainWindowWaitsHiddenBehindTheSplash) {
  PageServer server;
  ShellRun run(server.Url("/app"), Allow(server));
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(
      WaitUntil([] { return CountViewableDocks() == 1; }, milliseconds(15000)));
  // The application page is not there yet (404): no window, however often
  // the shell asks.
  ASSERT_TRUE(WaitUntil([&] { return server.Hits("/app") >= 3; }));
  EXPECT_TRUE(WindowsOfClass("KorVel").empty());

  server.Page("/app", "<title>application</title><p>app</p>");
  const unsigned long main = WaitForMainWindow("application");
  ASSERT_NE(main, 0u);
  EXPECT_EQ(MapState(main), "IsUnMapped");
  EXPECT_EQ(Property(main, "WM_CLASS"),
            "WM_CLASS(STRING) = \"KorVel\", \"KorVel\"");
  const Geometry g = GetGeometry(main);
  EXPECT_EQ(g.width, 1200);
  EXPECT_EQ(g.height, 685);
  EXPECT_EQ(g.x, (1920 - 1200) / 2);
  EXPECT_EQ(g.y, (1080 - 685) / 2);
  EXPECT_EQ(CountViewableDocks(), 1);
  // Every preference the shell turns off reached the engine, which knows
  // only names Chromium 138 registers: a stale name would be skipped.
  const std::string prefs = ReadFile(run.dir() + "/engine_prefs.json");
  for (const char* name :
       {"credentials_enable_service", "profile.password_manager_leak_detection",
        "autofill.profile_enabled", "autofill.credit_card_enabled",
        "bookmark_bar.show_on_all_tabs", "alternate_error_pages.enabled"}) {
    EXPECT_NE(prefs.find("\"" + std::string(name) + "\": false"),
              std::string::npos)
        << name << "\n"
        << prefs;
  }
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

// A popup gets its own frameless window that shows itself at the bounds
// the page asked for, while the main window stays hidden.
TEST(ShellStartTest, PopupsShowThemselvesAtTheirBounds) {
  PageServer server;
  server.Page("/popup", "<title>popup</title>");
  server.Page("/app",
              "<title>application</title><script>window.open('/popup', '', "
              "'left=100,top=120,width=640,height=420')</script>");
  ShellRun run(server.Url("/app"), Allow(server));
  ASSERT_TRUE(run.started());
  std::vector<unsigned long> windows;
  ASSERT_TRUE(WaitUntil(
      [&] {
        windows = WindowsOfClass("KorVel");
        return windows.size() == 2 && HasTitle(windows[1], "popup") &&
               MapState(windows[1]) == "IsViewable";
      },
      milliseconds(15000)));
  EXPECT_TRUE(HasTitle(windows[0], "application"));
  EXPECT_EQ(MapState(windows[0]), "IsUnMapped");
  const Geometry g = GetGeometry(windows[1]);
  EXPECT_EQ(g.x, 100);
  EXPECT_EQ(g.y, 120);
  EXPECT_EQ(g.width, 640);
  EXPECT_EQ(g.height, 420);
  // Frameless: the window manager draws nothing around it.
  EXPECT_NE(Property(windows[1], "_NET_FRAME_EXTENTS").find("0, 0, 0, 0"),
            std::string::npos);
}

// A second start while the application closes its last browser has no
// window to raise, yet must be handled: left to the engine, it would open a
// window of its own, which would keep the closing application alive.
TEST(ShellStartTest, SecondStartWhileClosingOpensNoWindow) {
  PageServer server;
  server.Page("/app", "<title>application</title>");
  ShellRun first(server.Url("/app"), Allow(server));
  ASSERT_TRUE(first.started());
  ASSERT_NE(WaitForMainWindow("application"), 0u);
  ASSERT_EQ(first.Command("closing"), 1);

  ShellRun second(server.Url("/app"), Allow(server), first.dir());
  const std::optional<int> status = second.WaitForExit(milliseconds(15000));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(DescribeStatus(*status), "exit 1");
  // The running instance answered the relaunch before the second start
  // ended; a window opened for it would be a browser of the client now.
  EXPECT_EQ(first.Command("browsers"), 1);
}

}  // namespace
}  // namespace engine_test
