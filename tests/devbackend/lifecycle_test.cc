// Ending on request: exit statuses, crashes by signal, stop signals, and
// refusing malformed settings.

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

// Ends asked for over control: the answer comes first, then the status or
// signal asked for, and a crash leaves no core file behind.
TEST(DevBackendLifecycle, EndsAsAskedAfterAnswering) {
  const struct {
    std::string path;
    std::string body;
    std::string ended;
  } cases[] = {
      {"exit", R"({"status":7})", "exit 7"},
      {"crash", R"({"signal":"segv"})", "signal 11"},
      {"crash", R"({"signal":"abort"})", "signal 6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    TempDir dir;
    BackendProcess backend({}, dir.path());
    ASSERT_TRUE(backend.WaitForPort());
    const RawReply reply = Post("/__control/" + c.path, c.body);
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.closedByPeer);
    EXPECT_EQ(backend.Ended(), c.ended);
    EXPECT_FALSE(IsPortOpen());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}

TEST(DevBackendLifecycle, StopSignalsExitCleanlyAndCloseTheListener) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    BackendProcess backend;
    ASSERT_TRUE(backend.WaitForPort());
    kill(backend.pid(), signal);
    EXPECT_EQ(backend.Ended(), "exit 0");
    EXPECT_FALSE(IsPortOpen());
  }
}

// Ends the backend takes by itself: after a delay with the configured
// status or signal (not at once), at a malformed setting with a reason, and
// by a settings file, which is read after the environment.
TEST(DevBackendLifecycle, EndsByItselfAsConfigured) {
  TempDir dir("korvel-devbackend");
  const std::string file =
      dir.Write("settings.json", R"({"exitAfterMs": 0, "exitStatus": 9})");
  const struct {
    Env env;
    std::string status;
    int atLeastMs;
    std::string reason = "";  // in its stderr
  } cases[] = {
      {{{"KORVEL_BACKEND_EXIT_AFTER_MS", "600"},
        {"KORVEL_BACKEND_EXIT_STATUS", "4"}},
       "exit 4",
       600},
      {{{"KORVEL_BACKEND_CRASH_AFTER_MS", "300"},
        {"KORVEL_BACKEND_CRASH_SIGNAL", "kill"}},
       "signal 9",
       300},
      {{{"KORVEL_BACKEND_VERSION", "12abc"}},
       "exit 2",
       0,
       "KORVEL_BACKEND_VERSION"},
      {{{"KORVEL_BACKEND_EXIT_STATUS", "5"},
        {"KORVEL_BACKEND_SETTINGS_FILE", file}},
       "exit 9",
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    const auto start = std::chrono::steady_clock::now();
    BackendProcess backend(c.env);
    EXPECT_EQ(backend.Ended(), c.status);
    EXPECT_GE(std::chrono::steady_clock::now() - start,
              milliseconds(c.atLeastMs));
    if (!c.reason.empty()) {
      EXPECT_NE(backend.Stderr().find(c.reason), std::string::npos);
    }
  }
}

// The port listens only after the listen delay. The start log a benchmark
// subtracts from a hot restart: written once the port listens, by this
// process, with the listening delay inside its time (a start taken after the
// delay would hand the backend's own time to the shell's part).
TEST(DevBackendLifecycle, StartLogReportsTheTimeFromStartToListening) {
  TempDir dir;
  const std::string file = dir.path() + "/starts.jsonl";
  const auto spawned = std::chrono::steady_clock::now();
  BackendProcess backend(Env{{"KORVEL_BACKEND_START_LOG", file},
                             {"KORVEL_BACKEND_LISTEN_DELAY_MS", "300"}});
  ASSERT_TRUE(backend.WaitForPort());
  EXPECT_GE(std::chrono::steady_clock::now() - spawned, milliseconds(300));
  std::string line;
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::ifstream log(file);
        return static_cast<bool>(std::getline(log, line));
      },
      milliseconds(10000)));
  const nlohmann::json start = nlohmann::json::parse(line, nullptr, false);
  ASSERT_TRUE(start.is_object()) << line;
  EXPECT_EQ(start["pid"].get<pid_t>(), backend.pid());
  const double took = start["startToListeningMs"].get<double>();
  EXPECT_GE(took, 300);
  EXPECT_LT(took, 10000);
  EXPECT_NEAR(
      start["listeningAtMs"].get<double>() - start["startedAtMs"].get<double>(),
      took, 0.01);
}

}  // namespace
