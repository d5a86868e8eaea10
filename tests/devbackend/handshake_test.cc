// The restart handshake: accepted, refused, and followed by an exit that
// leaves the port taken for a while.

#include <chrono>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point since) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                              Clock::now() - since)
                              .count());
}

// The shell reads the answer to its end: it comes whole before the backend
// ends cleanly, and the next backend binds at once, as after a real hot
// restart.
TEST(DevBackendHandshake,
     AcceptedAnswerArrivesWholeThenBackendExitsAndFreesPort) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply reply = RawExchange(HandshakeRequest());
  EXPECT_EQ(reply.status, 200);
  EXPECT_TRUE(reply.closedByPeer);
  EXPECT_NE(
      reply.head.find("Content-Length: " + std::to_string(reply.body.size())),
      std::string::npos);
  EXPECT_EQ(backend.Ended(), "exit 0");
  EXPECT_FALSE(IsPortOpen());
  BackendProcess next;
  EXPECT_TRUE(next.WaitForPort());
}

// A refusal keeps the backend running with its status, a message even when
// none was configured, and any configured body verbatim.
TEST(DevBackendHandshake, RefusalsLeaveTheBackendRunning) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HANDSHAKE_STATUS", "409"}});
  ASSERT_TRUE(backend.WaitForPort());
  EXPECT_TRUE(
      json::parse(RawExchange(HandshakeRequest()).body)["message"].is_string());
  ASSERT_EQ(Post("/__control/settings",
                 R"({"handshakeMessage":"update \"3\" still installing"})")
                .status,
            200);
  RawReply reply = RawExchange(HandshakeRequest());
  EXPECT_EQ(reply.status, 409);
  EXPECT_EQ(json::parse(reply.body)["message"],
            "update \"3\" still installing");
  for (const std::string body : {"", "not json at all", R"({"message":7})"}) {
    ASSERT_EQ(Post("/__control/settings", json{{"handshakeBody", body}}.dump())
                  .status,
              200);
    reply = RawExchange(HandshakeRequest());
    EXPECT_EQ(reply.status, 409);
    EXPECT_EQ(reply.body, body);
  }
  // An accepting backend refuses a body that is no object, and stays.
  ASSERT_EQ(Post("/__control/settings", R"({"handshakeStatus":200})").status,
            200);
  reply = Post("/hot-update/prepare-restart", "[]");
  EXPECT_EQ(reply.status, 400);
  EXPECT_TRUE(json::parse(reply.body)["message"].is_string());
  EXPECT_EQ(backend.Ended(400), "running");
}

// After the exit the port stays taken for the hold: probes are answered
// without stalling (more than the shell makes in its whole port wait; with
// a short listen queue the later ones would each wait a second for a
// retry), and a new backend cannot bind (exit 3); then it is released.
TEST(DevBackendHandshake, HeldPortStaysTakenAfterExitThenIsReleased) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HOLD_PORT_MS", "2000"}});
  ASSERT_TRUE(backend.WaitForPort());
  ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
  ASSERT_EQ(backend.Ended(), "exit 0");
  const Clock::time_point exited = Clock::now();
  for (int i = 0; i < 60; ++i)
    ASSERT_TRUE(IsPortOpen()) << i;
  EXPECT_LT(ElapsedMs(exited), 800);

  // The second guard lives to the end: its destructor would kill the holder.
  BackendProcess second(Env{{"KORVEL_BACKEND_QUIET", "1"}});
  EXPECT_EQ(second.Ended(), "exit 3");
  EXPECT_TRUE(WaitUntil([] { return !IsPortOpen(); }, milliseconds(10000)));
  EXPECT_GE(ElapsedMs(exited), 1500);
}

}  // namespace
