// The application page and the readiness endpoint, as the shell polls them.

#include <chrono>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using nlohmann::json;

// The shell's readiness request, byte for byte.
RawReply ShellReadyRequest() {
  return RawExchange(
      "GET /ready HTTP/1.1\r\nHost: 127.0.0.1:35580\r\nConnection: close\r\n"
      "Origin: http://127.0.0.1:35580\r\n\r\n");
}

// The shell reads the readiness answer until the end of the stream: a
// kept-alive connection would hang it until its socket time-out. The answer
// reports the configured release and status; a running backend can be told
// to report another version, or to serve any body verbatim (an empty one
// with its length) until the body is reset.
TEST(DevBackendReady, AnswersTheConfiguredReleaseAndClosesTheConnection) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_VERSION", "612"},
                             {"KORVEL_BACKEND_VERSION_NAME", "6.1.2"},
                             {"KORVEL_BACKEND_ENTRY_PATH", "/app/"},
                             {"KORVEL_BACKEND_READY_STATUS", "202"}});
  ASSERT_TRUE(backend.WaitForPort());
  // The shell's page probe reads 255 bytes and wants this prefix.
  EXPECT_EQ(Get("/").bytes.rfind("HTTP/1.1 200", 0), 0u);

  RawReply reply = ShellReadyRequest();
  EXPECT_TRUE(reply.closedByPeer);
  EXPECT_EQ(reply.status, 202);
  EXPECT_EQ(
      reply.body,
      R"({"ready":true,"version":612,"versionName":"6.1.2","entryPath":"/app/"})");
  ASSERT_EQ(Post("/__control/settings", R"({"version":-3})").status, 200);
  EXPECT_EQ(json::parse(ShellReadyRequest().body)["version"], -3);

  for (const std::string body : {R"({"ready":"yes"})", ""}) {
    ASSERT_EQ(
        Post("/__control/settings", json{{"readyBody", body}}.dump()).status,
        200);
    reply = ShellReadyRequest();
    EXPECT_EQ(reply.body, body);
    EXPECT_NE(reply.head.find("Content-Length: " + std::to_string(body.size())),
              std::string::npos);
  }
  ASSERT_EQ(Post("/__control/settings", R"({"readyBody":null})").status, 200);
  EXPECT_EQ(json::parse(ShellReadyRequest().body)["ready"], true);
}

TEST(DevBackendReady, BecomesReadyAfterDelayAnsweringFalseUntilThen) {
  const auto spawned = std::chrono::steady_clock::now();
  BackendProcess backend(Env{{"KORVEL_BACKEND_READY_AFTER_MS", "800"}});
  ASSERT_TRUE(backend.WaitForPort());
  RawReply early = ShellReadyRequest();
  EXPECT_EQ(early.status, 200);
  // Only an answer that came before the delay can have run out says
  // anything (a busy machine may take longer to get here).
  if (std::chrono::steady_clock::now() - spawned <
      std::chrono::milliseconds(800)) {
    EXPECT_EQ(json::parse(early.body)["ready"], false);
  }
  EXPECT_TRUE(WaitUntil(
      [] {
        const RawReply reply = ShellReadyRequest();
        return reply.status == 200 && json::parse(reply.body)["ready"] == true;
      },
      milliseconds(10000)));
}

// Not ready, the backend can answer 503 with ready true, and the
// application page can answer another status, until told otherwise.
TEST(DevBackendReady, NotReadyCanAnswer503WithReadyTrue) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_READY_AFTER_MS", "-1"},
                             {"KORVEL_BACKEND_NOT_READY_STATUS", "503"},
                             {"KORVEL_BACKEND_NOT_READY_FLAG", "1"},
                             {"KORVEL_BACKEND_APP_STATUS", "503"}});
  ASSERT_TRUE(backend.WaitForPort());
  EXPECT_EQ(Get("/").bytes.rfind("HTTP/1.1 503", 0), 0u);
  ASSERT_EQ(Post("/__control/settings", R"({"appStatus":200})").status, 200);
  EXPECT_EQ(Get("/").bytes.rfind("HTTP/1.1 200", 0), 0u);
  RawReply reply = ShellReadyRequest();
  EXPECT_EQ(reply.status, 503);
  EXPECT_EQ(json::parse(reply.body)["ready"], true);

  ASSERT_EQ(Post("/__control/settings", R"({"readyAfterMs":0})").status, 200);
  reply = ShellReadyRequest();
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(json::parse(reply.body)["ready"], true);
}

TEST(DevBackendReady, PortCanBeMovedForDevelopmentUse) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_PORT", "35581"}});
  ASSERT_TRUE(WaitUntil([] { return IsPortOpen(35581); }, milliseconds(10000)));
  EXPECT_FALSE(IsPortOpen(35580));
  EXPECT_EQ(RawExchange("GET /ready HTTP/1.1\r\nConnection: close\r\n\r\n",
                        15000, 35581)
                .status,
            200);
}

}  // namespace
