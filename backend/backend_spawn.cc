#include "backend/backend_spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Runs in the forked child of a multi-threaded process: only
// async-signal-safe calls from here on, and no return.
[[noreturn]] void ExecBackend(int readEnd,
                              int writeEnd,
                              pid_t parentPid,
                              int maxFd,
                              const char* path,
                              const char* workingDir) {
  close(readEnd);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent may have died before the request took effect.
  if (getppid() != parentPid) {
    _exit(127);
  }
  // The forking thread's mask is no business of the backend.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  // With stdout or stderr closed in the parent, the pipe may sit on 1 or 2;
  // move it out of the way before filling those slots.
  int out = writeEnd;
  if (out <= 2) {
    out = fcntl(writeEnd, F_DUPFD, 3);
    if (out < 0) {
      _exit(127);
    }
  }
  if (dup2(out, 1) < 0 || dup2(out, 2) < 0) {
    _exit(127);
  }
  if (writeEnd == 0) {
    close(0);
  }
  // Nothing of the browser process (engine sockets, files) may leak into
  // the backend. This also closes the pipe's own descriptors.
  if (close_range(3, ~0U, 0) != 0) {
    for (int fd = 3; fd < maxFd; ++fd) {
      close(fd);
    }
  }
  if (workingDir[0] != '\0' && chdir(workingDir) != 0) {
    _exit(127);
  }
  execl(path, path, static_cast<char*>(nullptr));
  _exit(127);
}

int DescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 &&
      limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < (1u << 20)) {
    return static_cast<int>(limit.rlim_cur);
  }
  return 1 << 20;
}

}  // namespace

std::string ParentDirectory(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) {
    return std::string();
  }
  if (slash == 0) {
    return "/";
  }
  return path.substr(0, slash);
}

bool SpawnBackend(const std::string& path, pid_t& pid, int& outputFd) {
  // Everything the child needs is prepared here: it may not allocate.
  std::string workingDir = ParentDirectory(path);
  pid_t parentPid = getpid();
  int maxFd = DescriptorLimit();

  int ends[2];
  // Close-on-exec, so the read end never reaches later children.
  if (pipe2(ends, O_CLOEXEC) != 0) {
    return false;
  }
  pid_t child = fork();
  if (child < 0) {
    close(ends[0]);
    close(ends[1]);
    return false;
  }
  if (child == 0) {
    ExecBackend(ends[0], ends[1], parentPid, maxFd, path.c_str(),
                workingDir.c_str());
  }
  close(ends[1]);
  pid = child;
  outputFd = ends[0];
  return true;
}
