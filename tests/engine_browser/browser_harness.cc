#include "tests/engine_browser/browser_harness.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <httplib.h>

namespace browser_test {

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

// This process adopts the orphans of the app (the engine's helper
// processes), so whatever the app leaves behind is killed and reaped here.
void KillAndReapAllChildren() {
  for (int round = 0; round < 100; ++round) {
    const std::vector<pid_t> children = ChildrenOf(getpid());
    if (children.empty()) {
      return;
    }
    for (pid_t child : children) {
      kill(child, SIGKILL);
    }
    for (pid_t child : children) {
      waitpid(child, nullptr, 0);
    }
  }
}

}  // namespace

TempDir::TempDir() {
  char pattern[] = "/tmp/korvel-browser-test.XXXXXX";
  const char* made = mkdtemp(pattern);
  path_ = made ? made : "";
}

TempDir::~TempDir() {
  if (!path_.empty()) {
    Shell("rm -rf '" + path_ + "'");
  }
}

BrowserApp::BrowserApp() {
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  int in_pipe[2];
  int out_pipe[2];
  if (pipe2(in_pipe, O_CLOEXEC) != 0 || pipe2(out_pipe, O_CLOEXEC) != 0) {
    return;
  }
  const std::string cache_arg = "--cache-root=" + cache_root_.path();
  const std::string log_path = cache_root_.path() + "/stderr.log";
  pid_ = fork();
  if (pid_ == 0) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(in_pipe[0], STDIN_FILENO);
    dup2(out_pipe[1], STDOUT_FILENO);
    const int log = open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (log >= 0) {
      dup2(log, STDERR_FILENO);
    }
    execl(BROWSER_TEST_APP, BROWSER_TEST_APP, cache_arg.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  to_app_ = in_pipe[1];
  from_app_ = out_pipe[0];
  if (pid_ < 0) {
    return;
  }
  started_ = !WaitForEvent("ready", nullptr, milliseconds(30000)).is_null();
}

BrowserApp::~BrowserApp() {
  if (::testing::Test::HasFailure()) {
    // What the app reported explains most failures.
    std::fprintf(stderr, "Events of the failed run:\n");
    for (const json& event : events_) {
      std::fprintf(stderr, "  %s\n", event.dump().c_str());
    }
  }
  if (pid_ > 0) {
    Quit(milliseconds(5000));
    if (pid_ > 0) {
      kill(-pid_, SIGKILL);
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  if (to_app_ >= 0) {
    close(to_app_);
  }
  if (from_app_ >= 0) {
    close(from_app_);
  }
  KillAndReapAllChildren();
}

bool BrowserApp::ReadLine(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      const std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      json event = json::parse(line, nullptr, /*allow_exceptions=*/false);
      if (!event.is_discarded()) {
        events_.push_back(event);
      }
      return true;
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || from_app_ < 0) {
      return false;
    }
    pollfd fd = {from_app_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
      return false;
    }
    char chunk[4096];
    const ssize_t n = read(from_app_, chunk, sizeof(chunk));
    if (n <= 0) {
      close(from_app_);
      from_app_ = -1;
      return false;
    }
    buffer_.append(chunk, static_cast<size_t>(n));
  }
}

json BrowserApp::Command(json command, milliseconds timeout) {
  const std::string name = command.at("cmd");
  const std::string line = command.dump() + "\n";
  if (to_app_ < 0 || write(to_app_, line.data(), line.size()) !=
                         static_cast<ssize_t>(line.size())) {
    return nullptr;
  }
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    for (size_t i = answered_; i < events_.size(); ++i) {
      if (events_[i].value("event", "") == "done" &&
          events_[i].value("cmd", "") == name) {
        answered_ = i + 1;
        return events_[i];
      }
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !ReadLine(left)) {
      return nullptr;
    }
  }
}

int BrowserApp::Create(const std::string& url, bool views) {
  json reply = Command({{"cmd", "create"}, {"url", url}, {"views", views}});
  return reply.is_null() ? 0 : reply.value("browser", 0);
}

json BrowserApp::WaitFor(const std::function<bool(const json&)>& match,
                         milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  size_t checked = mark_;
  for (;;) {
    for (; checked < events_.size(); ++checked) {
      if (match(events_[checked])) {
        return events_[checked];
      }
    }
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !ReadLine(left)) {
      // One last look at lines already buffered.
      if (checked == events_.size()) {
        return nullptr;
      }
    }
  }
}

json BrowserApp::WaitForEvent(const std::string& name,
                              const std::function<bool(const json&)>& match,
                              milliseconds timeout) {
  return WaitFor(
      [&](const json& event) {
        return event.value("event", "") == name && (!match || match(event));
      },
      timeout);
}

std::vector<json> BrowserApp::Events(
    const std::string& name,
    const std::function<bool(const json&)>& match) {
  std::vector<json> found;
  for (size_t i = mark_; i < events_.size(); ++i) {
    if (events_[i].value("event", "") == name &&
        (!match || match(events_[i]))) {
      found.push_back(events_[i]);
    }
  }
  return found;
}

void BrowserApp::Drain(milliseconds duration) {
  const auto deadline = Clock::now() + duration;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      return;
    }
    ReadLine(left);
  }
}

bool BrowserApp::Quit(milliseconds timeout) {
  if (pid_ <= 0) {
    return false;
  }
  const std::string line = json({{"cmd", "quit"}}).dump() + "\n";
  if (to_app_ >= 0) {
    (void)!write(to_app_, line.data(), line.size());
  }
  const auto deadline = Clock::now() + timeout;
  int status = 0;
  while (Clock::now() < deadline) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::this_thread::sleep_for(milliseconds(50));
  }
  return false;
}

PageServer::PageServer() : server_(std::make_unique<httplib::Server>()) {
  server_->Get(".*", [this](const httplib::Request& request,
                            httplib::Response& response) {
    Route route;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++hits_[request.path];
      auto found = routes_.find(request.path);
      if (found == routes_.end()) {
        response.status = 404;
        response.set_content("<title>missing</title>not here", "text/html");
        return;
      }
      route = found->second;
    }
    if (route.delay.count() > 0) {
      std::this_thread::sleep_for(route.delay);
    }
    response.status = route.status;
    if (!route.location.empty()) {
      response.set_header("Location", route.location);
    }
    response.set_content(route.body, route.type);
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

PageServer::~PageServer() {
  server_->stop();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void PageServer::Page(const std::string& path,
                      const std::string& body,
                      int status,
                      const std::string& type) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = Route{body, type, status, milliseconds(0), ""};
}

void PageServer::SlowPage(const std::string& path, milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] =
      Route{"<title>slow</title>finally", "text/html", 200, delay, ""};
}

void PageServer::Redirect(const std::string& path,
                          const std::string& location) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = Route{"moved", "text/plain", 302, milliseconds(0), location};
}

std::string PageServer::Url(const std::string& path) const {
  return UrlOnHost("127.0.0.1", path);
}

std::string PageServer::UrlOnHost(const std::string& host,
                                  const std::string& path) const {
  return "http://" + host + ":" + std::to_string(port_) + path;
}

int PageServer::Hits(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = hits_.find(path);
  return it == hits_.end() ? 0 : it->second;
}

bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(milliseconds(50));
  }
  return true;
}

std::string Shell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    return "";
  }
  std::string output;
  char chunk[1024];
  size_t n;
  while ((n = fread(chunk, 1, sizeof(chunk), pipe)) > 0) {
    output.append(chunk, n);
  }
  return pclose(pipe) == 0 ? output : "";
}

int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

}  // namespace browser_test
