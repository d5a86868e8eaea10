// The restart handshake: accepted, refused, never followed by an exit, and
// followed by an exit that leaves the port taken for a while.

#include <sys/wait.h>

#include <chrono>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/devbackend/backend_process.h"

namespace {

using Env = BackendProcess::Environment;

using nlohmann::json;
using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point since) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                              Clock::now() - since)
                              .count());
}

TEST(DevBackendHandshake,
     AcceptedAnswerArrivesWholeThenBackendExitsAndFreesPort) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply reply = RawExchange(HandshakeRequest());
  EXPECT_EQ(reply.status, 200);
  EXPECT_TRUE(reply.closedByPeer);
  EXPECT_NE(reply.head.find("Connection: close"), std::string::npos);
  EXPECT_NE(
      reply.head.find("Content-Length: " + std::to_string(reply.body.size())),
      std::string::npos);

  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(IsPortOpen());

  // The next backend binds at once, as it does after a real hot restart.
  BackendProcess next;
  EXPECT_TRUE(next.WaitForPort());
}

TEST(DevBackendHandshake, RefusalCarriesStatusAndMessageAndBackendStays) {
  BackendProcess backend(
      {{"KORVEL_BACKEND_HANDSHAKE_STATUS", "409"},
       {"KORVEL_BACKEND_HANDSHAKE_MESSAGE", "update \"3\" still installing"}});
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply reply = RawExchange(HandshakeRequest());
  EXPECT_EQ(reply.status, 409);
  EXPECT_EQ(json::parse(reply.body)["message"],
            "update \"3\" still installing");
  SleepMs(400);
  EXPECT_FALSE(backend.HasExited());
}

TEST(DevBackendHandshake, RefusalBodiesAreSentVerbatim) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HANDSHAKE_STATUS", "409"}});
  ASSERT_TRUE(backend.WaitForPort());
  // Without a configured body a refusal still explains itself.
  EXPECT_TRUE(
      json::parse(RawExchange(HandshakeRequest()).body)["message"].is_string());

  for (const std::string body : {"", "not json at all", R"({"message":7})"}) {
    ASSERT_EQ(Post("/__control/settings", json{{"handshakeBody", body}}.dump())
                  .status,
              200);
    const RawReply reply = RawExchange(HandshakeRequest());
    EXPECT_EQ(reply.status, 409);
    EXPECT_EQ(reply.body, body);
  }
  EXPECT_FALSE(backend.HasExited());
}

TEST(DevBackendHandshake, CanAcceptWithoutEverExiting) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HANDSHAKE_EXIT", "0"}});
  ASSERT_TRUE(backend.WaitForPort());
  EXPECT_EQ(RawExchange(HandshakeRequest()).status, 200);
  SleepMs(1000);
  EXPECT_FALSE(backend.HasExited());
  EXPECT_TRUE(IsPortOpen());
}

TEST(DevBackendHandshake, BodyThatIsNotAnObjectIsRejectedWithoutExit) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply reply = Post("/hot-update/prepare-restart", "[]");
  EXPECT_EQ(reply.status, 400);
  EXPECT_TRUE(json::parse(reply.body)["message"].is_string());
  SleepMs(400);
  EXPECT_FALSE(backend.HasExited());
}

TEST(DevBackendHandshake, HeldPortStaysTakenAfterExitThenIsReleased) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HOLD_PORT_MS", "1500"}});
  ASSERT_TRUE(backend.WaitForPort());
  ASSERT_EQ(RawExchange(HandshakeRequest()).status, 200);
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  const Clock::time_point exited = Clock::now();
  EXPECT_TRUE(WIFEXITED(status));

  // Reaped, yet the port answers, and a new backend cannot take it. (The
  // second guard lives to the end: its destructor would kill the holder.)
  EXPECT_TRUE(IsPortOpen());
  BackendProcess second(Env{{"KORVEL_BACKEND_QUIET", "1"}});
  int secondStatus = -1;
  ASSERT_TRUE(second.WaitForExit(10000, secondStatus));
  EXPECT_EQ(WEXITSTATUS(secondStatus), 3);

  EXPECT_TRUE(WaitUntil([] { return !IsPortOpen(); }, milliseconds(10000)));
  EXPECT_GE(ElapsedMs(exited), 1000);
}

TEST(DevBackendHandshake, PortHolderAnswersManyProbesWithoutStalling) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_HOLD_PORT_MS", "2000"}});
  ASSERT_TRUE(backend.WaitForPort());
  ASSERT_EQ(Post("/__control/exit", "{}").status, 200);
  int status = -1;
  ASSERT_TRUE(backend.WaitForExit(10000, status));
  // More probes than the shell makes in its whole port wait; with a short
  // listen queue the later ones would each wait a second for a retry.
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < 60; ++i)
    ASSERT_TRUE(IsPortOpen()) << i;
  EXPECT_LT(ElapsedMs(start), 800);
}

TEST(DevBackendHandshake, SecondBackendCannotBindWhileFirstListens) {
  BackendProcess first;
  ASSERT_TRUE(first.WaitForPort());
  BackendProcess second(Env{{"KORVEL_BACKEND_QUIET", "1"}});
  int status = -1;
  ASSERT_TRUE(second.WaitForExit(10000, status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_FALSE(first.HasExited());
}

}  // namespace
