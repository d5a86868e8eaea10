#include "tests/support/engine_harness/wait_until.h"

#include <algorithm>
#include <thread>

namespace engine_test {

bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) {
      return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        milliseconds(50), deadline - now));
  }
}

}  // namespace engine_test
