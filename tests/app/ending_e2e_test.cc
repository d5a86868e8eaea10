// How the shell ends: stop signals, a backend gone before any window
// exists, a port another program holds, and every exit path without a
// process left behind. The korvel executable and the substitute backend in
// a private home, on a private network and X server; this test process is a
// subreaper, so whatever an ended shell leaves running lands below it.

#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/data_paths.h"
#include "tests/bridge/korvel_fixture.h"
#include "tests/splash/x_probe.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/test_server.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kBackendPort = 35580;

// The shell's wait status as "exit N" or "signal N", "running" when it has
// not ended within |timeout|. |windowSeen|, when given, tells whether a
// window of the shell's class existed at any point of the wait.
std::string WaitForEnd(ChildProcess& shell,
                       bool* windowSeen = nullptr,
                       milliseconds timeout = milliseconds(20000)) {
  std::optional<int> status;
  WaitUntil(
      [&] {
        if (windowSeen && !WindowsOfClass("KorVel").empty()) {
          *windowSeen = true;
        }
        status = shell.WaitForExit(milliseconds(0));
        return status.has_value();
      },
      timeout);
  return status ? DescribeStatus(*status) : "running";
}

// Whether everything below this test process is exactly |expected| once the
// ended shells' leftovers have had their moment to die; names the rest.
bool OnlyLeft(std::vector<pid_t> expected = {}) {
  std::sort(expected.begin(), expected.end());
  std::vector<pid_t> below;
  WaitUntil([&] {
    below = ProcessesBelowTest();
    std::sort(below.begin(), below.end());
    return below == expected;
  });
  for (pid_t pid : below) {
    if (!std::binary_search(expected.begin(), expected.end(), pid)) {
      ADD_FAILURE() << "left running: " << pid << " "
                    << Shell("tr '\\0' ' ' < /proc/" + std::to_string(pid) +
                             "/cmdline");
    }
  }
  return below == expected;
}

class EndingTest : public KorvelFixture {
 protected:
  // Runs |cycles| starts that the engine refuses, each of which must end
  // with status 1 and leave nothing but |running|; prints their mean time.
  void RefusedStarts(int cycles, const std::vector<pid_t>& running) {
    const Clock::time_point begin = Clock::now();
    int done = 0;
    for (; done < cycles; ++done) {
      SCOPED_TRACE("cycle " + std::to_string(done));
      EXPECT_EQ(WaitForEnd(Start()), "exit 1");
      if (!OnlyLeft(running)) {
        break;
      }
    }
    const auto spent =
        std::chrono::duration_cast<milliseconds>(Clock::now() - begin);
    std::cout << done << " refused starts, "
              << spent.count() / std::max(done, 1) << " ms each\n";
  }

  // Before any shell: the orphans of the shells land here, not with init.
  Reaper reaper_;
};

// A stop signal (a desktop logging out sends SIGTERM, SIGHUP; a terminal
// SIGINT) ends the shell as closing its window does: status 0, nothing left
// running, and no leave prompt holds it up. The engine shuts down properly,
// so a value the page stores just before the signal is there at the next
// start (a shell that dies on the spot loses it).
TEST_F(EndingTest, StopSignalsEndLikeClosingTheWindow) {
  std::string stored;
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    ChildProcess* shell = nullptr;
    const unsigned long main = StartApp(shell);
    ASSERT_NE(main, 0u);
    if (!stored.empty()) {
      EXPECT_EQ(Eval("return localStorage.getItem('ending')"), stored);
    }
    // What makes the page's leave prompt hold up a close (as
    // BridgeTest.LeavePromptsReachThePage shows): the user's activation and
    // a leave message.
    ASSERT_TRUE(ShowFromPage(main));
    ASSERT_TRUE(ActivatePage(main));
    Eval("window.leaveMessage = 'unsaved work'");
    stored = std::string("stored before ") + strsignal(number);
    Eval("localStorage.setItem('ending', " + json(stored).dump() + ")");
    // A second signal while the first is handled changes nothing (another
    // one: the same signal, still pending, would count once).
    ASSERT_EQ(kill(shell->pid(), number), 0);
    ASSERT_EQ(kill(shell->pid(), number == SIGTERM ? SIGHUP : SIGTERM), 0);
    EXPECT_EQ(WaitForEnd(*shell), "exit 0");
    EXPECT_TRUE(OnlyLeft());
  }
}

// A backend that has not bound its port yet keeps the splash up while the
// shell probes for it.
const json kSlowBackend = {{"listenDelayMs", 60000}};

// The application ends, status 0, without ever creating a window: the
// readiness wait must not go on to open one (on the error page, or on a
// program that is not our backend), and an engine shut down with no
// browser must still end cleanly.
TEST_F(EndingTest, EndsBeforeAnyWindowWithNothingLeft) {
  struct EarlyEnd {
    const char* name;
    // The settings of the backend the shell starts.
    json backend;
    // What holds the backend's port beforehand (its handler), if anything.
    TestServer::Handler portHolder;
    // What the test does once the splash is up, if anything.
    std::function<void(pid_t shell, pid_t backend)> atSplash;
  };
  const EarlyEnd ends[] = {
      // A stop signal while only the splash is up.
      {"stop signal at the splash", kSlowBackend, nullptr,
       [](pid_t shell, pid_t) { kill(shell, SIGTERM); }},
      // The backend dies while the shell waits for it.
      {"backend killed at the splash", kSlowBackend, nullptr,
       [](pid_t, pid_t backend) { kill(backend, SIGKILL); }},
      // The backend exits before the engine has even started.
      {"backend exits at once",
       {{"listenDelayMs", 60000}, {"exitAfterMs", 0}, {"exitStatus", 7}},
       nullptr,
       nullptr},
      // Another program holds the port: our backend cannot bind it and
      // exits; the shell must not open a window on that program, whether it
      // never answers or answers 404.
      {"port held by a silent server", json::object(),
       [](TestServer& server, int connection) {
         server.HoldUntilPeerCloses(connection);
       },
       nullptr},
      {"port held by a server answering 404", json::object(),
       Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
             "Connection: close\r\n\r\n"),
       nullptr},
  };
  for (const EarlyEnd& end : ends) {
    SCOPED_TRACE(end.name);
    std::unique_ptr<TestServer> holder;
    if (end.portHolder) {
      holder =
          std::make_unique<TestServer>(AF_INET, kBackendPort, end.portHolder);
      ASSERT_TRUE(holder->ok());
    }
    SetNextBackend(end.backend);
    ChildProcess& shell = Start();
    if (end.atSplash) {
      ASSERT_TRUE(WaitUntil([] { return CountViewableDocks() == 1; },
                            milliseconds(20000)));
      const std::vector<pid_t> backends = BackendsOf(shell.pid());
      ASSERT_EQ(backends.size(), 1u);
      end.atSplash(shell.pid(), backends[0]);
    }
    bool windowSeen = false;
    EXPECT_EQ(WaitForEnd(shell, &windowSeen), "exit 0");
    EXPECT_FALSE(windowSeen);
    ASSERT_TRUE(OnlyLeft());
  }
}

// Starts per exit path with a window: each costs a full engine start.
constexpr int kWindowCycles = 10;

// No exit path of a running application leaves a process behind: the
// backend, the engine's helper processes and the shell itself are all gone.
// (Stop signals: StopSignalsEndLikeClosingTheWindow.)
TEST_F(EndingTest, EveryExitPathLeavesNoProcess) {
  enum class How {
    kWindowClose,
    kPageExit,
    kPageClose,
    kBackendExitStatus,
    kBackendKilled,
    kShellKilled,
  };
  struct ExitPath {
    const char* name;
    How how;
    // The wait status the shell ends with.
    const char* status;
  };
  const ExitPath paths[] = {
      {"window close", How::kWindowClose, "exit 0"},
      {"korvel.exit()", How::kPageExit, "exit 0"},
      {"korvel.close()", How::kPageClose, "exit 0"},
      // A backend crash told by its exit status, and one by a signal.
      {"backend exit status 3", How::kBackendExitStatus, "exit 0"},
      {"backend SIGKILL", How::kBackendKilled, "exit 0"},
      // The backend goes by its parent-death signal, the engine's helper
      // processes by theirs.
      {"shell SIGKILL", How::kShellKilled, "signal 9"},
  };
  for (const ExitPath& path : paths) {
    for (int cycle = 0; cycle < kWindowCycles; ++cycle) {
      SCOPED_TRACE(std::string(path.name) + ", cycle " + std::to_string(cycle));
      ChildProcess* shell = nullptr;
      const unsigned long main = StartApp(shell);
      ASSERT_NE(main, 0u);
      const std::vector<pid_t> backends = BackendsOf(shell->pid());
      ASSERT_EQ(backends.size(), 1u);
      switch (path.how) {
        case How::kWindowClose:
          // The window manager closes only what it shows.
          ASSERT_TRUE(ShowFromPage(main));
          ASSERT_TRUE(RequestClose(main));
          break;
        case How::kPageExit:
          RunInPage("korvel.exit()", "main", milliseconds(1000));
          break;
        case How::kPageClose:
          RunInPage("korvel.close()", "main", milliseconds(1000));
          break;
        case How::kBackendExitStatus:
          ASSERT_TRUE(Control("exit", {{"status", 3}}));
          break;
        case How::kBackendKilled:
          ASSERT_EQ(kill(backends[0], SIGKILL), 0);
          break;
        case How::kShellKilled:
          ASSERT_EQ(kill(shell->pid(), SIGKILL), 0);
          break;
      }
      EXPECT_EQ(WaitForEnd(*shell), path.status);
      ASSERT_TRUE(OnlyLeft());
    }
  }
}

// Starts that the engine refuses cost well under a second: many of them.
constexpr int kRefusedCycles = 100;

// Second starts hand over to the running shell, which shows and activates
// its one window, and end with status 1, leaving no process of theirs (two
// backends each) behind; once its engine refused to start, a second start
// calls none of the engine's functions, not even when its backend ends. A
// stop signal while a second start waits for its backend keeps its default
// action: it has no engine to shut down, and its backends die with it.
TEST_F(EndingTest, SecondStartsLeaveNothing) {
  ChildProcess* first = nullptr;
  const unsigned long main = StartApp(first);
  ASSERT_NE(main, 0u);
  const std::vector<pid_t> running = ProcessTree(first->pid());
  RefusedStarts(kRefusedCycles, running);
  EXPECT_TRUE(WaitUntil([&] { return MapState(main) == "IsViewable"; }));
  EXPECT_TRUE(WaitUntil([&] {
    return Shell("xdotool getactivewindow").find(std::to_string(main)) !=
           std::string::npos;
  }));
  EXPECT_EQ(WindowsOfClass("KorVel").size(), 1u);
  const std::string log = ReadFile(GetDataDir() + "/korvel.log");
  EXPECT_EQ(log.find("after CefInitialize returned false"), std::string::npos);

  SetNextBackend(kSlowBackend);
  ChildProcess& second = Start();
  // The launcher thread's backend and the one of the refused path.
  ASSERT_TRUE(WaitUntil([&] { return BackendsOf(second.pid()).size() == 2; },
                        milliseconds(20000)));
  ASSERT_EQ(kill(second.pid(), SIGTERM), 0);
  EXPECT_EQ(WaitForEnd(second), "signal 15");
  EXPECT_TRUE(OnlyLeft(running));

  ASSERT_EQ(kill(first->pid(), SIGTERM), 0);
  EXPECT_EQ(WaitForEnd(*first), "exit 0");
  EXPECT_TRUE(OnlyLeft());
}

// An engine that refuses to start with no other instance running (here for
// want of a usable profile directory: a file in its place) must end the start
// with status 1 once its backends have ended (another program holds their
// port), leaving no engine helper or backend behind.
TEST_F(EndingTest, RefusedEngineStartsLeaveNothing) {
  std::ofstream(GetDataDir() + "/cache") << "not a directory";
  TestServer holder(AF_INET, kBackendPort, Reply(""));
  ASSERT_TRUE(holder.ok());
  RefusedStarts(kRefusedCycles, {});
}

}  // namespace
}  // namespace engine_test
