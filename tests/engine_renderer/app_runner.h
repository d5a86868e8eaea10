// Runs renderer_test_app on a page served from loopback and collects the
// JSON lines it prints. Used by the renderer tests and the bridge benchmark.

#ifndef TESTS_ENGINE_RENDERER_APP_RUNNER_H_
#define TESTS_ENGINE_RENDERER_APP_RUNNER_H_

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace httplib {
class Server;
}

namespace renderer_test {

using json = nlohmann::json;

// Serves fixed pages on an ephemeral loopback port.
class PageServer {
 public:
  // |pages| maps a path to its HTML or script body.
  explicit PageServer(std::map<std::string, std::string> pages);
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  // http://HOST:PORT/PATH
  std::string Url(const std::string& host, const std::string& path) const;
  int port() const { return port_; }

 private:
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
};

// One run of the app in a fresh cache directory. The destructor kills its
// whole process group, reaps it and removes the directory.
class AppRun {
 public:
  AppRun(const std::string& app_path, const std::string& url);
  ~AppRun();
  AppRun(const AppRun&) = delete;
  AppRun& operator=(const AppRun&) = delete;

  // Reads lines until |done| holds for the lines read so far or |timeout|
  // passes; returns whether it held.
  bool ReadUntil(const std::function<bool(const std::vector<json>&)>& done,
                 std::chrono::milliseconds timeout);
  const std::vector<json>& lines() const { return lines_; }
  // Reports (message "report") whose data has "where" == |where|.
  std::vector<json> Reports(const std::string& where) const;
  // The engine log and the app's error output, for failure messages.
  std::string Logs() const;

 private:
  std::string dir_;
  pid_t pid_ = -1;
  int from_app_ = -1;
  std::string buffer_;
  std::vector<json> lines_;
};

}  // namespace renderer_test

#endif  // TESTS_ENGINE_RENDERER_APP_RUNNER_H_
