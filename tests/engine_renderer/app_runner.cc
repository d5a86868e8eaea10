#include "tests/engine_renderer/app_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <httplib.h>

namespace renderer_test {

PageServer::PageServer(std::map<std::string, std::string> pages)
    : server_(std::make_unique<httplib::Server>()) {
  for (const auto& page : pages) {
    const std::string body = page.second;
    const std::string type =
        page.first.size() > 3 &&
                page.first.compare(page.first.size() - 3, 3, ".js") == 0
            ? "text/javascript"
            : "text/html";
    server_->Get(page.first,
                 [body, type](const httplib::Request&, httplib::Response& res) {
                   res.set_content(body, type.c_str());
                 });
  }
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running())
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

PageServer::~PageServer() {
  server_->stop();
  thread_.join();
}

std::string PageServer::Url(const std::string& host,
                            const std::string& path) const {
  return "http://" + host + ":" + std::to_string(port_) + path;
}

AppRun::AppRun(const std::string& app_path, const std::string& url) {
  char pattern[] = "/tmp/engine-renderer-XXXXXX";
  if (!mkdtemp(pattern))
    return;
  dir_ = pattern;
  std::filesystem::create_directory(dir_ + "/cache");
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0)
    return;
  const std::string cache = "--cache-root=" + dir_ + "/cache";
  const std::string url_arg = "--url=" + url;
  const std::string err_path = dir_ + "/stderr.log";
  pid_ = fork();
  if (pid_ == 0) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(out[1], STDOUT_FILENO);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err >= 0)
      dup2(err, STDERR_FILENO);
    execl(app_path.c_str(), app_path.c_str(), cache.c_str(), url_arg.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  from_app_ = out[0];
}

AppRun::~AppRun() {
  if (pid_ > 0) {
    // The app, its renderer role and Qt's helpers share the group.
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (from_app_ >= 0)
    close(from_app_);
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

bool AppRun::ReadUntil(
    const std::function<bool(const std::vector<json>&)>& done,
    std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done(lines_)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (from_app_ < 0 || left.count() <= 0)
      return false;
    pollfd fd = {from_app_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0)
      continue;
    char chunk[65536];
    const ssize_t n = read(from_app_, chunk, sizeof(chunk));
    if (n <= 0) {
      close(from_app_);
      from_app_ = -1;
      return done(lines_);
    }
    buffer_.append(chunk, static_cast<size_t>(n));
    for (size_t end = buffer_.find('\n'); end != std::string::npos;
         end = buffer_.find('\n')) {
      json line = json::parse(buffer_.substr(0, end), nullptr, false);
      buffer_.erase(0, end + 1);
      if (!line.is_discarded())
        lines_.push_back(std::move(line));
    }
  }
  return true;
}

std::vector<json> AppRun::Reports(const std::string& where) const {
  std::vector<json> reports;
  for (const json& line : lines_) {
    if (line.value("name", "") == "report" && line.contains("data") &&
        line["data"].is_object() && line["data"].value("where", "") == where) {
      reports.push_back(line);
    }
  }
  return reports;
}

std::string AppRun::Logs() const {
  std::string logs;
  for (const char* name : {"/stderr.log", "/cache/engine.log"}) {
    std::ifstream file(dir_ + name);
    std::stringstream text;
    text << file.rdbuf();
    logs += std::string("--- ") + name + "\n" + text.str();
  }
  return logs;
}

}  // namespace renderer_test
