// The shell as users run it: the korvel executable in an empty home of its
// own (tests/support/private-home), with a release of the substitute
// backend under its data directory, on a private network and X server.
// Nothing of it but the backend listens on a socket.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/data_paths.h"
#include "tests/bridge/korvel_fixture.h"
#include "tests/splash/x_probe.h"
#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

// The local addresses of the TCP sockets in the listening state that a
// process of |pids| holds (the test runs in a network namespace of its own).
std::vector<std::string> ListeningSockets(const std::vector<pid_t>& pids) {
  std::set<std::string> inodes;
  for (pid_t pid : pids) {
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator(
             "/proc/" + std::to_string(pid) + "/fd", error)) {
      const std::string target =
          std::filesystem::read_symlink(fd.path(), error).string();
      if (target.rfind("socket:[", 0) == 0) {
        inodes.insert(target.substr(8, target.size() - 9));
      }
    }
  }
  std::vector<std::string> listening;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid,
          timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >>
          retransmits >> uid >> timeout >> inode;
      if (state == "0A" && inodes.count(inode)) {
        listening.push_back(local);
      }
    }
  }
  return listening;
}

class KorvelTest : public KorvelFixture {
 protected:
  // Waits for the main window on the application page.
  unsigned long WaitForAppWindow() {
    const unsigned long main = WaitForMainWindow();
    return main && WaitUntil([&] { return HasTitle(main, "Korvel scenario"); },
                             milliseconds(20000))
               ? main
               : 0;
  }
};

// The shell starts its backend from the release in the data directory, puts
// up the splash and opens the application in its hidden, centred main
// window; when the backend dies unasked, the shell ends.
TEST_F(KorvelTest, RunsTheBackendAndEndsWithIt) {
  ChildProcess& korvel = Start();
  ASSERT_TRUE(korvel.started());
  ASSERT_TRUE(
      WaitUntil([] { return CountViewableDocks() == 1; }, milliseconds(20000)));
  const unsigned long main = WaitForAppWindow();
  ASSERT_NE(main, 0u);
  EXPECT_EQ(MapState(main), "IsUnMapped");
  const Geometry g = GetGeometry(main);
  EXPECT_EQ(g.width, 1200);
  EXPECT_EQ(g.height, 685);
  EXPECT_EQ(Property(main, "WM_CLASS"),
            "WM_CLASS(STRING) = \"KorVel\", \"KorVel\"");
  // The engine log lands in the data directory.
  EXPECT_TRUE(std::filesystem::exists(GetDataDir() + "/korvel.log"));

  const std::vector<pid_t> backends = BackendsOf(korvel.pid());
  ASSERT_EQ(backends.size(), 1u);
  // Nothing but the backend listens: a DevTools endpoint, for one, would let
  // any local process drive the application and its bridge.
  EXPECT_EQ(ListeningSockets(ProcessTree(korvel.pid(), backends)),
            std::vector<std::string>());
  // The check sees the backend's own socket, so it can see one at all.
  EXPECT_EQ(ListeningSockets(backends).size(), 1u);
  ASSERT_EQ(kill(backends[0], SIGTERM), 0);
  const std::optional<int> status = korvel.WaitForExit(milliseconds(15000));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(DescribeStatus(*status), "exit 0");
}

// A second start hands over to the running shell, which shows its window,
// and ends with status 1 once the backend it tried to add has given up.
TEST_F(KorvelTest, SecondStartShowsTheRunningWindow) {
  ChildProcess& first = Start();
  const unsigned long main = WaitForAppWindow();
  ASSERT_NE(main, 0u);
  EXPECT_EQ(MapState(main), "IsUnMapped");

  ChildProcess& second = Start();
  const std::optional<int> status = second.WaitForExit(milliseconds(20000));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(DescribeStatus(*status), "exit 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(main) == "IsViewable"; }));
  EXPECT_EQ(BackendsOf(first.pid()).size(), 1u);
  EXPECT_FALSE(first.WaitForExit(milliseconds(0)).has_value());
  // Once its engine refused to start, the second process called none of
  // the engine's functions, not even when its backend ended.
  const std::string text = ReadFile(GetDataDir() + "/korvel.log");
  EXPECT_EQ(text.find("after CefInitialize returned false"), std::string::npos)
      << text;
}

}  // namespace
}  // namespace engine_test
