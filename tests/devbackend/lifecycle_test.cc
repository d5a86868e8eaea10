// Ending on request: exit statuses, crashes by signal, stop signals, and
// refusing malformed settings.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using Env = BackendProcess::Environment;

TEST(DevBackendLifecycle, ExitOnRequestAnswersFirstThenUsesTheStatus) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply reply = Post("/__control/exit", R"({"status":7})");
  EXPECT_EQ(reply.status, 200);
  EXPECT_TRUE(reply.closedByPeer);
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
  EXPECT_FALSE(IsPortOpen());
}

TEST(DevBackendLifecycle, ExitsByItselfAfterTheConfiguredDelay) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_EXIT_AFTER_MS", "600"},
                             {"KORVEL_BACKEND_EXIT_STATUS", "4"}});
  ASSERT_TRUE(backend.WaitForPort());
  SleepMs(200);
  EXPECT_FALSE(backend.HasExited());
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 4);
}

TEST(DevBackendLifecycle, CrashesBySignalWithoutLeavingACoreFile) {
  for (const auto& [name, number] :
       {std::pair<std::string, int>{"segv", SIGSEGV}, {"abort", SIGABRT}}) {
    SCOPED_TRACE(name);
    TempDir dir;
    BackendProcess backend(BackendProcess::WorkingDir{dir.path()}, {});
    ASSERT_TRUE(backend.WaitForPort());
    EXPECT_EQ(
        Post("/__control/crash", R"({"signal":")" + name + R"("})").status,
        200);
    int status = -1;
    ASSERT_TRUE(backend.WaitForExit(10000, status));
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), number);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}

TEST(DevBackendLifecycle, CrashAfterDelayFromEnvironment) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_CRASH_AFTER_MS", "300"},
                             {"KORVEL_BACKEND_CRASH_SIGNAL", "kill"}});
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

TEST(DevBackendLifecycle, StopSignalsExitCleanlyAndCloseTheListener) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    BackendProcess backend;
    ASSERT_TRUE(backend.WaitForPort());
    kill(backend.pid(), signal);
    int status = -1;
    ASSERT_TRUE(backend.WaitForExit(10000, status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(IsPortOpen());
  }
}

TEST(DevBackendLifecycle, MalformedSettingsStopTheStartWithAReason) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_VERSION", "12abc"}});
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(ReadChunk(backend.stderrFd(), 10000).find("KORVEL_BACKEND_VERSION"),
            std::string::npos);
}

TEST(DevBackendLifecycle, SettingsFileIsReadAfterTheEnvironment) {
  TempDir dir("korvel-devbackend");
  const std::string file =
      dir.Write("settings.json", R"({"exitAfterMs": 0, "exitStatus": 9})");
  BackendProcess backend(Env{{"KORVEL_BACKEND_EXIT_STATUS", "5"},
                             {"KORVEL_BACKEND_SETTINGS_FILE", file}});
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  EXPECT_EQ(WEXITSTATUS(status), 9);
}

// The start log a benchmark subtracts from a hot restart: written once the
// port listens, by this process, with the listening delay inside its time
// (a start taken after the delay would hand the backend's own time to the
// shell's part).
TEST(DevBackendLifecycle, StartLogReportsTheTimeFromStartToListening) {
  TempDir dir;
  const std::string file = dir.path() + "/starts.jsonl";
  BackendProcess backend(Env{{"KORVEL_BACKEND_START_LOG", file},
                             {"KORVEL_BACKEND_LISTEN_DELAY_MS", "300"}});
  ASSERT_TRUE(backend.WaitForPort());
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
