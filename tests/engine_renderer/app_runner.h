// Runs renderer_test_app on a page served from loopback and collects the
// JSON lines it prints. Used by the renderer tests and the bridge benchmark.

#ifndef TESTS_ENGINE_RENDERER_APP_RUNNER_H_
#define TESTS_ENGINE_RENDERER_APP_RUNNER_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/page_server.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace engine_test {

// One run of the app in a fresh directory (cache and logs). The destructor
// kills its whole process group, reaps it and removes the directory.
class AppRun {
 public:
  AppRun(const std::string& app_path, const std::string& url);
  AppRun(const AppRun&) = delete;
  AppRun& operator=(const AppRun&) = delete;

  // Reads lines until |done| holds for the lines read so far or |timeout|
  // passes; returns whether it held.
  bool ReadUntil(const std::function<bool(const std::vector<json>&)>& done,
                 std::chrono::milliseconds timeout);
  const std::vector<json>& lines() const { return app_->events(); }
  // Reports (message "report") whose data has "where" == |where|.
  std::vector<json> Reports(const std::string& where) const;
  // The engine log and the app's error output, for failure messages.
  std::string Logs() const;

 private:
  TempDir dir_{"engine-renderer"};
  // Made once the directory exists; goes before it.
  std::unique_ptr<JsonLineChild> app_;
};

}  // namespace engine_test

#endif  // TESTS_ENGINE_RENDERER_APP_RUNNER_H_
