#include "backend/backend_state.h"

#include <signal.h>

#include <chrono>

std::mutex& backendMutex = *new std::mutex;
std::condition_variable& backendStateChanged = *new std::condition_variable;
SupervisionState& backendState = *new SupervisionState;

void SetBackendState(bool running, bool starting) {
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    backendState.running = running;
    backendState.starting = starting;
  }
  backendStateChanged.notify_all();
}

bool WaitForBackendState(bool wantRunning, int timeoutMs) {
  // A monotonic deadline: a wall-clock step must not stretch or cut the wait.
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lock(backendMutex);
  return backendStateChanged.wait_until(lock, deadline, [wantRunning] {
    return backendState.running == wantRunning && !backendState.starting;
  });
}

void KillBackend() {
  // The signal is sent under the lock: the launcher clears backendPid before
  // it reaps the child, so the pid cannot belong to another process yet.
  std::lock_guard<std::mutex> lock(backendMutex);
  if (backendState.backendPid >= 1) {
    kill(backendState.backendPid, SIGKILL);
  }
}

void KillBackendAtExit() {
  std::lock_guard<std::mutex> lock(backendMutex);
  if (backendState.backendPid >= 1) {
    // Not a crash: the launcher must not close the browsers of a process
    // that is already ending.
    backendState.expectedExit = true;
    kill(backendState.backendPid, SIGKILL);
  }
}
