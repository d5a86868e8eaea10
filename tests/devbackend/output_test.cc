// Output on the pipes the shell reads: the reopen token in every placement,
// and arbitrary text. Each chunk is read the way the shell reads it.

#include <gtest/gtest.h>

#include "tests/devbackend/backend_process.h"

namespace {

const std::string kToken = "korvel:reopen\r\n";

// Text and a delayed token from the environment come first. Then each
// request writes exactly the chunks asked for, on the stream asked for (a
// quiet backend writes nothing of its own; stderr goes to a file, so only
// its text is checked); the split token comes in two writes for the shell's
// negative tests. An unknown option writes nothing.
TEST(DevBackendOutput, WritesEachRequestAsTheChunksAsked) {
  BackendProcess backend(Env{{"KORVEL_BACKEND_QUIET", "1"},
                             {"KORVEL_BACKEND_STDOUT_TEXT", "booting\n"},
                             {"KORVEL_BACKEND_REOPEN_AFTER_MS", "400"}});
  EXPECT_EQ(ReadChunk(backend.stdoutFd(), 10000), "booting\n");
  EXPECT_EQ(ReadChunk(backend.stdoutFd(), 10000), kToken);
  ASSERT_TRUE(backend.WaitForPort());
  const struct {
    std::string path;
    std::string body;
    bool toStderr;
    std::vector<std::string> chunks;
  } cases[] = {
      {"reopen", "{}", false, {kToken}},
      {"reopen",
       R"({"mode":"after","text":"update installed\n"})",
       false,
       {"update installed\n" + kToken}},
      {"reopen",
       R"({"mode":"before","text":"tail\n"})",
       false,
       {kToken + "tail\n"}},
      {"reopen",
       R"({"mode":"middle","text":"x\n"})",
       false,
       {"x\n" + kToken + "x\n"}},
      {"reopen", R"({"mode":"split"})", false, {"korvel:re", "open\r\n"}},
      {"reopen", R"({"stream":"stderr"})", true, {kToken}},
      {"stdout", R"({"text":"one\ntwo\n"})", false, {"one\ntwo\n"}},
      {"stderr", R"({"text":"oops\n"})", true, {"oops\n"}},
  };
  std::string stderrText;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    ASSERT_EQ(Post("/__control/" + c.path, c.body).status, 200);
    for (const std::string& chunk : c.chunks) {
      if (c.toStderr) {
        stderrText += chunk;
        EXPECT_TRUE(WaitUntil([&] { return backend.Stderr() == stderrText; }))
            << backend.Stderr();
      } else {
        EXPECT_EQ(ReadChunk(backend.stdoutFd(), 10000), chunk);
      }
    }
  }
  EXPECT_EQ(Post("/__control/reopen", R"({"mode":"sideways"})").status, 400);
  EXPECT_EQ(ReadChunk(backend.stdoutFd(), 300), "");
}

}  // namespace
