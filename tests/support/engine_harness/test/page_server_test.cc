// The loopback page server through a real HTTP client, and the small
// helpers around it: closed ports, shell commands, temporary directories
// and polling.

#include "tests/support/engine_harness/page_server.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <httplib.h>

#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {
namespace {

using Clock = std::chrono::steady_clock;

TEST(PageServerTest, ServesPagesRedirectsAndCountsHits) {
  PageServer server;
  ASSERT_GT(server.port(), 0);
  server.Page("/ok", "<title>ok</title>", 200);
  server.Page("/gone", "no more", 410, "text/plain");
  server.Redirect("/old", "/ok");
  server.SlowPage("/slow", milliseconds(400));

  httplib::Client client("127.0.0.1", server.port());
  auto ok = client.Get("/ok");
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->status, 200);
  EXPECT_EQ(ok->body, "<title>ok</title>");
  EXPECT_EQ(ok->get_header_value("Content-Type"), "text/html");

  auto gone = client.Get("/gone");
  ASSERT_TRUE(gone);
  EXPECT_EQ(gone->status, 410);
  EXPECT_EQ(gone->get_header_value("Content-Type"), "text/plain");

  auto old = client.Get("/old");
  ASSERT_TRUE(old);
  EXPECT_EQ(old->status, 302);
  EXPECT_EQ(old->get_header_value("Location"), "/ok");

  auto missing = client.Get("/nothing");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);

  const Clock::time_point start = Clock::now();
  auto slow = client.Get("/slow");
  ASSERT_TRUE(slow);
  EXPECT_GE(Clock::now() - start, milliseconds(390));
  EXPECT_EQ(slow->status, 200);

  client.Get("/ok");
  EXPECT_EQ(server.Hits("/ok"), 2);
  EXPECT_EQ(server.Hits("/old"), 1);
  // Unknown paths count too: a test may check that nothing asked for one.
  EXPECT_EQ(server.Hits("/nothing"), 1);
  EXPECT_EQ(server.Hits("/never"), 0);
}

// Pages given up front are typed by their extension.
TEST(PageServerTest, PagesGivenUpFrontAreTypedByTheirExtension) {
  PageServer server({{"/main", "<p>page</p>"}, {"/lib.js", "var x = 1;"}});
  httplib::Client client("localhost", server.port());
  for (const auto& [path, type] :
       {std::pair<std::string, std::string>{"/main", "text/html"},
        {"/lib.js", "text/javascript"}}) {
    auto page = client.Get(path);
    ASSERT_TRUE(page) << path;
    EXPECT_EQ(page->get_header_value("Content-Type"), type);
  }
}

TEST(ClosedPortTest, NothingAnswersOnIt) {
  const int port = ClosedPort();
  ASSERT_GT(port, 0);
  httplib::Client client("127.0.0.1", port);
  client.set_connection_timeout(2);
  auto result = client.Get("/");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error(), httplib::Error::Connection);
}

TEST(ShellTest, OutputOnSuccessNothingOnFailureAndNoStderr) {
  EXPECT_EQ(Shell("echo hello; echo oops >&2"), "hello\n");
  EXPECT_EQ(Shell("echo partial; exit 1"), "");
  EXPECT_EQ(Shell("printf 'a\\nb\\n' | tail -1"), "b\n");
}

TEST(TempDirTest, ItsWholeTreeGoesWithIt) {
  std::string path;
  {
    TempDir dir("engine-harness-tree");
    path = dir.path();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.rfind("/tmp/engine-harness-tree-", 0), 0u) << path;
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::filesystem::create_directories(path + "/a/b");
    std::ofstream(path + "/a/b/file") << "content";
    // A name a shell would trip over.
    std::ofstream(path + "/it's here") << "content";
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WaitUntilTest, StopsWhenTheConditionHoldsOrAtTheDeadline) {
  int calls = 0;
  EXPECT_TRUE(WaitUntil([&] { return ++calls == 3; }, milliseconds(5000)));
  EXPECT_EQ(calls, 3);

  calls = 0;
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(WaitUntil([&] { return ++calls < 0; }, milliseconds(300)));
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, milliseconds(300));
  EXPECT_LT(waited, milliseconds(1000));
  // Checked at the deadline too, not only before it.
  EXPECT_GE(calls, 2);

  calls = 0;
  EXPECT_FALSE(WaitUntil([&] { return ++calls < 0; }, milliseconds(0)));
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace engine_test
