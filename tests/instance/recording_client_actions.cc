#include "tests/instance/recording_client_actions.h"

#include <condition_variable>
#include <mutex>

#include "instance/client_actions.h"

namespace {

// Never destroyed: detached launcher and reader threads may still call in
// while the test process exits.
std::mutex& mutex = *new std::mutex;
std::condition_variable& changed = *new std::condition_variable;
int closeCount = 0;
int raiseCount = 0;

bool WaitFor(const int& counter, int count, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex);
  return changed.wait_for(lock, timeout,
                          [&counter, count] { return counter >= count; });
}

}  // namespace

void CloseAllBrowsersOnBackendExit() {
  std::lock_guard<std::mutex> lock(mutex);
  ++closeCount;
  changed.notify_all();
}

void RaiseMainWindowOnReopen() {
  std::lock_guard<std::mutex> lock(mutex);
  ++raiseCount;
  changed.notify_all();
}

namespace recording {

void Reset() {
  std::lock_guard<std::mutex> lock(mutex);
  closeCount = 0;
  raiseCount = 0;
}

int CloseCount() {
  std::lock_guard<std::mutex> lock(mutex);
  return closeCount;
}

int RaiseCount() {
  std::lock_guard<std::mutex> lock(mutex);
  return raiseCount;
}

bool WaitForCloseCount(int count, std::chrono::milliseconds timeout) {
  return WaitFor(closeCount, count, timeout);
}

bool WaitForRaiseCount(int count, std::chrono::milliseconds timeout) {
  return WaitFor(raiseCount, count, timeout);
}

}  // namespace recording
