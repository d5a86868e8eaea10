#include "tests/engine_views/views_harness.h"

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

// Last: Xlib defines macros (None, Bool, Status) that clash with gtest.
#include <X11/Xlib.h>

namespace views_test {

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
    const size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) {
      continue;
    }
    std::istringstream rest(line.substr(close + 2));
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

// The test process adopts orphans of the app (Qt's helper processes), so
// whatever the app leaves behind comes back here to be killed and reaped.
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

int WaitForExit(pid_t pid, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      return status;
    }
    if (done < 0 || Clock::now() >= deadline) {
      return -1;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
}

}  // namespace

TempDir::TempDir() {
  char templ[] = "/tmp/engine-views-XXXXXX";
  const char* made = mkdtemp(templ);
  path_ = made ? made : "";
}

TempDir::~TempDir() {
  if (!path_.empty() && system(("rm -rf '" + path_ + "'").c_str()) != 0) {
    ADD_FAILURE() << "could not remove " << path_;
  }
}

ViewsApp::ViewsApp(const std::vector<std::string>& extra_args) {
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return;
  }
  std::vector<std::string> args = {VIEWS_TEST_APP,
                                   "--cache-root=" + cache_root_.path()};
  args.insert(args.end(), extra_args.begin(), extra_args.end());
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (std::string& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  to_app_ = in[1];
  from_app_ = out[0];
  if (WaitForEvent("ready").is_null()) {
    ADD_FAILURE() << "the app did not get ready";
  }
}

ViewsApp::~ViewsApp() {
  if (pid_ > 0) {
    Quit(milliseconds(5000));
  }
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  if (to_app_ >= 0) {
    close(to_app_);
  }
  if (from_app_ >= 0) {
    close(from_app_);
  }
  KillAndReapAllChildren();
}

bool ViewsApp::ReadLine(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      const std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      json event = json::parse(line, nullptr, /*allow_exceptions=*/false);
      // Engine diagnostics on stdout are not events.
      if (!event.is_discarded() && event.is_object()) {
        events_.push_back(event);
        return true;
      }
      continue;
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (from_app_ < 0 || left.count() <= 0) {
      return false;
    }
    pollfd fd = {from_app_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
      return false;
    }
    char chunk[4096];
    const ssize_t got = read(from_app_, chunk, sizeof chunk);
    if (got <= 0) {
      close(from_app_);
      from_app_ = -1;
      return false;
    }
    buffer_.append(chunk, static_cast<size_t>(got));
  }
}

json ViewsApp::Command(const std::string& line) {
  const std::string text = line + "\n";
  if (to_app_ < 0 || write(to_app_, text.data(), text.size()) !=
                         static_cast<ssize_t>(text.size())) {
    ADD_FAILURE() << "cannot send: " << line;
    return json();
  }
  // Answers come in command order; skip answers of earlier commands.
  const auto deadline = Clock::now() + milliseconds(10000);
  for (;;) {
    for (size_t i = 0; i < events_.size(); ++i) {
      const std::string name = events_[i].value("event", "");
      if (name != "done" && name != "state" && name != "error") {
        continue;
      }
      if (i < answered_) {
        continue;
      }
      answered_ = i + 1;
      if (name == "error") {
        ADD_FAILURE() << "app refused: " << events_[i].dump();
      }
      return events_[i];
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !ReadLine(left)) {
      ADD_FAILURE() << "no answer to: " << line;
      return json();
    }
  }
}

json ViewsApp::WaitFor(const std::function<bool(const json&)>& match,
                       milliseconds timeout,
                       size_t from) {
  const auto deadline = Clock::now() + timeout;
  size_t checked = from;
  for (;;) {
    for (; checked < events_.size(); ++checked) {
      if (match(events_[checked])) {
        return events_[checked];
      }
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !ReadLine(left)) {
      return json();
    }
  }
}

json ViewsApp::WaitForEvent(const std::string& name,
                            int window,
                            milliseconds timeout) {
  return WaitFor(
      [&](const json& event) {
        return event.value("event", "") == name &&
               (window < 0 || event.value("window", -1) == window);
      },
      timeout);
}

size_t ViewsApp::EventCount() {
  while (ReadLine(milliseconds(0))) {
  }
  return events_.size();
}

int ViewsApp::IndexOf(const std::function<bool(const json&)>& match) {
  EventCount();
  for (size_t i = 0; i < events_.size(); ++i) {
    if (match(events_[i])) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::vector<json> ViewsApp::Events(const std::string& name) {
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

std::string ViewsApp::Transcript() {
  while (ReadLine(milliseconds(0))) {
  }
  std::string text;
  for (const json& event : events_) {
    text += event.dump() + "\n";
  }
  return text;
}

bool ViewsApp::Quit(milliseconds timeout) {
  if (pid_ <= 0) {
    return false;
  }
  if (to_app_ >= 0) {
    const std::string text = "quit\n";
    if (write(to_app_, text.data(), text.size()) < 0) {
      // The app is gone already; waiting below tells.
    }
  }
  const int status = WaitForExit(pid_, timeout);
  if (status == -1) {
    return false;
  }
  pid_ = -1;
  while (ReadLine(milliseconds(0))) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (condition()) {
      return true;
    }
    if (Clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(milliseconds(50));
  }
}

std::string Shell(const std::string& command) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) {
    return "";
  }
  std::string output;
  char chunk[4096];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) {
    output.append(chunk, got);
  }
  pclose(pipe);
  return output;
}

std::string Hex(unsigned long xid) {
  char text[32];
  snprintf(text, sizeof text, "0x%lx", xid);
  return text;
}

std::string MapState(unsigned long xid) {
  const std::string info = Shell("xwininfo -id " + Hex(xid));
  const std::string key = "Map State: ";
  const size_t at = info.find(key);
  if (at == std::string::npos) {
    return "";
  }
  const size_t end = info.find('\n', at);
  return info.substr(at + key.size(), end - at - key.size());
}

Geometry GetGeometry(unsigned long xid) {
  const std::string info = Shell("xwininfo -id " + Hex(xid));
  auto field = [&](const std::string& key) {
    const size_t at = info.find(key);
    return at == std::string::npos ? -1 : atoi(info.c_str() + at + key.size());
  };
  Geometry geometry;
  geometry.x = field("Absolute upper-left X:");
  geometry.y = field("Absolute upper-left Y:");
  geometry.width = field("Width:");
  geometry.height = field("Height:");
  return geometry;
}

std::string Property(unsigned long xid, const std::string& name) {
  std::string text = Shell("xprop -id " + Hex(xid) + " " + name);
  while (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

std::vector<std::string> NetWmState(unsigned long xid) {
  const std::string text = Property(xid, "_NET_WM_STATE");
  std::vector<std::string> atoms;
  const size_t equals = text.find('=');
  if (equals == std::string::npos) {
    return atoms;
  }
  std::istringstream in(text.substr(equals + 1));
  std::string atom;
  while (std::getline(in, atom, ',')) {
    const size_t start = atom.find_first_not_of(' ');
    if (start != std::string::npos) {
      atoms.push_back(atom.substr(start));
    }
  }
  return atoms;
}

bool HasState(unsigned long xid, const std::string& atom) {
  for (const std::string& state : NetWmState(xid)) {
    if (state == atom) {
      return true;
    }
  }
  return false;
}

void RequestClose(unsigned long xid) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    ADD_FAILURE() << "no X display";
    return;
  }
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = 2;  // Source: a pager, i.e. the user.
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XCloseDisplay(display);
}

std::string PixelAt(const std::string& png, int x, int y) {
  std::string text =
      Shell("convert '" + png + "' -format '%[hex:p{" + std::to_string(x) +
            "," + std::to_string(y) + "}]' info:");
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return "#" + text.substr(0, 6);
}

}  // namespace views_test
