#include "devbackend/lifecycle.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "devbackend/output.h"

namespace {

std::atomic<int> g_listeningSocket{-1};
std::atomic<bool> g_ending{false};

// Only one thread may run an exit path; the others wait to be ended with it.
void ClaimEnding() {
  if (g_ending.exchange(true)) {
    for (;;)
      pause();
  }
}

// Runs in a child forked from a threaded process: async-signal-safe calls
// only. Keeps the listening socket as descriptor 3 and nothing else, so the
// shell's output pipe and any accepted connection close with the backend.
[[noreturn]] void HoldPort(int socket, int holdPortMs) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  if (socket != 3 && dup2(socket, 3) < 0)
    _exit(1);
  const int devnull = open("/dev/null", O_RDWR);
  if (devnull >= 0) {
    dup2(devnull, STDIN_FILENO);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
  }
  close_range(4, ~0U, 0);
  timespec left = {holdPortMs / 1000, (holdPortMs % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
  _exit(0);
}

void StartPortHolder(int holdPortMs) {
  const int socket = g_listeningSocket.load();
  if (holdPortMs <= 0 || socket < 0)
    return;
  const pid_t pid = fork();
  if (pid == 0)
    HoldPort(socket, holdPortMs);
  if (pid < 0) {
    LogLine("could not fork the port holder");
    return;
  }
  LogLine("port held by pid " + std::to_string(pid) + " for " +
          std::to_string(holdPortMs) + " ms");
}

}  // namespace

void StartSignalWatcher(std::function<void(int)> onSignal) {
  signal(SIGPIPE, SIG_IGN);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set, onSignal = std::move(onSignal)] {
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) == 0)
        onSignal(signal);
    }
  }).detach();
}

void SetListeningSocket(int fd) {
  g_listeningSocket.store(fd);
}

void ExitBackend(int status, int holdPortMs) {
  ClaimEnding();
  StartPortHolder(holdPortMs);
  LogLine("exiting with status " + std::to_string(status));
  // No static destructors: worker threads may still be inside handlers.
  _exit(status);
}

void CrashBackend(int signal, int holdPortMs) {
  ClaimEnding();
  StartPortHolder(holdPortMs);
  LogLine("crashing with signal " + std::to_string(signal));
  // A crash must not leave a core file in the working directory.
  const rlimit noCore = {0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  if (signal == SIGABRT)
    std::abort();
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(signal);
  _exit(128 + signal);
}

void RunAfter(int ms, std::function<void()> task) {
  std::thread([ms, task = std::move(task)] {
    if (ms > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    task();
  }).detach();
}
