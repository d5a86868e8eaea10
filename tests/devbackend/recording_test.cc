// Request recording: the bytes the shell sends, as they arrived.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using Env = BackendProcess::Environment;

using nlohmann::json;

json Recorded() {
  return json::parse(Get("/__control/requests").body);
}

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
  const json& handshake = requests[0];
  EXPECT_EQ(handshake["raw"], HandshakeRequest());
  EXPECT_EQ(handshake["method"], "POST");
  EXPECT_EQ(handshake["target"], "/hot-update/prepare-restart");
  EXPECT_EQ(handshake["body"], "{}");
  EXPECT_EQ(handshake["headers"],
            json::parse(R"([["Host","127.0.0.1:35580"],["Connection","close"],
                            ["Origin","http://127.0.0.1:35580"],
                            ["Content-Type","application/json"],
                            ["Content-Length","2"]])"));
  EXPECT_EQ(requests[1]["raw"], odd);
  EXPECT_EQ(requests[1]["target"], "/ready?x=1");
  EXPECT_EQ(requests[1]["headers"],
            json::parse(R"([["host","a"],["X-Twice","1"],["X-Twice","2"]])"));
  EXPECT_LE(handshake["atMs"].get<double>(), requests[1]["atMs"].get<double>());

  ASSERT_EQ(RawExchange("DELETE /__control/requests HTTP/1.1\r\n"
                        "Connection: close\r\n\r\n")
                .status,
            200);
  EXPECT_TRUE(Recorded().empty());
}

// Removes the file also when an assertion ends the test early.
struct RemoveOnExit {
  ~RemoveOnExit() { std::remove(path); }
  const char* path;
};

TEST(DevBackendRecording, LogFileOutlivesTheBackend) {
  char path[] = "/tmp/korvel-requests-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  RemoveOnExit remove{path};
  {
    BackendProcess backend(Env{{"KORVEL_BACKEND_REQUEST_LOG", path}});
    ASSERT_TRUE(backend.WaitForPort());
    ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
    int status = -1;
    ASSERT_TRUE(backend.WaitForExit(2000, status));
  }
  std::ifstream log(path);
  std::string line;
  ASSERT_TRUE(std::getline(log, line));
  EXPECT_EQ(json::parse(line)["raw"], HandshakeRequest());
  EXPECT_FALSE(std::getline(log, line));
}

}  // namespace
