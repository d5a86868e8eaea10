// The child process plumbing against a tiny helper program: lines both
// ways, exit statuses, time bounds, and that nothing the child starts
// survives it.

#include "tests/support/engine_harness/child_process.h"

#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {
namespace {

using Clock = std::chrono::steady_clock;

// A process that exists and is no zombie.
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) {
    return false;
  }
  const size_t paren = line.rfind(')');
  return paren != std::string::npos && paren + 2 < line.size() &&
         line[paren + 2] != 'Z';
}

pid_t GrandchildOf(ChildProcess& child) {
  const std::optional<std::string> line = child.ReadLine(milliseconds(5000));
  if (!line) {
    return -1;
  }
  return nlohmann::json::parse(*line).value("pid", -1);
}

long ElapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<milliseconds>(Clock::now() - since).count());
}

TEST(ChildProcessTest, LinesGoBothWaysAndTheExitStatusComesBack) {
  ChildProcess child({HARNESS_TEST_CHILD, "echo"});
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.ReadLine(milliseconds(5000)), R"({"event":"ready"})");
  EXPECT_EQ(child.ReadLine(milliseconds(5000)),
            "engine diagnostics, not an event");
  EXPECT_EQ(child.ReadLine(milliseconds(5000)), "[1,2,3]");
  EXPECT_TRUE(child.SendLine("hello"));
  EXPECT_EQ(child.ReadLine(milliseconds(5000)),
            R"({"event":"got","line":"hello"})");
  EXPECT_FALSE(child.WaitForExit(milliseconds(0)));

  child.CloseStdin();
  // A last line without a newline still arrives.
  EXPECT_EQ(child.ReadLine(milliseconds(5000)), R"({"event":"last"})");
  EXPECT_EQ(child.ReadLine(milliseconds(1000)), std::nullopt);
  EXPECT_TRUE(child.output_ended());
  const std::optional<int> status = child.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "exit 3");
  // Once reaped, the status stays.
  EXPECT_EQ(child.WaitForExit(milliseconds(0)), status);
  // Writing to a child that is gone fails instead of killing the test.
  EXPECT_FALSE(child.SendLine("anyone?"));
}

// Waiting on a child that neither writes nor exits ends on time.
TEST(ChildProcessTest, ReadsAndWaitsKeepTheirTimeBounds) {
  ChildProcess child({HARNESS_TEST_CHILD, "sleep"});
  ASSERT_TRUE(child.started());
  Clock::time_point start = Clock::now();
  EXPECT_EQ(child.ReadLine(milliseconds(300)), std::nullopt);
  EXPECT_GE(ElapsedMs(start), 290);
  EXPECT_LT(ElapsedMs(start), 2000);

  start = Clock::now();
  EXPECT_EQ(child.WaitForExit(milliseconds(300)), std::nullopt);
  EXPECT_GE(ElapsedMs(start), 290);
  EXPECT_LT(ElapsedMs(start), 2000);

  // It ignores SIGTERM, so only the group's SIGKILL ends it.
  child.SignalGroup(SIGTERM);
  EXPECT_EQ(child.WaitForExit(milliseconds(300)), std::nullopt);
  child.SignalGroup(SIGKILL);
  const std::optional<int> status = child.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "signal 9");
  EXPECT_TRUE(child.output_ended() ||
              child.ReadLine(milliseconds(1000)) == std::nullopt);
}

TEST(ChildProcessTest, AMissingProgramExitsWith127AndStderrCanGoToAFile) {
  {
    ChildProcess missing({"/nonexistent/program"});
    ASSERT_TRUE(missing.started());
    const std::optional<int> status = missing.WaitForExit(milliseconds(5000));
    ASSERT_TRUE(status);
    EXPECT_EQ(DescribeStatus(*status), "exit 127");
  }
  TempDir dir("engine-harness");
  const std::string log = dir.path() + "/stderr.log";
  ChildProcess child({HARNESS_TEST_CHILD, "stderr"}, log);
  const std::optional<int> status = child.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "exit 0");
  std::ifstream file(log);
  std::string text;
  std::getline(file, text);
  EXPECT_EQ(text, "to stderr");
}

// RunForOutput: the output only after a clean exit, and on time.
TEST(ChildProcessTest, RunForOutputWantsExitZeroWithinTheTimeout) {
  EXPECT_EQ(
      RunForOutput({"/bin/sh", "-c", "echo a; printf b"}, milliseconds(5000)),
      "a\nb\n");
  EXPECT_EQ(
      RunForOutput({"/bin/sh", "-c", "echo a; exit 1"}, milliseconds(5000)),
      std::nullopt);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(RunForOutput({HARNESS_TEST_CHILD, "sleep"}, milliseconds(300)),
            std::nullopt);
  EXPECT_LT(ElapsedMs(start), 2000);
}

// The destructor must not leave a process of the child's group running,
// even one that ignores SIGTERM.
TEST(ChildProcessTest, TheDestructorKillsTheWholeGroup) {
  pid_t grandchild = -1;
  {
    ChildProcess child({HARNESS_TEST_CHILD, "group"});
    grandchild = GrandchildOf(child);
    ASSERT_GT(grandchild, 0);
    EXPECT_TRUE(Alive(grandchild));
    EXPECT_TRUE(Alive(child.pid()));
  }
  EXPECT_TRUE(WaitUntil([&] { return !Alive(grandchild); }))
      << "process " << grandchild << " survived";
  if (Alive(grandchild)) {
    kill(grandchild, SIGKILL);
  }
}

// A process that left the child's group is adopted by the Reaper and does
// not outlive it.
TEST(ReaperTest, AdoptedOrphansAreKilledAndReaped) {
  pid_t orphan = -1;
  {
    Reaper reaper;
    ChildProcess child({HARNESS_TEST_CHILD, "orphan"});
    orphan = GrandchildOf(child);
    ASSERT_GT(orphan, 0);
    ASSERT_TRUE(child.WaitForExit(milliseconds(5000)));
    EXPECT_TRUE(WaitUntil([&] {
      for (pid_t pid : ChildrenOf(getpid())) {
        if (pid == orphan) {
          return true;
        }
      }
      return false;
    })) << "the orphan was not adopted";
    EXPECT_TRUE(Alive(orphan));
  }
  // Reaped, not merely killed: no zombie entry is left either.
  EXPECT_FALSE(std::ifstream("/proc/" + std::to_string(orphan) + "/stat"))
      << "process " << orphan << " was left behind";
  EXPECT_TRUE(ChildrenOf(getpid()).empty());
}

}  // namespace
}  // namespace engine_test
