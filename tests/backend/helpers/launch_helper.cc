// A browser process in miniature for the process-exit tests: it starts a
// backend through the launcher, prints the backend's pid on stdout and then
// returns from main (argument "exit"). "closed-streams" starts with stdout
// and stderr closed, as when the program is launched with them closed, and
// then acts as "exit".
// "slow-exit" acts as "exit", but its exit lasts until the launcher thread
// has seen the backend's end (as when leak checking slows an exit down), and
// prints "close-all" should the browsers be closed meanwhile.
// Usage: launch_helper DATA_DIR WORK_DIR exit|closed-streams|slow-exit
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "app/data_paths.h"
#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "instance/client_actions.h"

namespace {

int out = 1;
std::mutex closeMutex;
std::condition_variable closeCalled;
bool closed = false;

// Runs after the launcher's exit handler (registered later): waits for the
// launcher thread to see the backend's end and for a close that follows it.
void SlowExit() {
  WaitForBackendState(false, 5000);
  std::unique_lock<std::mutex> lock(closeMutex);
  closeCalled.wait_for(lock, std::chrono::seconds(1), [] { return closed; });
}

}  // namespace

void CloseAllBrowsersOnBackendExit() {
  std::lock_guard<std::mutex> lock(closeMutex);
  closed = true;
  dprintf(out, "close-all\n");
  closeCalled.notify_all();
}
void RaiseMainWindowOnReopen() {}

int main(int argc, char** argv) {
  if (argc != 4 || chdir(argv[2]) != 0) {
    return 2;
  }
  SetDataDirForTesting(argv[1]);
  if (strcmp(argv[3], "slow-exit") == 0) {
    atexit(SlowExit);
  }
  if (strcmp(argv[3], "closed-streams") == 0) {
    out = dup(1);
    close(1);
    close(2);
  }
  StartBackend();
  if (!WaitForBackendState(true, 5000)) {
    return 3;
  }
  pid_t pid;
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    pid = backendState.backendPid;
  }
  // The backend reports once it is set up; only then is it worth killing.
  const char* reportDir = getenv("KORVEL_TEST_REPORT_DIR");
  std::string report = std::string(reportDir ? reportDir : "") + "/" +
                       std::to_string(pid) + ".report";
  struct stat info;
  for (int i = 0; reportDir && stat(report.c_str(), &info) != 0; ++i) {
    if (i == 500) {
      return 4;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  dprintf(out, "%d\n", static_cast<int>(pid));
  return 0;
}
