// Output on the pipes the shell reads: the reopen token in every placement,
// and arbitrary text. Each chunk is read the way the shell reads it.

#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/devbackend/backend_process.h"

namespace {

using Env = BackendProcess::Environment;

const std::string kToken = "korvel:reopen\r\n";

// A quiet backend writes nothing of its own, so every read sees only what
// the test asked for.
class DevBackendOutput : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(backend_.WaitForPort()); }
  BackendProcess backend_{{{"KORVEL_BACKEND_QUIET", "1"}}};
};

TEST_F(DevBackendOutput, ReopenTokenAloneIsOneChunk) {
  ASSERT_EQ(Post("/__control/reopen", "{}").status, 200);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000), kToken);
}

TEST_F(DevBackendOutput, ReopenTokenAtEitherEndOfOtherOutput) {
  ASSERT_EQ(Post("/__control/reopen",
                 R"({"mode":"after","text":"update installed\n"})")
                .status,
            200);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000),
            "update installed\n" + kToken);

  ASSERT_EQ(
      Post("/__control/reopen", R"({"mode":"before","text":"tail\n"})").status,
      200);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000), kToken + "tail\n");
}

TEST_F(DevBackendOutput, ReopenTokenInTheMiddleOrSplitForNegativeTests) {
  ASSERT_EQ(
      Post("/__control/reopen", R"({"mode":"middle","text":"x\n"})").status,
      200);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000), "x\n" + kToken + "x\n");

  ASSERT_EQ(Post("/__control/reopen", R"({"mode":"split"})").status, 200);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000), "korvel:re");
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000), "open\r\n");
}

TEST_F(DevBackendOutput, ReopenTokenOnStandardError) {
  ASSERT_EQ(Post("/__control/reopen", R"({"stream":"stderr"})").status, 200);
  EXPECT_EQ(ReadChunk(backend_.stderrFd(), 10000), kToken);
}

TEST_F(DevBackendOutput, ArbitraryTextOnEitherStream) {
  ASSERT_EQ(Post("/__control/stdout", R"({"text":"one\ntwo\n"})").status, 200);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 10000), "one\ntwo\n");
  ASSERT_EQ(Post("/__control/stderr", R"({"text":"oops\n"})").status, 200);
  EXPECT_EQ(ReadChunk(backend_.stderrFd(), 10000), "oops\n");
}

TEST_F(DevBackendOutput, UnknownOptionIsRefusedAndWritesNothing) {
  const RawReply reply = Post("/__control/reopen", R"({"mode":"sideways"})");
  EXPECT_EQ(reply.status, 400);
  EXPECT_EQ(ReadChunk(backend_.stdoutFd(), 300), "");
}

TEST(DevBackendOutputAtStart, TextAndDelayedTokenFromEnvironment) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_QUIET", "1"},
                             {"KORVEL_BACKEND_STDOUT_TEXT", "booting\n"},
                             {"KORVEL_BACKEND_REOPEN_AFTER_MS", "400"}});
  EXPECT_EQ(ReadChunk(backend.stdoutFd(), 10000), "booting\n");
  EXPECT_EQ(ReadChunk(backend.stdoutFd(), 10000), kToken);
}

}  // namespace
