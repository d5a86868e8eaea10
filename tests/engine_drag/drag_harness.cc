#include "tests/engine_drag/drag_harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

namespace drag_test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  DIR* proc = opendir("/proc");
  if (!proc) {
    return children;
  }
  while (dirent* entry = readdir(proc)) {
    const pid_t pid = atoi(entry->d_name);
    if (pid <= 0) {
      continue;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t paren = line.rfind(')');
    if (paren == std::string::npos || paren + 2 >= line.size()) {
      continue;
    }
    std::istringstream rest(line.substr(paren + 2));
    char state = 0;
    pid_t ppid = 0;
    rest >> state >> ppid;
    if (ppid == parent) {
      children.push_back(pid);
    }
  }
  closedir(proc);
  return children;
}

// As a subreaper the test adopts whatever a child leaves behind (Qt's
// helper processes); all of it is killed and reaped here.
void KillAndReapAllChildren() {
  for (int round = 0; round < 50; ++round) {
    const std::vector<pid_t> children = ChildrenOf(getpid());
    if (children.empty()) {
      return;
    }
    for (pid_t pid : children) {
      kill(pid, SIGKILL);
    }
    for (pid_t pid : children) {
      waitpid(pid, nullptr, 0);
    }
  }
}

bool WaitForExit(pid_t pid, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const pid_t done = waitpid(pid, nullptr, WNOHANG);
    if (done == pid) {
      return true;
    }
    if (done < 0 || Clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
}

std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    return output;
  }
  char chunk[512];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) {
    output.append(chunk, got);
  }
  pclose(pipe);
  return output;
}

}  // namespace

TempDir::TempDir() {
  char templ[] = "/tmp/engine-drag-XXXXXX";
  const char* made = mkdtemp(templ);
  path_ = made ? made : "";
}

TempDir::~TempDir() {
  if (!path_.empty() && system(("rm -rf '" + path_ + "'").c_str()) != 0) {
    ADD_FAILURE() << "could not remove " << path_;
  }
}

Reaper::Reaper() {
  prctl(PR_SET_CHILD_SUBREAPER, 1);
}

Reaper::~Reaper() {
  KillAndReapAllChildren();
}

Child::Child(const std::vector<std::string>& args, bool leaves_on_eof)
    : leaves_on_eof_(leaves_on_eof) {
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return;
  }
  std::vector<std::string> copy = args;
  pid_ = fork();
  if (pid_ == 0) {
    setpgid(0, 0);
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& arg : copy) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  to_child_ = in[1];
  from_child_ = out[0];
}

Child::~Child() {
  if (to_child_ >= 0) {
    close(to_child_);
  }
  if (pid_ > 0 &&
      (!leaves_on_eof_ || !WaitForExit(pid_, milliseconds(10000)))) {
    if (leaves_on_eof_) {
      ADD_FAILURE() << "child " << pid_ << " did not leave by itself";
    }
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
  }
  if (from_child_ >= 0) {
    close(from_child_);
  }
}

bool Child::ReadLine(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      const std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      json event = json::parse(line, nullptr, /*allow_exceptions=*/false);
      if (!event.is_discarded() && event.is_object()) {
        events_.push_back(event);
        return true;
      }
      continue;
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (from_child_ < 0 || left.count() <= 0) {
      return false;
    }
    pollfd fd = {from_child_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
      return false;
    }
    char chunk[4096];
    const ssize_t got = read(from_child_, chunk, sizeof chunk);
    if (got <= 0) {
      close(from_child_);
      from_child_ = -1;
      return false;
    }
    buffer_.append(chunk, static_cast<size_t>(got));
  }
}

json Child::WaitFor(const std::string& name,
                    const std::function<bool(const json&)>& match,
                    milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  size_t checked = 0;
  for (;;) {
    for (; checked < events_.size(); ++checked) {
      const json& event = events_[checked];
      if (event.value("event", "") == name && (!match || match(event))) {
        return event;
      }
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !ReadLine(left)) {
      return json();
    }
  }
}

std::vector<json> Child::Events(const std::string& name) {
  // Takes in whatever has arrived by now.
  while (ReadLine(milliseconds(0))) {
  }
  std::vector<json> found;
  for (const json& event : events_) {
    if (event.value("event", "") == name) {
      found.push_back(event);
    }
  }
  return found;
}

std::string Child::Transcript() const {
  std::string text;
  for (const json& event : events_) {
    text += event.dump() + "\n";
  }
  return text;
}

Rect WindowRect(unsigned long xid) {
  Rect rect;
  std::istringstream in(
      Shell("xdotool getwindowgeometry --shell " + std::to_string(xid)));
  std::string line;
  while (std::getline(in, line)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      continue;
    }
    const std::string key = line.substr(0, equals);
    const int value = atoi(line.c_str() + equals + 1);
    if (key == "X") {
      rect.x = value;
    } else if (key == "Y") {
      rect.y = value;
    } else if (key == "WIDTH") {
      rect.width = value;
    } else if (key == "HEIGHT") {
      rect.height = value;
    }
  }
  return rect;
}

void DragPointer(const Rect& from, const Rect& to) {
  const int x0 = from.x + from.width / 2;
  const int y0 = from.y + from.height / 2;
  const int x1 = to.x + to.width / 2;
  const int y1 = to.y + to.height / 2;
  std::ostringstream command;
  command << "xdotool mousemove " << x0 << ' ' << y0
          << " sleep 0.2 mousedown 1 sleep 0.3";
  // Small steps first: the source starts its drag on the press, then the
  // pointer travels; each stop gives the XDND exchange time to settle.
  const int steps = 8;
  for (int i = 1; i <= steps; ++i) {
    command << " mousemove " << x0 + (x1 - x0) * i / steps << ' '
            << y0 + (y1 - y0) * i / steps << " sleep 0.15";
  }
  command << " mousemove " << x1 + 5 << ' ' << y1 + 5 << " sleep 0.5 mouseup 1";
  ASSERT_EQ(system(command.str().c_str()), 0) << command.str();
}

}  // namespace drag_test
