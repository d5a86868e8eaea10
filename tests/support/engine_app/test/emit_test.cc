// Event lines of the test apps: written from many threads at once, each
// line must arrive whole, as the harness reads them one JSON object per
// line.

#include "tests/support/engine_app/emit.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace engine_test_app {
namespace {

// Points this process's stdout at a pipe for its lifetime and collects what
// arrives there on a thread of its own (the pipe would fill up otherwise).
class CapturedStdout {
 public:
  CapturedStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    reader_ = std::thread([this, fd = fds[0]] {
      char chunk[65536];
      ssize_t n;
      while ((n = read(fd, chunk, sizeof(chunk))) > 0) {
        text_.append(chunk, static_cast<size_t>(n));
      }
      close(fd);
    });
  }
  ~CapturedStdout() { Finish(); }

  // Restores stdout and returns everything written meanwhile.
  const std::string& Finish() {
    if (saved_ >= 0) {
      dup2(saved_, STDOUT_FILENO);
      close(saved_);
      saved_ = -1;
      if (reader_.joinable()) {
        reader_.join();
      }
    }
    return text_;
  }

 private:
  int saved_ = -1;
  std::thread reader_;
  std::string text_;
};

TEST(EmitTest, LinesFromManyThreadsArriveWhole) {
  constexpr int kThreads = 8;
  constexpr int kLines = 300;
  // Long enough that a line written in pieces would show.
  const std::string padding(3000, 'x');
  CapturedStdout captured;
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
  std::istringstream lines(captured.Finish());
  std::set<std::pair<int, int>> seen;
  std::vector<int> next(kThreads, 0);
  std::string line;
  while (std::getline(lines, line)) {
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
