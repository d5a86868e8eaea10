// The child process plumbing against small shell children: what a test
// reads of a child is what the child did, waits last their bound, command
// answers are matched in order, and nothing the child starts survives it.

#include "tests/support/engine_harness/child_process.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {
namespace {

using Clock = std::chrono::steady_clock;

// A ready event, a line that is no JSON and a JSON array; then a done event
// carrying N for each line "answer N" and a got event for any other line;
// at the end of its input a last event without a newline, and status 3.
constexpr char kEcho[] = R"sh(
echo '{"event":"ready"}'
echo 'engine diagnostics, not an event'
echo '[1,2,3]'
while read -r line; do
  case "$line" in
    "answer "*) echo "{\"event\":\"done\",\"n\":${line#answer }}" ;;
    *) echo "{\"event\":\"got\",\"line\":\"$line\"}" ;;
  esac
done
printf '{"event":"last"}'
exit 3)sh";
// Ignores SIGTERM and sleeps.
constexpr char kSleep[] = "trap '' TERM; exec sleep 600";
// Reports the pid of a sleeper in its group that ignores SIGTERM too.
constexpr char kGroup[] =
    R"sh(trap '' TERM; sleep 600 & echo "{\"pid\":$!}"; wait)sh";
// Reports the pid of a sleeper in a session of its own and exits at once,
// leaving it behind.
constexpr char kOrphan[] = R"sh(setsid sleep 600 & echo "{\"pid\":$!}")sh";

std::vector<std::string> Sh(const char* script) {
  return {"/bin/sh", "-c", script};
}

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
  return line ? nlohmann::json::parse(*line).value("pid", -1) : -1;
}

long ElapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<milliseconds>(Clock::now() - since).count());
}

// Lines arrive whole and in order, a last one without a newline too, and
// the exit status is the child's own (a wrong one would let a test of a
// crash or a clean exit pass either way).
TEST(ChildProcessTest, LinesGoBothWaysAndTheExitStatusComesBack) {
  ChildProcess child(Sh(kEcho));
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
  EXPECT_EQ(child.ReadLine(milliseconds(5000)), R"({"event":"last"})");
  EXPECT_EQ(child.ReadLine(milliseconds(1000)), std::nullopt);
  const std::optional<int> status = child.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "exit 3");
  EXPECT_EQ(child.WaitForExit(milliseconds(0)), status);
  // Writing to a child that is gone fails instead of killing the test.
  EXPECT_FALSE(child.SendLine("anyone?"));
}

// A read or wait that ended early would let a check that nothing came pass
// before anything could have.
TEST(ChildProcessTest, ReadsAndWaitsKeepTheirTimeBounds) {
  ChildProcess child(Sh(kSleep));
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
}

// The command runners hand out output only after a clean exit and within
// their bound; a program that cannot be started ends its child with 127
// instead of going on as a copy of the test.
TEST(ChildProcessTest, RunnersWantACleanExitWithinTheirBound) {
  EXPECT_EQ(
      RunForOutput({"/bin/sh", "-c", "echo a; printf b"}, milliseconds(5000)),
      "a\nb\n");
  EXPECT_EQ(
      RunForOutput({"/bin/sh", "-c", "echo a; exit 1"}, milliseconds(5000)),
      std::nullopt);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(RunForOutput(Sh(kSleep), milliseconds(300)), std::nullopt);
  EXPECT_LT(ElapsedMs(start), 2000);
  EXPECT_EQ(Shell("echo hello; echo oops >&2"), "hello\n");
  EXPECT_EQ(Shell("echo partial; exit 1"), "");

  ChildProcess missing({"/nonexistent/program"});
  const std::optional<int> status = missing.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "exit 127");
}

// The destructor must not leave a process of the child's group running,
// even one that ignores SIGTERM.
TEST(ChildProcessTest, TheDestructorKillsTheWholeGroup) {
  pid_t grandchild = -1;
  {
    ChildProcess child(Sh(kGroup));
    grandchild = GrandchildOf(child);
    ASSERT_GT(grandchild, 0);
    EXPECT_TRUE(Alive(grandchild));
  }
  EXPECT_TRUE(WaitUntil([&] { return !Alive(grandchild); }))
      << "process " << grandchild << " survived";
  if (Alive(grandchild)) {
    kill(grandchild, SIGKILL);
  }
}

// A process that left the child's group is adopted by the Reaper, seen by
// the leak checks (ProcessesBelowTest) and does not outlive the Reaper.
TEST(ReaperTest, AdoptedOrphansAreSeenKilledAndReaped) {
  pid_t orphan = -1;
  {
    Reaper reaper;
    ChildProcess child(Sh(kOrphan));
    orphan = GrandchildOf(child);
    ASSERT_GT(orphan, 0);
    ASSERT_TRUE(child.WaitForExit(milliseconds(5000)));
    EXPECT_TRUE(WaitUntil([&] {
      const std::vector<pid_t> below = ProcessesBelowTest();
      return std::find(below.begin(), below.end(), orphan) != below.end();
    })) << "the orphan was not adopted";
  }
  // Reaped, not merely killed: no zombie entry is left either.
  EXPECT_FALSE(std::ifstream("/proc/" + std::to_string(orphan) + "/stat"))
      << "process " << orphan << " was left behind";
  EXPECT_TRUE(ProcessesBelowTest().empty());
}

EventMatch Done() {
  return [](const json& event) { return IsEvent(event, "done"); };
}

EventMatch Got(const std::string& line) {
  return [line](const json& e) {
    return IsEvent(e, "got") && e.value("line", "") == line;
  };
}

// Lines that are no JSON objects are no events; after a Mark, a wait is
// never met by an event from before it.
TEST(JsonLineChildTest, OnlyJsonObjectsAreEventsAndTheMarkHidesOldOnes) {
  JsonLineChild child(Sh(kEcho));
  child.process().SendLine("one");
  ASSERT_FALSE(child.WaitFor(Got("one"), milliseconds(5000)).is_null());
  EXPECT_EQ(child.events().size(), 2u) << child.Transcript();
  EXPECT_EQ(child.IndexOf(Got("one")), 1);

  child.Mark();
  EXPECT_TRUE(child.Events("got").empty());
  EXPECT_TRUE(child.WaitForEvent("got", nullptr, milliseconds(200)).is_null());
  child.process().SendLine("two");
  EXPECT_EQ(child.WaitForEvent("got", nullptr, milliseconds(5000))["line"],
            "two");
  EXPECT_FALSE(child.WaitFrom(0, Got("one"), milliseconds(0)).is_null());
}

// A wait for an event that never comes, and a drain, last their bound:
// ending early would let a check that something did not happen pass before
// it could have.
TEST(JsonLineChildTest, WaitsLastTheirBound) {
  JsonLineChild child(Sh(kEcho));
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(
      child.WaitForEvent("never", nullptr, milliseconds(300)).is_null());
  EXPECT_GE(Clock::now() - start, milliseconds(290));
  EXPECT_LT(Clock::now() - start, milliseconds(2000));

  start = Clock::now();
  child.Drain(milliseconds(200));
  EXPECT_GE(Clock::now() - start, milliseconds(190));
}

// Each command gets its own answer, never the answer of an earlier one,
// even when that earlier one came late.
TEST(JsonLineChildTest, CommandAnswersAreTakenInOrder) {
  JsonLineChild child(Sh(kEcho));
  EXPECT_EQ(child.Command("answer 1", Done(), milliseconds(5000))["n"], 1);
  // No answer: null within the time bound, and the answer cursor stays.
  EXPECT_TRUE(child.Command("plain", Done(), milliseconds(300)).is_null());
  EXPECT_EQ(child.Command("answer 2", Done(), milliseconds(5000))["n"], 2);
  // Answers already read are not taken twice.
  child.process().SendLine("answer 3");
  child.process().SendLine("answer 4");
  ASSERT_FALSE(child
                   .WaitForEvent(
                       "done",
                       [](const json& e) { return e.value("n", 0) == 4; },
                       milliseconds(5000))
                   .is_null());
  EXPECT_EQ(child.Command("answer 5", Done(), milliseconds(5000))["n"], 3);
  EXPECT_EQ(child.Command("answer 6", Done(), milliseconds(5000))["n"], 4);
}

}  // namespace
}  // namespace engine_test
