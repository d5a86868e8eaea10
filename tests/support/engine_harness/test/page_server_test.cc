// The loopback page server through a real HTTP client, and WaitUntil: the
// two a test's "nothing happened" checks lean on.

#include "tests/support/engine_harness/page_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {
namespace {

using Clock = std::chrono::steady_clock;

// Every request counts, one for an unknown path too, so that a test may
// check that nothing asked for a page; a slow page is answered late.
TEST(PageServerTest, CountsEveryRequestAndAnswersSlowPagesLate) {
  PageServer server;
  ASSERT_GT(server.port(), 0);
  server.Page("/ok", "<title>ok</title>");
  server.SlowPage("/slow", milliseconds(400));
  httplib::Client client("127.0.0.1", server.port());
  auto ok = client.Get("/ok");
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->body, "<title>ok</title>");
  auto missing = client.Get("/nothing");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
  const Clock::time_point start = Clock::now();
  auto slow = client.Get("/slow");
  ASSERT_TRUE(slow);
  EXPECT_GE(Clock::now() - start, milliseconds(390));

  client.Get("/ok");
  EXPECT_EQ(server.Hits("/ok"), 2);
  EXPECT_EQ(server.Hits("/nothing"), 1);
  EXPECT_EQ(server.Hits("/never"), 0);
}

// True only once the condition holds; false after the whole bound, with the
// condition checked at the deadline too.
TEST(WaitUntilTest, StopsWhenTheConditionHoldsOrAtTheDeadline) {
  int calls = 0;
  EXPECT_TRUE(WaitUntil([&] { return ++calls == 3; }, milliseconds(5000)));
  EXPECT_EQ(calls, 3);

  calls = 0;
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(WaitUntil([&] { return ++calls < 0; }, milliseconds(300)));
  EXPECT_GE(Clock::now() - start, milliseconds(300));
  EXPECT_LT(Clock::now() - start, milliseconds(1000));
  EXPECT_GE(calls, 2);
}

}  // namespace
}  // namespace engine_test
