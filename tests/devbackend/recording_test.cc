// Request recording: the bytes the shell sends, as they arrived.

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using nlohmann::json;

json Recorded() {
  return json::parse(Get("/__control/requests").body);
}

// A backend told not to exit after an accepted handshake keeps running, so
// the recording can be read after it.
TEST(DevBackendRecording, KeepsExactBytesAndHeaderOrderButNotControlCalls) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HANDSHAKE_EXIT", "0"}});
  ASSERT_TRUE(backend.WaitForPort());
  ASSERT_EQ(Get("/__control/settings").status, 200);
  ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
  // Odd spelling and a duplicate must survive as sent.
  const std::string odd =
      "GET /ready?x=1 HTTP/1.1\r\nhost: a\r\nX-Twice: 1\r\nX-Twice: 2\r\n\r\n";
  ASSERT_EQ(RawExchange(odd).status, 200);

  const json requests = Recorded();
  ASSERT_EQ(requests.size(), 2u) << requests.dump(1);
  // How the bytes are split into fields: DevBackendRawRequest.
  EXPECT_EQ(requests[0]["raw"], HandshakeRequest());
  EXPECT_EQ(requests[0]["body"], "{}");
  EXPECT_EQ(requests[1]["raw"], odd);
  EXPECT_EQ(requests[1]["headers"],
            json::parse(R"([["host","a"],["X-Twice","1"],["X-Twice","2"]])"));
  EXPECT_LE(requests[0]["atMs"].get<double>(),
            requests[1]["atMs"].get<double>());

  ASSERT_EQ(RawExchange("DELETE /__control/requests HTTP/1.1\r\n"
                        "Content-Type: application/json\r\n"
                        "Connection: close\r\n\r\n")
                .status,
            200);
  EXPECT_TRUE(Recorded().empty());
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

TEST(DevBackendRecording, LogFileOutlivesTheBackend) {
  TempDir dir("korvel-requests");
  const std::string path = dir.path() + "/requests.jsonl";
  {
    BackendProcess backend(Env{{"KORVEL_BACKEND_REQUEST_LOG", path}});
    ASSERT_TRUE(backend.WaitForPort());
    ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
    ASSERT_EQ(backend.Ended(), "exit 0");
  }
  std::ifstream log(path);
  std::string line;
  ASSERT_TRUE(std::getline(log, line));
  EXPECT_EQ(json::parse(line)["raw"], HandshakeRequest());
  EXPECT_FALSE(std::getline(log, line));
}

}  // namespace
