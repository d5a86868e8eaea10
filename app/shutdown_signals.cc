#include "app/shutdown_signals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <system_error>
#include <thread>

#include "client/shell_client.h"
#include "include/base/cef_logging.h"

namespace {

constexpr int kShutdownSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end and the process it belongs to; set before any
// handler is installed.
int g_writeFd = -1;
pid_t g_ownerPid = 0;

// Only async-signal-safe work here: the number goes to the watcher thread.
// A full pipe already holds a request to end, so a dropped byte loses
// nothing.
void OnShutdownSignal(int number) {
  // A child forked for the backend keeps the handler until its exec; a
  // signal meant for it must not end the shell.
  if (getpid() != g_ownerPid) {
    signal(number, SIG_DFL);
    raise(number);
    return;
  }
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  ssize_t written;
  do {
    written = write(g_writeFd, &byte, 1);
  } while (written < 0 && errno == EINTR);
  errno = savedErrno;
}

void WatchShutdownSignals(int readFd) {
  for (;;) {
    unsigned char number = 0;
    const ssize_t got = read(readFd, &number, 1);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got != 1) {
      return;
    }
    LOG(INFO) << "Signal " << static_cast<int>(number)
              << ": ending the application";
    ShellClient::RequestEnd();
  }
}

}  // namespace

bool InstallShutdownSignalHandlers() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    PLOG(WARNING) << "Stop signals end the shell at once: no pipe";
    return false;
  }
  // The handler must never block; the watcher may.
  const int flags = fcntl(fds[1], F_GETFL);
  if (flags < 0 || fcntl(fds[1], F_SETFL, flags | O_NONBLOCK) != 0) {
    PLOG(WARNING) << "Stop signals end the shell at once: no pipe";
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  try {
    std::thread(WatchShutdownSignals, fds[0]).detach();
  } catch (const std::system_error&) {
    close(fds[0]);
    close(fds[1]);
    // The engine's handlers would catch the signals with nobody to act on
    // them; dying keeps at least the backend from outliving the shell.
    for (int number : kShutdownSignals) {
      signal(number, SIG_DFL);
    }
    LOG(WARNING) << "Stop signals end the shell at once: no thread";
    return false;
  }
  g_writeFd = fds[1];
  g_ownerPid = getpid();
  struct sigaction action = {};
  action.sa_handler = OnShutdownSignal;
  sigemptyset(&action.sa_mask);
  // Other threads' blocking calls carry on as if nothing had happened.
  action.sa_flags = SA_RESTART;
  for (int number : kShutdownSignals) {
    sigaction(number, &action, nullptr);
  }
  return true;
}
