// korvel-backend where the shell's tests lean on it without seeing a fault
// of its own: an exit status that the ending tests take as given, a held
// port that must not stall probes, the start log a benchmark subtracts, the
// recording a test reads, and the control endpoint's refusals. What the
// shell's tests observe themselves (readiness, the handshake, pages,
// reopen tokens) they guard there.

#include <chrono>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

// An exit asked for over control comes after the answer and with the status
// asked for: one that ended 0 instead would turn the ending test's crash
// into a clean exit that passes either way.
TEST(DevBackendLifecycle, ExitsAsAskedAfterAnswering) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply reply = Post("/__control/exit", R"({"status":7})");
  EXPECT_EQ(reply.status, 200);
  EXPECT_TRUE(reply.closedByPeer);
  EXPECT_EQ(backend.Ended(), "exit 7");
  EXPECT_FALSE(IsPortOpen());
}

// After the exit the port stays taken for the hold: probes are answered
// without stalling (more than the shell makes in its whole port wait; with
// a short listen queue the later ones would each wait a second for a
// retry), and a new backend cannot bind (exit 3); then it is released.
TEST(DevBackendLifecycle, HeldPortStaysTakenAfterExitThenIsReleased) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HOLD_PORT_MS", "2000"}});
  ASSERT_TRUE(backend.WaitForPort());
  ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
  ASSERT_EQ(backend.Ended(), "exit 0");
  const Clock::time_point exited = Clock::now();
  for (int i = 0; i < 60; ++i)
    ASSERT_TRUE(IsPortOpen()) << i;
  EXPECT_LT(Clock::now() - exited, milliseconds(800));

  // The second guard lives to the end: its destructor would kill the holder.
  BackendProcess second(Env{{"KORVEL_BACKEND_QUIET", "1"}});
  EXPECT_EQ(second.Ended(), "exit 3");
  EXPECT_TRUE(WaitUntil([] { return !IsPortOpen(); }, milliseconds(10000)));
  EXPECT_GE(Clock::now() - exited, milliseconds(1500));
}

// The port listens only after the listen delay. The start log a benchmark
// subtracts from a hot restart: written once the port listens, by this
// process, with the listening delay inside its time (a start taken after the
// delay would hand the backend's own time to the shell's part).
TEST(DevBackendLifecycle, StartLogReportsTheTimeFromStartToListening) {
  TempDir dir;
  const std::string file = dir.path() + "/starts.jsonl";
  const auto spawned = Clock::now();
  BackendProcess backend(Env{{"KORVEL_BACKEND_START_LOG", file},
                             {"KORVEL_BACKEND_LISTEN_DELAY_MS", "300"}});
  ASSERT_TRUE(backend.WaitForPort());
  EXPECT_GE(Clock::now() - spawned, milliseconds(300));
  std::string line;
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::ifstream log(file);
        return static_cast<bool>(std::getline(log, line));
      },
      milliseconds(10000)));
  const json start = json::parse(line, nullptr, false);
  ASSERT_TRUE(start.is_object()) << line;
  EXPECT_EQ(start["pid"].get<pid_t>(), backend.pid());
  const double took = start["startToListeningMs"].get<double>();
  EXPECT_GE(took, 300);
  EXPECT_LT(took, 10000);
  EXPECT_NEAR(
      start["listeningAtMs"].get<double>() - start["startedAtMs"].get<double>(),
      took, 0.01);
}

// The bridge test reads the recording to prove the view never asked for a
// page: a request missing from it, or recorded other than it arrived, would
// let that check pass. Control calls are not recorded. A backend told not
// to exit after an accepted handshake keeps running, so the recording can
// be read after it.
TEST(DevBackendRecording, KeepsExactBytesAndHeaderOrderButNotControlCalls) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HANDSHAKE_EXIT", "0"}});
  ASSERT_TRUE(backend.WaitForPort());
  ASSERT_EQ(Get("/__control/settings").status, 200);
  ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
  // Odd spelling and a duplicate must survive as sent.
  const std::string odd =
      "GET /ready?x=1 HTTP/1.1\r\nhost: a\r\nX-Twice: 1\r\nX-Twice: 2\r\n\r\n";
  ASSERT_EQ(RawExchange(odd).status, 200);

  const json requests = json::parse(Get("/__control/requests").body);
  ASSERT_EQ(requests.size(), 2u) << requests.dump(1);
  EXPECT_EQ(requests[0]["raw"], HandshakeRequest());
  EXPECT_EQ(requests[0]["body"], "{}");
  EXPECT_EQ(requests[1]["raw"], odd);
  EXPECT_EQ(requests[1]["target"], "/ready?x=1");
  EXPECT_EQ(requests[1]["headers"],
            json::parse(R"([["host","a"],["X-Twice","1"],["X-Twice","2"]])"));
  EXPECT_LE(requests[0]["atMs"].get<double>(),
            requests[1]["atMs"].get<double>());
}

// A page in any browser can send requests to loopback: a form or beacon
// POST (no JSON type) or a fetch (with an Origin) must not steer the
// backend, nor make it append to a file of the page's choice; and no body
// may make it grow without bound.
TEST(DevBackendControl, RefusesBrowserRequestsRequestLogAndHugeBodies) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const std::string change = R"({"version":9})";
  const std::string jsonType = "Content-Type: application/json\r\n";
  EXPECT_EQ(PostWith("/__control/settings",
                     jsonType + "Origin: http://127.0.0.1:35580\r\n", change)
                .status,
            403);
  EXPECT_EQ(RawExchange("GET /__control/requests HTTP/1.1\r\n"
                        "Origin: http://example.com\r\n\r\n")
                .status,
            403);
  for (const std::string type :
       {"", "Content-Type: text/plain\r\n",
        "Content-Type: application/x-www-form-urlencoded\r\n",
        "Content-Type: application/jsonp\r\n"}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(PostWith("/__control/settings", type, change).status, 415);
  }
  EXPECT_EQ(PostWith("/__control/exit", "", "").status, 415);
  EXPECT_EQ(json::parse(Get("/__control/settings").body)["version"], 505);

  TempDir dir("korvel-requests");
  const std::string log = dir.path() + "/requests.jsonl";
  for (const char* file : {"requestLog", "startLog"}) {
    EXPECT_EQ(
        Post("/__control/settings", json{{file, log}, {"version", 9}}.dump())
            .status,
        400)
        << file;
  }
  EXPECT_EQ(
      PostWith("/__control/settings",
               "Content-Type: Application/JSON; charset=utf-8\r\n", change)
          .status,
      200);
  EXPECT_EQ(Get("/ready").status, 200);
  EXPECT_EQ(engine_test::ReadFile(log), "");

  // Refused before the body is read: only the head and a little is sent.
  for (const std::string path :
       {"/hot-update/prepare-restart", "/ready", "/__control/settings"}) {
    EXPECT_EQ(RawExchange("POST " + path + " HTTP/1.1\r\n" + jsonType +
                          "Content-Length: 100000000\r\n\r\n{\"a\":\"" +
                          std::string(60000, 'a'))
                  .status,
              413)
        << path;
  }
  EXPECT_EQ(RawExchange("POST /ready HTTP/1.1\r\n" + jsonType +
                        "Transfer-Encoding: chunked\r\n\r\n2\r\n{}\r\n"
                        "0\r\n\r\n")
                .status,
            411);
  EXPECT_EQ(backend.Ended(0), "running");
}

}  // namespace
