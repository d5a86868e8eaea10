#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "backend/hot_restart.h"
#include "backend/http_client.h"
#include "backend/readiness.h"
#include "tests/backend/backend_fixture.h"
#include "tests/instance/recording_client_actions.h"
#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/test_server.h"
#include "tests/support/engine_harness/wait_until.h"

namespace {

using std::chrono::milliseconds;

// A restart that ended, however, must leave neither flag behind: either
// would turn the next restart or the next crash into something else.
void ExpectFlagsCleared() {
  std::lock_guard<std::mutex> lock(backendMutex);
  EXPECT_FALSE(backendState.restartInProgress);
  EXPECT_FALSE(backendState.expectedExit);
}

// Restarts against the substitute backend. Settings for the backend that a
// restart starts next go into a file it reads at start.
class RestartTest : public BackendFixture {
 protected:
  void SetUp() override {
    BackendFixture::SetUp();
    if (IsSkipped()) {
      return;
    }
    UseBackend(DEV_BACKEND);
    settingsFile_ = root_ + "/next-backend.json";
    NextBackend("{}");
    setenv("KORVEL_BACKEND_QUIET", "1", 1);
    setenv("KORVEL_BACKEND_SETTINGS_FILE", settingsFile_.c_str(), 1);
    // Port holders of exited backends end up here and are reaped.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  }

  void TearDown() override {
    unsetenv("KORVEL_BACKEND_QUIET");
    unsetenv("KORVEL_BACKEND_SETTINGS_FILE");
    BackendFixture::TearDown();
  }

  void NextBackend(const std::string& json) {
    std::ofstream(settingsFile_) << json;
  }

  // Starts a backend as the browser process does and waits until it
  // answers "/ready".
  pid_t StartReadyBackend() {
    const pid_t pid = StartAndWait();
    ReadyInfo info;
    std::string error;
    EXPECT_TRUE(WaitForBackendReady(0, "", info, error)) << error;
    return pid;
  }

  std::string settingsFile_;
};

using engine_test::TestServer;

// A server on the backend port whose answers |answer| gives, one a request.
std::unique_ptr<TestServer> Serve(std::function<std::string()> answer) {
  auto server = std::make_unique<TestServer>(
      AF_INET, kBackendPort, [answer](TestServer& server, int connection) {
        server.ReadRequest(connection);
        server.SendAll(connection, answer());
      });
  EXPECT_TRUE(server->ok());
  return server;
}

std::function<std::string()> Reply(int status, const std::string& body) {
  return [answer = HttpAnswer(status, body)] { return answer; };
}

bool RestartClaimed() {
  std::lock_guard<std::mutex> lock(backendMutex);
  return backendState.restartInProgress;
}

// Short bounds for the cases that only need a step to fail.
RestartTimings QuickTimings() {
  RestartTimings timings;
  timings.ready.budget = milliseconds(1500);
  return timings;
}

// A backend that accepts the handshake but stays must not hold the restart:
// it is killed after 8 s. One that SIGKILL does not remove in time (a tracer
// that never waits keeps its death from the launcher) ends the restart.
TEST_F(RestartTest, BackendThatNeverExitsIsKilledOrGivenUp) {
  NextBackend(R"({"handshakeExit": false})");
  pid_t old = StartReadyBackend();
  std::string message;
  Stopwatch watch;
  ASSERT_TRUE(RestartBackend("", 0, "", message)) << message;
  long long elapsed = watch.ElapsedMs();
  printf("restart through SIGKILL: %lld ms\n", elapsed);
  EXPECT_GE(elapsed, 8000);
  EXPECT_LT(elapsed, 12000);
  EXPECT_NE(CurrentBackendPid(), old);
  EXPECT_EQ(recording::CloseCount(), 0);

  engine_test::ChildProcess holder(
      {PTRACE_HOLDER, std::to_string(CurrentBackendPid())});
  const std::string attached =
      holder.ReadLine(milliseconds(5000)).value_or("no answer");
  if (attached != "attached") {
    GTEST_SKIP() << "cannot trace the backend here: " << attached;
  }
  Stopwatch stuck;
  EXPECT_FALSE(RestartBackend("", 0, "", message));
  elapsed = stuck.ElapsedMs();
  printf("exit wait and kill wait: %lld ms\n", elapsed);
  EXPECT_EQ(message, "backend did not exit in time");
  EXPECT_GE(elapsed, 13000);
  EXPECT_LT(elapsed, 16000);
  ExpectFlagsCleared();
  EXPECT_EQ(recording::CloseCount(), 0);

  // Once its death gets through, nobody expects it any more: the
  // application closes.
  kill(holder.pid(), SIGKILL);
  holder.WaitForExit(milliseconds(5000));
  EXPECT_TRUE(WaitForBackendState(false, 5000));
  EXPECT_TRUE(recording::WaitForCloseCount(1, milliseconds(5000)));
}

// A port released within the bound must not fail the restart; a new backend
// cannot bind while an exited one's child holds the port longer.
TEST_F(RestartTest, PortHeldAfterExitIsWaitedForFiveSeconds) {
  NextBackend(R"({"holdPortMs": 1500})");
  StartReadyBackend();
  NextBackend(R"({"holdPortMs": 8000})");
  std::string message;
  Stopwatch late;
  EXPECT_TRUE(RestartBackend("", 0, "", message)) << message;
  EXPECT_GE(late.ElapsedMs(), 1500);

  Stopwatch watch;
  EXPECT_FALSE(RestartBackend("", 0, "", message));
  long long elapsed = watch.ElapsedMs();
  printf("port wait: %lld ms\n", elapsed);
  EXPECT_EQ(message, "backend port did not close");
  EXPECT_GE(elapsed, 5000);
  EXPECT_LT(elapsed, 7000);
  // No new backend was started.
  EXPECT_TRUE(WaitForBackendState(false, 0));
  ExpectFlagsCleared();
  EXPECT_EQ(recording::CloseCount(), 0);
}

// A launch that cannot start must end the restart, not hang it.
TEST_F(RestartTest, LaunchFailureGivesUpAfterFiveSeconds) {
  std::string message;
  Stopwatch watch;
  bool ok;
  {
    DescriptorStarvation starvation;
    ok = RestartBackend("", 0, "", message);
  }
  long long elapsed = watch.ElapsedMs();
  printf("start wait: %lld ms\n", elapsed);
  EXPECT_FALSE(ok);
  EXPECT_EQ(message, "backend failed to start");
  EXPECT_GE(elapsed, 5000);
  EXPECT_LT(elapsed, 6000);
  ExpectFlagsCleared();
  // A failed launch during a restart is the restart's to report.
  EXPECT_EQ(recording::CloseCount(), 0);
}

// A restart during a first launch must not start a second backend.
TEST_F(RestartTest, LaunchUnderwayIsWaitedForNotDuplicated) {
  SetBackendState(false, true);
  std::atomic<bool> ok{false};
  std::string message;
  std::thread restart([&] { ok = RestartBackend("", 0, "", message); });
  ASSERT_TRUE(engine_test::WaitUntil(RestartClaimed));
  // The launch that was underway forks now, after the restart has begun.
  std::thread launcher(RunBackendProcess);
  restart.join();
  EXPECT_TRUE(ok) << message;
  EXPECT_EQ(engine_test::ChildrenOf(getpid()).size(), 1u);
  KillBackend();
  launcher.join();
  // Exactly one backend: the restart started none of its own.
  EXPECT_TRUE(WaitForBackendState(false, 5000));
}

// A new backend of another version or version name, or never ready, fails
// the restart; ten restarts at once run one and refuse the rest; after each
// failure the window stays and the next restart works.
TEST_F(RestartTest, FailedAndConcurrentRestartsLeaveTheNextOneWorking) {
  StartReadyBackend();
  const struct {
    const char* next;
    int32_t version;
    const char* name;
    const char* message;
  } failures[] = {
      {R"({"version": 511})", 512, "",
       "backend ready check timed out (expected version 512, got 511)"},
      {R"({"readyAfterMs": -1})", 0, "", "backend ready check timed out"},
      {R"({"versionName": "2.2.9"})", 0, "2.3.0",
       "backend ready check timed out"},
  };
  std::string message;
  for (const auto& failure : failures) {
    SCOPED_TRACE(failure.next);
    NextBackend(failure.next);
    EXPECT_FALSE(RestartBackend("", failure.version, failure.name, message,
                                QuickTimings()));
    EXPECT_EQ(message, failure.message);
    ExpectFlagsCleared();
  }

  NextBackend(R"({"versionName": "2.3.0"})");
  std::vector<std::thread> restarts;
  std::vector<std::string> messages(10);
  std::atomic<int> succeeded{0};
  for (std::string& text : messages) {
    restarts.emplace_back([&succeeded, &text] {
      succeeded += RestartBackend("", 0, "2.3.0", text) ? 1 : 0;
    });
  }
  for (std::thread& restart : restarts) {
    restart.join();
  }
  // Each ran alone: one or more in turn succeeded, every other was refused
  // (two at once would each start a backend).
  int refused = 0;
  for (const std::string& text : messages) {
    refused += text == "backend restart already in progress" ? 1 : 0;
  }
  EXPECT_GE(succeeded, 1);
  EXPECT_GE(refused, 1);
  EXPECT_EQ(succeeded + refused, 10);
  ExpectFlagsCleared();
  EXPECT_EQ(engine_test::ChildrenOf(getpid()).size(), 1u);
  EXPECT_EQ(recording::CloseCount(), 0);
}

// A hot update: the restart starts the release installed since the last
// start, found through its manifest.
TEST_F(RestartTest, StartsTheReleaseInstalledMeanwhile) {
  StartReadyBackend();
  const std::string runtime = dataDir_ + "/.korvel-cn/runtime";
  std::filesystem::create_directories(runtime + "/r600/bin");
  ASSERT_EQ(symlink(DEV_BACKEND, (runtime + "/r600/bin/server").c_str()), 0);
  std::ofstream(runtime + "/r600/app.json")
      << R"({"relativeExecutable": "bin/server"})";
  std::ofstream(runtime + "/current.production.json")
      << R"({"entryPath": "r600/app.json", "version": 600})";
  NextBackend(R"({"version": 600})");
  std::string message;
  ASSERT_TRUE(RestartBackend("", 600, "", message)) << message;
  // The launcher runs a backend in its own directory.
  EXPECT_EQ(std::filesystem::read_symlink(
                "/proc/" + std::to_string(CurrentBackendPid()) + "/cwd"),
            runtime + "/r600/bin");
  EXPECT_EQ(recording::CloseCount(), 0);
}

// A new backend that dies before it listens must end the wait at once.
TEST_F(RestartTest, NewBackendDyingEarlyIsReported) {
  StartReadyBackend();
  NextBackend(R"({"listenDelayMs": 3000, "exitAfterMs": 300})");
  std::string message;
  Stopwatch watch;
  EXPECT_FALSE(RestartBackend("", 0, "", message));
  EXPECT_EQ(message, "backend exited before it became ready");
  EXPECT_LT(watch.ElapsedMs(), 3000);
  ExpectFlagsCleared();
  // An exit the restart did not ask for is still the restart's to report.
  EXPECT_EQ(recording::CloseCount(), 0);
}

// A ready backend whose application URL never answers fails the restart.
TEST_F(RestartTest, ReloadUrlThatNeverAnswersIsReported) {
  StartReadyBackend();
  NextBackend(R"({"appStatus": 503})");
  std::string message;
  Stopwatch watch;
  EXPECT_FALSE(RestartBackend("http://localhost:35580/", 0, "", message));
  long long elapsed = watch.ElapsedMs();
  printf("reload wait: %lld ms\n", elapsed);
  EXPECT_EQ(message, "app url did not become ready");
  // 79 pauses of 50 ms after readiness.
  EXPECT_GE(elapsed, 3950);
  ExpectFlagsCleared();
}

// A probe backend stands in for the running one under supervision while a
// scripted server on the backend port plays its endpoints, one answer a
// request.
class ScriptedBackendTest : public BackendFixture {
 protected:
  void SetUp() override {
    BackendFixture::SetUp();
    if (IsSkipped()) {
      return;
    }
    pid_ = StartAndWait();
  }

  // Serves every request with what `answer` gives.
  void Answer(std::function<std::string()> answer) {
    server_.reset();
    server_ = Serve(std::move(answer));
  }

  // The message of a readiness wait that must fail within a short budget.
  std::string FailureOf(int32_t version, const std::string& name) {
    ReadyWaitTimings timings;
    timings.budget = milliseconds(800);
    timings.interval = milliseconds(50);
    ReadyInfo info;
    std::string error;
    EXPECT_FALSE(WaitForBackendReady(version, name, info, error, timings));
    return error;
  }

  // Restarts against a handshake answered with the bytes `answer`; the
  // restart must fail and leave the running backend alone.
  std::string Refusal(const std::string& answer) {
    Answer([answer] { return answer; });
    std::string message;
    EXPECT_FALSE(RestartBackend("", 0, "", message));
    ExpectFlagsCleared();
    EXPECT_EQ(CurrentBackendPid(), pid_);
    return message;
  }

  pid_t pid_ = 0;
  std::unique_ptr<TestServer> server_;
};

// Garbage, an error status, not ready and the wrong version are waited
// through, a pause apart, with requests that carry the backend's own origin.
TEST_F(ScriptedBackendTest, WaitsUntilTheExpectedVersionIsReady) {
  std::atomic<int> seen{0};
  Answer([&seen] {
    switch (++seen) {
      case 1:
        return HttpAnswer(200, "not json yet");
      case 2:
        return HttpAnswer(503, R"({"ready": true, "version": 512})");
      case 3:
        return HttpAnswer(200, R"({"ready": false, "version": 512})");
      case 4:
        return HttpAnswer(200, R"({"ready": true, "version": 511})");
      default:
        return HttpAnswer(200, R"({"ready": true, "version": 512,
                                   "versionName": "x", "entryPath": "x/a"})");
    }
  });
  ReadyInfo info;
  std::string error;
  Stopwatch watch;
  ASSERT_TRUE(WaitForBackendReady(512, "x", info, error));
  EXPECT_EQ(seen, 5);
  // Four pauses of 200 ms.
  EXPECT_GE(watch.ElapsedMs(), 800);
  EXPECT_EQ(info.version, 512);
  EXPECT_EQ(info.entryPath, "x/a");
  EXPECT_EQ(server_->requests()[0],
            "GET /ready HTTP/1.1\r\nHost: 127.0.0.1:35580\r\n"
            "Connection: close\r\nOrigin: http://127.0.0.1:35580\r\n\r\n");
}

// A wait that saw no valid answer says why the last attempt failed; answers
// that never count (ready but unavailable, another version name, no version
// where one is expected) time out without detail. Not ready and another
// version: FailedAndConcurrentRestartsLeaveTheNextOneWorking.
TEST_F(ScriptedBackendTest, EveryFailureHasItsMessage) {
  EXPECT_EQ(FailureOf(0, ""), "failed to query backend readiness");
  // Which bodies are invalid: ParseReadyResponseTest.
  Answer(Reply(200, "[true]"));
  EXPECT_EQ(FailureOf(0, ""), "invalid backend readiness response");

  const std::string timedOut = "backend ready check timed out";
  Answer(Reply(503, R"({"ready": true, "version": 512})"));
  EXPECT_EQ(FailureOf(0, ""), timedOut);
  Answer(Reply(200, R"({"ready": true, "version": 511, "versionName": "a"})"));
  EXPECT_EQ(FailureOf(511, "b"), timedOut);
  Answer(Reply(200, R"({"ready": true})"));
  EXPECT_EQ(FailureOf(512, ""), timedOut);
}

// A backend still being launched is waited for, not taken for a dead one.
TEST_F(ScriptedBackendTest, LaunchUnderwayCountsAsAlive) {
  KillBackend();
  ASSERT_TRUE(WaitForBackendState(false, 5000));
  SetBackendState(false, true);
  Answer(Reply(200, R"({"ready": true})"));
  ReadyInfo info;
  std::string error;
  EXPECT_TRUE(WaitForBackendReady(0, "", info, error));
  SetBackendState(false, false);
}

// A refused handshake leaves the backend running and passes on its reason;
// nobody answering, garbage, or a refusal without a usable reason (no JSON
// object, no string) must not count as consent to the restart either.
TEST_F(ScriptedBackendTest, RefusedHandshakesLeaveTheBackendRunning) {
  // Nothing listens on the port.
  std::string message;
  EXPECT_FALSE(RestartBackend("", 0, "", message));
  EXPECT_EQ(message, "failed to request backend shutdown");

  EXPECT_EQ(
      Refusal(HttpAnswer(409, R"({"message": "update still unpacking"})")),
      "update still unpacking");
  ASSERT_EQ(server_->requests().size(), 1u);
  EXPECT_EQ(server_->requests()[0],
            "POST /hot-update/prepare-restart HTTP/1.1\r\n"
            "Host: 127.0.0.1:35580\r\nConnection: close\r\n"
            "Origin: http://127.0.0.1:35580\r\n"
            "Content-Type: application/json\r\nContent-Length: 2\r\n\r\n{}");

  const std::string fallback = "backend shutdown handshake failed";
  const std::pair<std::string, std::string> refusals[] = {
      {HttpAnswer(409, ""), fallback},
      {HttpAnswer(500, "<html>busy</html>"), fallback},
      {HttpAnswer(409, R"({"message": 7})"), fallback},
      {HttpAnswer(409, R"({"message": ""})"), fallback},
      {HttpAnswer(503, R"({"error": "busy"})"), fallback},
      {"nonsense\r\n\r\n", "failed to request backend shutdown"},
  };
  for (const auto& [answer, reason] : refusals) {
    EXPECT_EQ(Refusal(answer), reason) << answer;
  }
  EXPECT_EQ(recording::CloseCount(), 0);
}

}  // namespace
