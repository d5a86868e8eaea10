#ifndef KORVEL_BACKEND_BACKEND_STATE_H_
#define KORVEL_BACKEND_BACKEND_STATE_H_

#include <sys/types.h>

#include <condition_variable>
#include <mutex>

// What the browser process knows about its backend child. One instance per
// process; every field is guarded by backendMutex. (running, starting) is
// idle (false, false), starting (false, true) or running (true, false).
struct SupervisionState {
  // A backend child exists: forked and not yet reaped.
  bool running = false;
  // A launch is underway and has not forked yet.
  bool starting = false;
  // A hot restart is underway; set and cleared by the restart only.
  bool restartInProgress = false;
  // The next exit was asked for by a hot restart.
  bool expectedExit = false;
  // The current child, 0 when there is none.
  pid_t backendPid = 0;
};

// The only lock of backend supervision. Never held across a blocking call
// and never while another lock is taken. The three objects are never
// destroyed, so detached launcher threads may still use them while the
// process exits.
extern std::mutex& backendMutex;
// Notified after every change of running/starting and of the restart flags.
extern std::condition_variable& backendStateChanged;
extern SupervisionState& backendState;

// Sets both flags under the lock and wakes every waiter.
void SetBackendState(bool running, bool starting);

// Waits until `running` equals `wantRunning` and no launch is underway, or
// until `timeoutMs` have passed. Returns whether that state holds; true at
// once when it already holds. Blocks: never call it on the UI thread.
bool WaitForBackendState(bool wantRunning, int timeoutMs);

// Sends SIGKILL to the current backend child, if there is one. Safe to call
// at any time; the launcher takes the exit for a crash.
void KillBackend();

// The process-exit handler: KillBackend, with the exit marked as expected,
// so that the launcher thread, should it run before the process ends, does
// not close the browsers.
void KillBackendAtExit();

#endif  // KORVEL_BACKEND_BACKEND_STATE_H_
