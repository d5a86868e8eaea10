// Event lines of the test apps: written from many threads at once, each
// line must arrive whole, as the harness reads them one JSON object per
// line (a mangled line is no event, so a check that an event never came
// would pass).

#include "tests/support/engine_app/emit.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace engine_test_app {
namespace {

TEST(EmitTest, LinesFromManyThreadsArriveWhole) {
  constexpr int kThreads = 8;
  constexpr int kLines = 300;
  // Longer than a stdio buffer, so that a line written in pieces would show.
  const std::string padding(10000, 'x');
  char path[] = "/tmp/emit-test-XXXXXX";
  const int file = mkstemp(path);
  ASSERT_GE(file, 0);
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  dup2(file, STDOUT_FILENO);
  close(file);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &padding] {
      for (int i = 0; i < kLines; ++i) {
        Emit({{"event", "line"}, {"thread", t}, {"n", i}, {"pad", padding}});
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  dup2(saved, STDOUT_FILENO);
  close(saved);

  std::ifstream lines(path);
  unlink(path);
  std::set<std::pair<int, int>> seen;
  std::vector<int> next(kThreads, 0);
  for (std::string line; std::getline(lines, line);) {
    const json event = json::parse(line, nullptr, /*allow_exceptions=*/false);
    ASSERT_TRUE(event.is_object()) << line.substr(0, 200);
    const int t = event["thread"];
    const int n = event["n"];
    // One thread's lines keep their order.
    EXPECT_EQ(n, next[t]++);
    seen.insert({t, n});
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
}

}  // namespace
}  // namespace engine_test_app
