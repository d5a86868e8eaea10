#include "tests/support/engine_harness/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace engine_test {

namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
  if (fd >= 0) {
    close(fd);
    fd = -1;
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::string& stderr_path) {
  if (argv.empty()) {
    return;
  }
  // A child that dies while the test writes to it must fail the write, not
  // kill the test.
  signal(SIGPIPE, SIG_IGN);
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    return;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  // Everything the child needs is ready before fork: after it only
  // async-signal-safe calls are allowed.
  std::vector<std::string> args = argv;
  std::vector<char*> arg_pointers;
  for (std::string& arg : args) {
    arg_pointers.push_back(arg.data());
  }
  arg_pointers.push_back(nullptr);
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
      _exit(127);
    }
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    if (!stderr_path.empty()) {
      const int log =
          open(stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (log >= 0) {
        dup2(log, STDERR_FILENO);
      }
    }
    execv(arg_pointers[0], arg_pointers.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  if (pid_ < 0) {
    close(in[1]);
    close(out[0]);
    return;
  }
  // Also from this side, so that a kill of the group right after the fork
  // cannot miss a child that has not run setpgid yet.
  setpgid(pid_, pid_);
  to_child_ = in[1];
  from_child_ = out[0];
}

ChildProcess::~ChildProcess() {
  CloseStdin();
  if (pid_ > 0) {
    // Whatever is left of the group goes, even when the child itself has
    // already exited.
    SignalGroup(SIGKILL);
    if (!reaped_) {
      kill(pid_, SIGKILL);
      while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
      }
    }
  }
  CloseFd(from_child_);
}

bool ChildProcess::SendLine(const std::string& line) {
  const std::string text = line + "\n";
  size_t sent = 0;
  while (to_child_ >= 0 && sent < text.size()) {
    const ssize_t n = write(to_child_, text.data() + sent, text.size() - sent);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    sent += static_cast<size_t>(n);
  }
  return sent == text.size();
}

void ChildProcess::CloseStdin() {
  CloseFd(to_child_);
}

std::optional<std::string> ChildProcess::ReadLine(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      return line;
    }
    if (from_child_ < 0) {
      // A last line without a newline still counts.
      if (buffer_.empty()) {
        return std::nullopt;
      }
      std::string line;
      line.swap(buffer_);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    pollfd fd = {from_child_, POLLIN, 0};
    const int ready =
        poll(&fd, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return std::nullopt;
    }
    char chunk[65536];
    const ssize_t n = read(from_child_, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      CloseFd(from_child_);
      continue;
    }
    buffer_.append(chunk, static_cast<size_t>(n));
  }
}

std::optional<int> ChildProcess::WaitForExit(milliseconds timeout) {
  if (pid_ <= 0) {
    return std::nullopt;
  }
  const auto deadline = Clock::now() + timeout;
  while (!reaped_) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      status_ = status;
      break;
    }
    if ((done < 0 && errno != EINTR) || Clock::now() >= deadline) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
  return status_;
}

void ChildProcess::SignalGroup(int signal) {
  if (pid_ > 0) {
    kill(-pid_, signal);
  }
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) {
    return "exit " + std::to_string(WEXITSTATUS(status));
  }
  if (WIFSIGNALED(status)) {
    return "signal " + std::to_string(WTERMSIG(status));
  }
  return "status " + std::to_string(status);
}

std::optional<std::string> RunForOutput(const std::vector<std::string>& argv,
                                        milliseconds timeout,
                                        const std::string& stderr_path) {
  const auto deadline = Clock::now() + timeout;
  const auto left = [&] {
    return std::max(milliseconds(0), std::chrono::duration_cast<milliseconds>(
                                         deadline - Clock::now()));
  };
  ChildProcess child(argv, stderr_path);
  child.CloseStdin();
  std::string output;
  while (!child.output_ended() && left().count() > 0) {
    if (std::optional<std::string> line = child.ReadLine(left())) {
      output += *line + "\n";
    }
  }
  const std::optional<int> status = child.WaitForExit(left());
  if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) {
    return std::nullopt;
  }
  return output;
}

}  // namespace engine_test
