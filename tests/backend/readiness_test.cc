#include <netinet/in.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "backend/http_client.h"
#include "backend/readiness.h"
#include "tests/backend/backend_fixture.h"
#include "tests/support/engine_harness/test_server.h"

namespace {

using std::chrono::milliseconds;

// Short enough to walk every failure of the table within a second.
ReadyWaitTimings QuickTimings() {
  ReadyWaitTimings timings;
  timings.budget = milliseconds(800);
  timings.interval = milliseconds(50);
  return timings;
}

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

// A wait must make exactly its attempts, a pause apart, then give up.
TEST(WaitForBackendTest, GivesUpAfterFiftyProbes) {
  const auto server = Serve(Reply(503, "starting"));
  Stopwatch watch;
  EXPECT_FALSE(WaitForBackend("http://127.0.0.1:35580/app", 50, 50));
  long long elapsed = watch.ElapsedMs();
  printf("50 refused probes: %lld ms\n", elapsed);
  EXPECT_EQ(server->requests().size(), 50u);
  EXPECT_EQ(server->requests().front().rfind("GET /app HTTP/1.1\r\n", 0), 0u);
  // 49 pauses of 50 ms.
  EXPECT_GE(elapsed, 2450);
  EXPECT_LT(elapsed, 5000);
}

// Readiness waits need a live backend in the supervision state: a real
// child started by the launcher. Its "/ready" is played by a scripted
// server on the backend port.
class ReadinessTest : public BackendFixture {
 protected:
  void SetUp() override {
    BackendFixture::SetUp();
    if (IsSkipped()) {
      return;
    }
    UseBackend(PROBE_BACKEND);
    StartBackend();
    ASSERT_TRUE(WaitForBackendState(true, 5000));
  }

  // Serves every readiness request with `answer`.
  void Answer(std::function<std::string()> answer) {
    server_.reset();
    server_ = Serve(std::move(answer));
  }

  std::string FailureOf(int32_t version, const std::string& name) {
    ReadyInfo info;
    std::string error;
    EXPECT_FALSE(
        WaitForBackendReady(version, name, info, error, QuickTimings()));
    return error;
  }

  std::unique_ptr<TestServer> server_;
};

// Without expectations any ready answer counts, from a request that carries
// the backend's own origin.
TEST_F(ReadinessTest, AcceptsAnyReadyBackendWithoutExpectations) {
  Answer(Reply(200, R"({"ready": true, "version": 512, "versionName": "2.3.0",
                        "entryPath": "2.3.0/app.json"})"));
  ReadyInfo info;
  std::string error;
  ASSERT_TRUE(WaitForBackendReady(0, "", info, error));
  EXPECT_EQ(info.entryPath, "2.3.0/app.json");

  const std::vector<std::string> requests = server_->requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            "GET /ready HTTP/1.1\r\nHost: 127.0.0.1:35580\r\n"
            "Connection: close\r\nOrigin: http://127.0.0.1:35580\r\n\r\n");
}

// Garbage, an error status, not ready and the wrong version are waited
// through, a pause apart.
TEST_F(ReadinessTest, WaitsUntilTheExpectedVersionIsReady) {
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
        return HttpAnswer(
            200, R"({"ready": true, "version": 512, "versionName": "x"})");
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
}

// A wait that saw no valid answer says why the last attempt failed.
TEST_F(ReadinessTest, EveryFailureHasItsMessage) {
  EXPECT_EQ(FailureOf(0, ""), "failed to query backend readiness");

  // Which bodies are invalid: ParseReadyResponseTest.
  Answer(Reply(200, "[true]"));
  EXPECT_EQ(FailureOf(0, ""), "invalid backend readiness response");
}

// Answers that never count as ready: not ready, ready but unavailable, the
// wrong version (named in the message) or none reported (no detail).
TEST_F(ReadinessTest, AnswersThatNeverCountTimeOut) {
  struct Case {
    int status;
    const char* body;
    int32_t version;
    const char* name;
    const char* message;
  } const cases[] = {
      {200, R"({"ready": false, "version": 512})", 0, "",
       "backend ready check timed out"},
      {503, R"({"ready": true, "version": 512})", 0, "",
       "backend ready check timed out"},
      {200, R"({"ready": true, "version": 511, "versionName": "a"})", 512, "",
       "backend ready check timed out (expected version 512, got 511)"},
      {200, R"({"ready": true, "version": 511, "versionName": "a"})", 511, "b",
       "backend ready check timed out"},
      {200, R"({"ready": true})", 512, "", "backend ready check timed out"},
  };
  for (const Case& c : cases) {
    Answer(Reply(c.status, c.body));
    EXPECT_EQ(FailureOf(c.version, c.name), c.message) << c.body;
  }
}

// A backend still being launched is waited for, not taken for a dead one.
TEST_F(ReadinessTest, LaunchUnderwayCountsAsAlive) {
  KillBackend();
  ASSERT_TRUE(WaitForBackendState(false, 5000));
  SetBackendState(false, true);
  Answer(Reply(200, R"({"ready": true})"));
  ReadyInfo info;
  std::string error;
  EXPECT_TRUE(WaitForBackendReady(0, "", info, error, QuickTimings()));
  SetBackendState(false, false);
}

}  // namespace
