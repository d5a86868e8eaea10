#include "backend/backend_launcher.h"

#include <errno.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <thread>

#include "app/data_paths.h"
#include "backend/backend_spawn.h"
#include "backend/backend_state.h"
#include "instance/backend_output_reader.h"
#include "instance/client_actions.h"

namespace {

bool PathExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string WorkingDirectory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof(buffer)) == nullptr) {
    // The fallback name then resolves against the working directory anyway.
    return std::string();
  }
  return buffer;
}

// Waits for the child to exit without reaping it, so that its pid stays
// reserved until backendPid no longer names it.
void WaitForExitUnreaped(pid_t pid) {
  siginfo_t info;
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 &&
         errno == EINTR) {
  }
}

void Reap(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::string ChooseBackendExecutable(const LaunchConfig& config,
                                    const std::string& defaultPath,
                                    const std::string& workingDir) {
  if (config.found && config.version > kClientBuildNumber) {
    return config.executable;
  }
  if (PathExists(defaultPath)) {
    return defaultPath;
  }
  if (workingDir.empty()) {
    return fallbackBackendName;
  }
  return JoinPath(workingDir, fallbackBackendName);
}

void StartBackend() {
  std::lock_guard<std::mutex> lock(backendMutex);
  if (backendState.running || backendState.starting) {
    return;
  }
  backendState.starting = true;
  try {
    std::thread(RunBackendProcess).detach();
  } catch (const std::system_error&) {
    // Without a launcher thread nothing would ever clear the flag and every
    // later start would be refused.
    backendState.starting = false;
    backendStateChanged.notify_all();
  }
}

void RunBackendProcess() {
  // Read afresh: a restart after an update starts the new release.
  std::string path = ChooseBackendExecutable(
      LoadLaunchConfig(), defaultBackendPath, WorkingDirectory());
  SetBackendState(false, true);

  pid_t pid = 0;
  int outputFd = -1;
  if (!SpawnBackend(path, pid, outputFd)) {
    SetBackendState(false, false);
    bool restarting;
    {
      std::lock_guard<std::mutex> lock(backendMutex);
      restarting = backendState.restartInProgress;
    }
    if (!restarting) {
      CloseAllBrowsersOnBackendExit();
    }
    return;
  }

  {
    std::lock_guard<std::mutex> lock(backendMutex);
    backendState.backendPid = pid;
  }
  // Registered on every launch; running it more than once is harmless.
  atexit(KillBackendAtExit);
  SetBackendState(true, false);
  try {
    std::thread(BackendOutputReader, outputFd).detach();
  } catch (const std::system_error&) {
    // Unread output would block the backend on a full pipe; a closed one
    // only makes its writes fail.
    close(outputFd);
  }

  WaitForExitUnreaped(pid);
  bool restarting;
  bool expected;
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    restarting = backendState.restartInProgress;
    expected = backendState.expectedExit;
    backendState.running = false;
    backendState.starting = false;
    backendState.expectedExit = false;
    backendState.backendPid = 0;
  }
  Reap(pid);
  backendStateChanged.notify_all();
  if (!restarting && !expected) {
    CloseAllBrowsersOnBackendExit();
  }
}
