// The support library's faults that would let other tests pass wrongly:
// exit statuses that are not the child's, reads and waits that end before
// their bound, events from before a mark or answers of earlier commands
// taken as new, request counts that miss a request, and processes that
// outlive the test.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>

#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/page_server.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {
namespace {

using Clock = std::chrono::steady_clock;

// A done event carrying N for each line "answer N" and a got event for any
// other line; at the end of its input a last event without a newline, and
// status 3.
constexpr char kEcho[] = R"sh(
while read -r line; do
  case "$line" in
    "answer "*) echo "{\"event\":\"done\",\"n\":${line#answer }}" ;;
    *) echo "{\"event\":\"got\",\"line\":\"$line\"}" ;;
  esac
done
printf '{"event":"last"}'
exit 3)sh";
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

EventMatch Done() {
  return [](const json& event) { return IsEvent(event, "done"); };
}

// A last line without a newline still arrives (else an event would be
// missed), and the exit status is the child's own: a wrong one would let a
// test of a crash or a clean exit pass either way. A program that cannot be
// started ends its child with 127 instead of going on as a copy of the test,
// and a runner hands out no output of a failed command.
TEST(ChildProcessTest, TheExitStatusAndTheLastLineAreTheChilds) {
  ChildProcess child(Sh(kEcho));
  ASSERT_TRUE(child.started());
  child.CloseStdin();
  EXPECT_EQ(child.ReadLine(milliseconds(5000)), R"({"event":"last"})");
  const std::optional<int> status = child.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "exit 3");

  ChildProcess missing({"/nonexistent/program"});
  const std::optional<int> failed = missing.WaitForExit(milliseconds(5000));
  ASSERT_TRUE(failed);
  EXPECT_EQ(DescribeStatus(*failed), "exit 127");
  EXPECT_EQ(
      RunForOutput({"/bin/sh", "-c", "echo a; exit 1"}, milliseconds(5000)),
      std::nullopt);
}

// A read or wait that ended early would let a check that nothing came pass
// before anything could have.
TEST(ChildProcessTest, ReadsAndWaitsKeepTheirTimeBounds) {
  JsonLineChild child(Sh(kGroup));
  ASSERT_GT(GrandchildOf(child.process()), 0);
  const struct {
    const char* name;
    std::function<void()> wait;
  } waits[] = {
      {"ReadLine", [&] { child.process().ReadLine(milliseconds(300)); }},
      {"WaitForExit", [&] { child.process().WaitForExit(milliseconds(300)); }},
      {"WaitForEvent",
       [&] { child.WaitForEvent("never", nullptr, milliseconds(300)); }},
      {"Drain", [&] { child.Drain(milliseconds(300)); }},
      {"WaitUntil", [] { WaitUntil([] { return false; }, milliseconds(300)); }},
  };
  for (const auto& w : waits) {
    SCOPED_TRACE(w.name);
    const Clock::time_point start = Clock::now();
    w.wait();
    EXPECT_GE(Clock::now() - start, milliseconds(290));
    EXPECT_LT(Clock::now() - start, milliseconds(2000));
  }
  // WaitUntil checks the condition once more at its deadline.
  int calls = 0;
  EXPECT_FALSE(WaitUntil([&] { return ++calls < 0; }, milliseconds(300)));
  EXPECT_GE(calls, 2);

  // A group that ignores SIGTERM reports the SIGKILL that ended it.
  child.process().SignalGroup(SIGKILL);
  const std::optional<int> status =
      child.process().WaitForExit(milliseconds(5000));
  ASSERT_TRUE(status);
  EXPECT_EQ(DescribeStatus(*status), "signal 9");
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

// After a Mark, a wait is never met by an event from before it; each
// command gets its own answer, never that of an earlier one, even when that
// earlier one came late or was already read.
TEST(JsonLineChildTest, TheMarkHidesOldEventsAndAnswersAreTakenInOrder) {
  JsonLineChild child(Sh(kEcho));
  child.process().SendLine("one");
  ASSERT_FALSE(
      child.WaitForEvent("got", nullptr, milliseconds(5000)).is_null());
  child.Mark();
  EXPECT_TRUE(child.Events("got").empty());
  EXPECT_TRUE(child.WaitForEvent("got", nullptr, milliseconds(200)).is_null());

  EXPECT_EQ(child.Command("answer 1", Done(), milliseconds(5000))["n"], 1);
  // No answer: null within the time bound, and the answer cursor stays.
  EXPECT_TRUE(child.Command("plain", Done(), milliseconds(300)).is_null());
  child.process().SendLine("answer 2");
  child.process().SendLine("answer 3");
  ASSERT_FALSE(child
                   .WaitForEvent(
                       "done",
                       [](const json& e) { return e.value("n", 0) == 3; },
                       milliseconds(5000))
                   .is_null());
  EXPECT_EQ(child.Command("answer 4", Done(), milliseconds(5000))["n"], 2);
  EXPECT_EQ(child.Command("answer 5", Done(), milliseconds(5000))["n"], 3);
}

// Every request counts, one for an unknown path too, so that a test may
// check that nothing asked for a page.
TEST(PageServerTest, CountsEveryRequest) {
  PageServer server;
  ASSERT_GT(server.port(), 0);
  server.Page("/ok", "<title>ok</title>");
  httplib::Client client("127.0.0.1", server.port());
  for (const char* path : {"/ok", "/ok", "/nothing"}) {
    ASSERT_TRUE(client.Get(path));
  }
  EXPECT_EQ(server.Hits("/ok"), 2);
  EXPECT_EQ(server.Hits("/nothing"), 1);
  EXPECT_EQ(server.Hits("/never"), 0);
}

}  // namespace
}  // namespace engine_test
