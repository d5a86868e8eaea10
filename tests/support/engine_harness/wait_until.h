// Polling for conditions that other processes make true.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_WAIT_UNTIL_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_WAIT_UNTIL_H_

#include <chrono>
#include <functional>

namespace engine_test {

using std::chrono::milliseconds;

// Polls |condition| every 50 ms until it holds (true) or |timeout| passes
// (false). The condition is always checked at least once, and once more at
// the deadline.
bool WaitUntil(const std::function<bool()>& condition,
               milliseconds timeout = milliseconds(5000));

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_WAIT_UNTIL_H_
