#include "tests/support/engine_harness/page_server.h"

#include <algorithm>

#include <httplib.h>

namespace engine_test {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

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
    if (!route.filename.empty()) {
      response.set_header("Content-Disposition",
                          "attachment; filename=\"" + route.filename + "\"");
      response.set_content_provider(
          route.body.size(), route.type,
          [route](size_t offset, size_t length, httplib::DataSink& sink) {
            std::this_thread::sleep_for(route.interval);
            return sink.write(route.body.data() + offset,
                              std::min(route.chunk, length));
          });
      return;
    }
    response.status = route.status;
    if (!route.location.empty()) {
      response.set_header("Location", route.location);
    }
    response.set_content(route.body, route.type);
  });
  const int port = server_->bind_to_any_port("127.0.0.1");
  if (port <= 0) {
    return;
  }
  port_ = port;
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // The socket is bound, so early requests only queue; waiting here keeps
  // stop() from racing the start of the accept loop.
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(5000);
  while (!server_->is_running() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(5));
  }
}

PageServer::PageServer(const std::map<std::string, std::string>& pages)
    : PageServer() {
  for (const auto& [path, body] : pages) {
    Page(path, body, 200,
         EndsWith(path, ".js") ? "text/javascript" : "text/html");
  }
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
  routes_[path] = Route{body, type, status, milliseconds(0), "", "", 0};
}

void PageServer::Redirect(const std::string& path,
                          const std::string& location) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] =
      Route{"moved", "text/plain", 302, milliseconds(0), location, "", 0};
}

void PageServer::Download(const std::string& path,
                          const std::string& content,
                          const std::string& filename,
                          size_t chunk,
                          milliseconds interval) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = Route{
      content, "application/octet-stream", 200, interval, "", filename, chunk};
}

std::string PageServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int PageServer::Hits(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = hits_.find(path);
  return it == hits_.end() ? 0 : it->second;
}

}  // namespace engine_test
